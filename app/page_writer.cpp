#include "app/page_writer.h"

#include <cstdio>
#include <cstring>

#include "app/app_globals.h"
#include "app/conversion.h"
#include "app/page_conversion.h"
#include "app/template_fields.h"
#include "app/text_of.h"
#include "base/file_list.h"
#include "base/path_buffer.h"
#include "base/version_info.h"
#include "ui/file_dialog.h"
#include "ui/toolkit_window.h"

const char kSavePageTitle[] = "Saving HTML File (HTML)";
// Description and pattern pairs, each ending in a zero byte, the list in two.
const char kSavePageFilter[] = "HTML Files (*.html)\0 *.html\0All Files (*.*)\0 *.*\0";

bool FormatBuildString(const char* path, StringBuffer& result) {
  if (path == nullptr) return false;
  PathRecord record;
  record.SetPath(path);
  const unsigned version = ReadProductVersion(record);
  if (version == 0) return false;
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", (version >> 24) & 0xFFu, (version >> 16) & 0xFFu,
                (version >> 8) & 0xFFu, version & 0xFFu);
  return result.SetText(text, -1, result.Length());
}

bool FillNamedPlaceholders(StringBuffer& page, const StringList* fieldNames,
                           const StringList* fieldValues, const char* build) {
  const int fields = fieldNames != nullptr ? fieldNames->count : 0;
  for (int i = 0; i < fields; ++i) {
    const char* name = TextOf(fieldNames->items[i]);
    const char* value =
        fieldValues != nullptr && i < fieldValues->count ? TextOf(fieldValues->items[i]) : "";
    if (*name == '\0') continue;
    if (ReplaceAllPlaceholders(page, name, value) < 0) return false;
  }
  return ReplaceAllPlaceholders(page, "BUILD", build) >= 0;
}

bool FillScenePlaceholders(StringBuffer& page, const char* fileName, const char* formsData) {
  return ReplaceAllPlaceholders(page, "FILENAME", fileName) >= 0 &&
         ReplaceAllPlaceholders(page, "FORMSDATA", formsData) >= 0;
}

bool FillFieldPlaceholders(StringBuffer& page, const StringList* fieldNames,
                           const StringList* fieldValues, const char* build, const char* fileName,
                           const char* formsData) {
  return FillNamedPlaceholders(page, fieldNames, fieldValues, build) &&
         FillScenePlaceholders(page, fileName, formsData);
}

bool FillPlaceholders(StringBuffer& page, const ConverterState& state, const char* build,
                      const char* fileName, const char* formsData) {
  return FillFieldPlaceholders(page, &state.fieldNames, &state.fieldValues, build, fileName,
                               formsData);
}

bool WritePage(const char* templatePath, const char* scenePath, const ConverterState* state) {
  if (state == nullptr || templatePath == nullptr || scenePath == nullptr) return false;
  if (mainWindow != nullptr) SetForegroundToolkitWindow(mainWindow);

  // The page may be a new file: only its folder has to exist.
  PathBuffer pagePath;
  StringBuffer tooLong;
  if (!ChooseFile(nullptr, kSavePageTitle, kSavePageFilter, &pagePath, 1, true, &tooLong)) {
    TellTooLong(mainWindow, tooLong);
    return false;
  }

  ConversionRequest request;
  request.templatePath = templatePath;
  request.fieldNames = &state->fieldNames;
  request.fieldValues = &state->fieldValues;
  request.scenePath = scenePath;
  request.pagePath = pagePath.path;
  ConversionFailure failure;
  if (AssemblePage(request, failure)) return true;
  ShowFailure(mainWindow, failure);
  return false;
}
