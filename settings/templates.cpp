#include "settings/templates.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/file_list.h"
#include "base/whole_file_reader.h"
#include "core/template_fields.h"
#include "core/text_of.h"
#include "platform/file_system.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"

const char kDefaultTemplateFile[] = "\\Defaults\\defaulttemplate.txt";
const char kFallbackTemplateName[] = "generic.html";

namespace {

// The current template has no fields (until a scan finds some).
void ClearFields(ConverterState& state) {
  state.fieldNames.Clear();
  state.fieldValues.Clear();
  state.maxNameLength = 0;
}

// True when a goes before b in the catalogue: names compared as NTFS lists them, letters as
// capitals, so that every system gives one order (names that differ only in case: neither).
bool ListedBefore(const char* a, const char* b) {
  const auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; };
  for (;; ++a, ++b) {
    const unsigned char upperA = static_cast<unsigned char>(upper(*a));
    const unsigned char upperB = static_cast<unsigned char>(upper(*b));
    if (upperA != upperB) return upperA < upperB;
    if (*a == '\0') return false;
  }
}

// Appends the ".html" files (any case) of folder to names, each once, sorted by ListedBefore
// (then byte order); makes the folder the current directory.
void AppendTemplatesOf(const PathBuffer& folder, StringList& names) {
  // The folder scan lists the current directory when it cannot enter the folder:
  // a folder that cannot be entered has no templates.
  if (!SysSetCurrentDirectory(folder.path)) return;
  PathRecord folderRecord;
  folderRecord.SetPath(folder.path);
  FileList found;
  ScanFolder(found, folderRecord, ".html");
  std::vector<const char*> sorted;
  for (const FileListNode* node = found.First(); node != nullptr; node = node->next) {
    sorted.push_back(node->record.FileNamePart());
  }
  std::sort(sorted.begin(), sorted.end(), [](const char* a, const char* b) {
    return ListedBefore(a, b) || (!ListedBefore(b, a) && std::strcmp(a, b) < 0);
  });
  for (const char* name : sorted) {
    if (names.IndexOf(name) < 0) names.Append(name);
  }
}

}  // namespace

bool ScanTemplates(ConverterState* state) {
  if (state == nullptr) return false;
  state->templates.Clear();
  PathBuffer folder;
  // The shipped templates lead the catalogue in their order, then the user's own ones of
  // other names (an own template of a shipped name is the one used, listed once). The
  // program's folder is scanned last, so it ends as the current directory.
  StringList shipped;
  StringList own;
  if (SetUserTemplatesFolder(folder)) AppendTemplatesOf(folder, own);
  if (folder.SetInProgramFolder(kTemplatesFolder)) AppendTemplatesOf(folder, shipped);
  for (int i = 0; i < shipped.count; ++i) state->templates.Append(TextOf(shipped.items[i]));
  for (int i = 0; i < own.count; ++i) {
    if (state->templates.IndexOf(TextOf(own.items[i])) < 0) {
      state->templates.Append(TextOf(own.items[i]));
    }
  }
  return true;
}

bool IsInCatalogue(const ConverterState* state) {
  return state != nullptr && state->templateName.Data() != nullptr &&
         state->templates.IndexOf(state->templateName.Data()) >= 0;
}

bool SetNoTemplatesFailure(ConversionFailure& failure) {
  PathBuffer folder;
  if (!folder.SetInProgramFolder(kTemplatesFolder))
    return failure.Set(ConversionFailureKind::kNoTemplates, kTemplatesFolder, 0);
  // Named as a folder, without the trailing separator.
  const size_t length = std::strlen(folder.path);
  if (length > 0 && folder.path[length - 1] == '\\') folder.path[length - 1] = '\0';
  return failure.Set(ConversionFailureKind::kNoTemplates, folder.path, 0);
}

bool ChooseFirstTemplate(ConverterState* state) {
  if (state == nullptr) return false;
  const char* first = state->templates.count > 0 ? state->templates.items[0].Data() : nullptr;
  state->templateName.SetText(first != nullptr ? first : kFallbackTemplateName, -1, 0);
  return true;
}

bool LoadDefaultTemplate(ConverterState* state, ConversionFailure* foreign,
                         StringBuffer* remembered) {
  if (state == nullptr) return false;
  if (remembered != nullptr) remembered->SetText("", -1, 0);
  unsigned count = 0;
  std::unique_ptr<char[]> text = ReadSettingsFile(kDefaultTemplateFile, count, foreign);
  if (!text) return false;
  const char* lineEnd = std::strpbrk(text.get(), "\r\n");
  if (lineEnd == nullptr) return false;
  const unsigned length = static_cast<unsigned>(lineEnd - text.get());
  // A remembered template that is no longer there leaves the catalogue's choice.
  StringBuffer name;
  if (!name.SetText(text.get(), static_cast<int>(length), 0)) return false;
  if (remembered != nullptr) remembered->SetText(TextOf(name), -1, 0);
  if (state->templates.IndexOf(TextOf(name)) < 0) return false;
  return state->templateName.Swap(name);
}

bool SaveDefaultTemplate(ConverterState* state, ConversionFailure* failure) {
  if (state == nullptr) return false;
  if (!IsInCatalogue(state)) return true;
  StringBuffer line;
  if (!line.SetText(TextOf(state->templateName), -1, 0)) return false;
  if (!line.SetText("\r\n", -1, line.Length())) return false;
  return WriteSettingsFile(kDefaultTemplateFile, line, failure);
}

bool ScanTemplateFields(ConverterState* state) {
  if (state == nullptr) return false;
  ClearFields(*state);
  PathBuffer path;
  if (!SetTemplatePath(path, TextOf(state->templateName))) return false;
  return ScanTemplateFieldsAt(state, path);
}

bool ScanTemplateFieldsAt(ConverterState* state, const PathBuffer& path) {
  if (state == nullptr) return false;
  ClearFields(*state);
  unsigned count = 0;
  std::unique_ptr<char[]> text = ReadWholeFile(path, count);
  if (!text) return false;
  ScanFieldText(text.get(), state->fieldNames, state->fieldValues, state->maxNameLength);
  return true;
}
