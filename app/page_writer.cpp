#include "app/page_writer.h"

#include <cstdio>
#include <cstring>

#include "app/app_globals.h"
#include "app/template_fields.h"
#include "app/text_of.h"
#include "base/file_handle.h"
#include "base/file_list.h"
#include "base/path_buffer.h"
#include "base/relative_path.h"
#include "base/version_info.h"
#include "platform/file_spec.h"
#include "platform/file_system.h"
#include "ui/file_dialog.h"
#include "ui/toolkit_window.h"

const char kSavePageTitle[] = "Saving HTML File (HTML)";
// Description and pattern pairs, each ending in a zero byte, the list in two.
const char kSavePageFilter[] = "HTML Files (*.html)\0 *.html\0All Files (*.*)\0 *.*\0";

namespace {

constexpr unsigned kSpareBytes = 4096;

// Reads the whole template into page, with spare room behind the text. False
// when it is missing, cannot be opened or read, or memory runs out.
bool ReadTemplate(const char* templatePath, StringBuffer& page) {
  PathBuffer path;
  if (!path.Set(templatePath)) return false;
  FileHandle file(path);
  if (!file.Exists() || !file.Open(0)) return false;
  uint32_t size = 0;
  if (!file.GetSize(&size) || size > 0x7FFFFFFFu - kSpareBytes) return false;
  if (!page.Reserve(size + kSpareBytes, false)) return false;
  uint32_t bytesRead = 0;
  const bool read = file.Read(page.MutableData(), size, &bytesRead);
  file.Close();
  if (!read) return false;
  page.MutableData()[bytesRead] = '\0';
  return true;
}

bool WriteText(const PathBuffer& path, const StringBuffer& text) {
  FileHandle file(path);
  if (!file.Open(2)) return false;
  const unsigned length = text.Length();
  uint32_t written = 0;
  bool ok = file.Write(TextOf(text), length, &written) && written == length;
  ok = file.SetEnd() && ok;
  return file.Close() && ok;
}

// Makes the program's folder the current directory and writes the program's file into out as
// that folder, a backslash and the file name; false when the program file is unknown.
bool ProgramFileFromItsFolder(char* out, unsigned size) {
  PathBuffer program;
  if (!program.SetInProgramFolder(nullptr)) return false;
  char folder[sizeof program.path];
  char name[sizeof program.path];
  std::memcpy(folder, program.path, sizeof folder);
  if (!SysRemoveFileSpec(folder) || !program.GetFileName(name, sizeof name)) return false;
  SysSetCurrentDirectory(folder);
  // A root folder such as "C:\" already ends in the backslash.
  const size_t length = std::strlen(folder);
  const char* separator = length > 0 && folder[length - 1] == '\\' ? "" : "\\";
  const int written = std::snprintf(out, size, "%s%s%s", folder, separator, name);
  return written > 0 && unsigned(written) < size;
}

}  // namespace

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

bool FillPlaceholders(StringBuffer& page, const ConverterState& state, const char* build,
                      const char* fileName, const char* formsData) {
  const int fields = state.fieldNames.count;
  for (int i = 0; i < fields; ++i) {
    const char* name = TextOf(state.fieldNames.items[i]);
    const char* value = i < state.fieldValues.count ? TextOf(state.fieldValues.items[i]) : "";
    if (*name == '\0') continue;
    if (ReplaceAllPlaceholders(page, name, value) < 0) return false;
  }
  return ReplaceAllPlaceholders(page, "BUILD", build) >= 0 &&
         ReplaceAllPlaceholders(page, "FILENAME", fileName) >= 0 &&
         ReplaceAllPlaceholders(page, "FORMSDATA", formsData) >= 0;
}

bool WritePage(const char* templatePath, const char* scenePath, const ConverterState* state) {
  if (state == nullptr || templatePath == nullptr || scenePath == nullptr) return false;
  if (mainWindow != nullptr) SetForegroundToolkitWindow(mainWindow);

  // The page may be a new file: only its folder has to exist.
  PathBuffer pagePath;
  if (!ChooseFile(nullptr, kSavePageTitle, kSavePageFilter, &pagePath, 1, false)) return false;

  StringBuffer page;
  if (!ReadTemplate(templatePath, page)) return false;

  StringBuffer base;
  StringBuffer target;
  StringBuffer relative;
  base.SetText(pagePath.path, -1, 0);
  target.SetText(scenePath, -1, 0);
  MakeRelativePath(base, target, relative);

  StringBuffer build;
  char programFile[sizeof(PathBuffer::path)];
  if (ProgramFileFromItsFolder(programFile, sizeof programFile)) {
    FormatBuildString(programFile, build);
  }

  if (!FillPlaceholders(page, *state, TextOf(build), TextOf(relative), TextOf(buttonBlock))) {
    return false;
  }
  return WriteText(pagePath, page);
}
