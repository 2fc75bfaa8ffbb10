#include "app/templates.h"

#include <cstring>
#include <new>

#include "app/settings_file.h"
#include "app/template_fields.h"
#include "app/text_of.h"
#include "base/file_handle.h"
#include "base/file_list.h"
#include "platform/file_system.h"

const char kTemplatesFolder[] = "\\HTML Support\\";
const char kDefaultTemplateFile[] = "\\Defaults\\defaulttemplate.txt";
const char kFallbackTemplateName[] = "generic.html";

namespace {

constexpr unsigned kSpareBytes = 4096;

// The current template has no fields (until a scan finds some).
void ClearFields(ConverterState& state) {
  state.fieldNames.Clear();
  state.fieldValues.Clear();
  state.maxNameLength = 0;
}

}  // namespace

std::unique_ptr<char[]> ReadWholeFile(const PathBuffer& path, unsigned& count) {
  count = 0;
  FileHandle file(path);
  if (!file.Exists() || !file.Open(0)) return nullptr;
  uint32_t size = 0;
  if (!file.GetSize(&size) || size > 0xFFFFFFFFu - kSpareBytes) return nullptr;
  std::unique_ptr<char[]> block(new (std::nothrow) char[size + kSpareBytes]);
  if (!block) return nullptr;
  uint32_t bytesRead = 0;
  const bool read = file.Read(block.get(), size, &bytesRead);
  file.Close();
  if (!read) return nullptr;
  block[bytesRead] = '\0';
  count = bytesRead;
  return block;
}

bool ScanTemplates(ConverterState* state) {
  if (state == nullptr) return false;
  state->templates.Clear();
  PathBuffer folder;
  if (!folder.SetInProgramFolder(kTemplatesFolder)) return true;
  // The folder scan lists the current directory when it cannot enter the folder:
  // a folder that cannot be entered has no templates.
  if (!SysSetCurrentDirectory(folder.path)) return true;
  PathRecord folderRecord;
  folderRecord.SetPath(folder.path);
  FileList found;
  ScanFolder(found, folderRecord, ".html");
  // The scan puts each new file in front, so walking from the front lists the
  // templates in the reverse of the system's order.
  for (const FileListNode* node = found.First(); node != nullptr; node = node->next) {
    const char* name = node->record.FileNamePart();
    if (state->templates.IndexOf(name) < 0) state->templates.Append(name);
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

bool LoadDefaultTemplate(ConverterState* state) {
  if (state == nullptr) return false;
  PathBuffer path;
  if (!path.SetInProgramFolder(kDefaultTemplateFile)) return false;
  unsigned count = 0;
  std::unique_ptr<char[]> text = ReadWholeFile(path, count);
  if (!text) return false;
  const char* lineEnd = std::strpbrk(text.get(), "\r\n");
  if (lineEnd == nullptr) return false;
  const unsigned length = static_cast<unsigned>(lineEnd - text.get());
  // A remembered template that is no longer there leaves the catalogue's choice.
  StringBuffer name;
  if (!name.SetText(text.get(), static_cast<int>(length), 0)) return false;
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
  StringBuffer relative;
  if (!relative.SetText(kTemplatesFolder, -1, 0)) return false;
  if (state->templateName.Data() != nullptr &&
      !relative.SetFrom(state->templateName, relative.Length())) {
    return false;
  }
  PathBuffer path;
  if (!path.SetInProgramFolder(relative.Data())) return false;
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
