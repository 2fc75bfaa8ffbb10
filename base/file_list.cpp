#include "base/file_list.h"

#include <cstring>
#include <new>

#include "base/ascii_case.h"
#include "platform/file_system.h"

namespace {

bool IsDotEntry(const char* name) {
  return !std::strcmp(name, ".") || !std::strcmp(name, "..");
}

}  // namespace

FileList::FileList() : anchor(new (std::nothrow) FileListAnchor{nullptr, true}), live(true) {}

FileList::~FileList() {
  FreeNodes();
  delete anchor;
  anchor = nullptr;
  live = false;
}

int FileList::Count() const {
  int count = 0;
  for (const FileListNode* node = First(); node != nullptr; node = node->next) ++count;
  return count;
}

bool FileList::AddFront(const char* path) {
  if (anchor == nullptr) return false;
  FileListNode* node = new (std::nothrow) FileListNode;
  if (node == nullptr) return false;
  node->record.SetPath(path);
  node->next = anchor->first;
  anchor->first = node;
  return true;
}

void FileList::FreeNodes() {
  if (anchor == nullptr) return;
  FileListNode* node = anchor->first;
  while (node != nullptr) {
    FileListNode* next = node->next;
    delete node;
    node = next;
  }
  anchor->first = nullptr;
}

void ScanFolder(FileList& list, const PathRecord& folder, const char* extension) {
  if (extension == nullptr) extension = "";
  list.filter.SetText(extension, -1, 0);
  // The scan looks at whatever directory is current, even when this fails.
  SysSetCurrentDirectory(folder.Text());
  SysFindData entry;
  void* search = SysFindFirstFile(".", &entry);
  if (search == nullptr) return;
  bool more = true;
  while (more && IsDotEntry(entry.name)) more = SysFindNextFile(search, &entry);
  for (; more; more = SysFindNextFile(search, &entry)) {
    // Any folder is skipped, whatever other attributes it carries.
    if ((entry.attributes & kSysAttributeDirectory) != 0) continue;
    // A Linux name with a '\' would read as two names in the program's path: passed over.
    if (std::strchr(entry.name, '\\') != nullptr) continue;
    if (!EqualsIgnoringAsciiCase(ExtensionOf(entry.name), extension)) continue;
    char full[kPathSize + 1 + sizeof entry.name];
    const uint32_t length = SysGetCurrentDirectory(full, kPathSize);
    if (length == 0) continue;
    full[length] = '\\';
    std::memcpy(full + length + 1, entry.name, strnlen(entry.name, sizeof entry.name - 1));
    full[length + 1 + strnlen(entry.name, sizeof entry.name - 1)] = '\0';
    // A path cut to the record's size would name another file: such an entry is left out.
    if (std::strlen(full) > PathRecord::kMaxChars) continue;
    list.AddFront(full);
  }
  SysFindClose(search);
}

const char* ExtensionOf(const char* name) {
  if (name == nullptr) return nullptr;
  const char* end = name + std::strlen(name);
  for (const char* c = end; c != name; --c) {
    const char previous = c[-1];
    if (previous == '.') return c - 1;
    // Only a drive's colon (the second character) ends a name; others belong to it.
    if (previous == '\\' || previous == '/' || (previous == ':' && c - 1 == name + 1)) return end;
  }
  return end;
}
