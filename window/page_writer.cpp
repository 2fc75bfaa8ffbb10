#include "window/page_writer.h"

#include "base/path_buffer.h"
#include "core/page_conversion.h"
#include "ui/file_dialog.h"
#include "ui/toolkit_window.h"
#include "window/failure_box.h"
#include "window/window_globals.h"

const char kSavePageTitle[] = "Saving HTML File (HTML)";
// Description and pattern pairs, each ending in a zero byte, the list in two.
const char kSavePageFilter[] = "HTML Files (*.html)\0 *.html\0All Files (*.*)\0 *.*\0";

bool ChoosePagePath(PathBuffer& pagePath) {
  if (mainWindow != nullptr) SetForegroundToolkitWindow(mainWindow);
  // The page may be a new file: only its folder has to exist.
  StringBuffer tooLong;
  if (!ChooseFile(nullptr, kSavePageTitle, kSavePageFilter, &pagePath, 1, true, &tooLong)) {
    TellTooLong(mainWindow, tooLong);
    return false;
  }
  return true;
}

bool WritePageAt(const char* templatePath, const char* scenePath, const char* pagePath,
                 const ConverterState* state) {
  if (state == nullptr || templatePath == nullptr || scenePath == nullptr || pagePath == nullptr) {
    return false;
  }
  ConversionRequest request;
  request.templatePath = templatePath;
  request.fieldNames = &state->fieldNames;
  request.fieldValues = &state->fieldValues;
  request.scenePath = scenePath;
  request.pagePath = pagePath;
  ConversionFailure failure;
  if (AssemblePage(request, failure)) return true;
  ShowFailure(mainWindow, failure);
  return false;
}

bool WritePage(const char* templatePath, const char* scenePath, const ConverterState* state) {
  if (state == nullptr || templatePath == nullptr || scenePath == nullptr) return false;
  PathBuffer pagePath;
  return ChoosePagePath(pagePath) && WritePageAt(templatePath, scenePath, pagePath.path, state);
}
