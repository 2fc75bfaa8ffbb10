// Files, folders, the program's own file and temporary files over KERNEL32.
#include "platform/file_system.h"

#include <windows.h>

#include <cstring>

#include "platform/program_file_override.h"

namespace {

// CreateFileA arguments that differ by open mode.
struct OpenMode {
  DWORD access;
  DWORD disposition;
};

constexpr OpenMode kOpenModes[5] = {
    {GENERIC_READ, OPEN_EXISTING},                  // 0 read an existing file
    {GENERIC_WRITE, OPEN_EXISTING},                 // 1 write an existing file
    {GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS},  // 2 create or truncate
    {GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING},  // 3 read and write an existing file
    {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS},    // 4 read and write, create if missing
};

// The program file set by a test, or empty for the real one.
char gProgramFileOverride[MAX_PATH] = "";

// Copies text into out when it fits with its NUL; returns its length, or 0.
uint32_t CopyOut(const char* text, char* out, uint32_t size) {
  size_t length = std::strlen(text);
  if (out == nullptr || length == 0 || length + 1 > size) return 0;
  std::memcpy(out, text, length + 1);
  return static_cast<uint32_t>(length);
}

// Fills the seam's entry record from a Win32 one: any folder is a folder, whatever further
// attributes (read-only, hidden) it carries, so a scan never takes one for a file.
void FillFindData(const WIN32_FIND_DATAA& data, SysFindData* found) {
  found->attributes = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                          ? kSysAttributeDirectory
                          : kSysAttributeNormal;
  std::memcpy(found->name, data.cFileName, sizeof(found->name));
  found->name[sizeof(found->name) - 1] = '\0';
}

}  // namespace

void* SysOpenFile(const char* path, int mode) {
  if (path == nullptr || mode < 0 || mode > 4) return nullptr;
  SECURITY_ATTRIBUTES security = {};
  security.nLength = sizeof(security);
  security.lpSecurityDescriptor = nullptr;
  security.bInheritHandle = TRUE;
  HANDLE file = CreateFileA(path, kOpenModes[mode].access, 0, &security,
                            kOpenModes[mode].disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return file;
}

void* SysOpenFileToRead(const char* path, uint32_t* size) {
  if (size == nullptr) return nullptr;
  *size = 0;
  void* file = SysOpenFile(path, 0);
  if (file != nullptr && !SysGetFileSize(file, size)) {
    SysCloseFile(file);
    return nullptr;
  }
  return file;
}

bool SysReadFile(void* file, void* buffer, uint32_t count, uint32_t* done) {
  if (file == nullptr || buffer == nullptr || done == nullptr) return false;
  DWORD read = 0;
  BOOL ok = ReadFile(static_cast<HANDLE>(file), buffer, count, &read, nullptr);
  *done = read;
  return ok != FALSE;
}

bool SysWriteFile(void* file, const void* buffer, uint32_t count, uint32_t* done) {
  if (file == nullptr || buffer == nullptr || done == nullptr) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(static_cast<HANDLE>(file), buffer, count, &written, nullptr);
  *done = written;
  return ok != FALSE;
}

bool SysGetFileSize(void* file, uint32_t* size) {
  if (file == nullptr || size == nullptr) return false;
  *size = 0;
  DWORD high = 0;
  DWORD low = GetFileSize(static_cast<HANDLE>(file), &high);
  // The high part is asked for only to refuse files of 4 GiB or more, whose low part alone
  // would be a wrong size.
  if (low == INVALID_FILE_SIZE || high != 0) return false;
  *size = low;
  return true;
}

bool SysSetEndOfFile(void* file) {
  return file != nullptr && SetEndOfFile(static_cast<HANDLE>(file)) != FALSE;
}

bool SysCloseFile(void* file) {
  return file != nullptr && CloseHandle(static_cast<HANDLE>(file)) != FALSE;
}

uint32_t SysGetFileAttributes(const char* path) {
  if (path == nullptr) return kSysInvalidAttributes;
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return kSysInvalidAttributes;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? kSysAttributeDirectory
                                                      : kSysAttributeNormal;
}

bool SysGetFileIdentity(const char* path, SysFileIdentity* identity) {
  if (path == nullptr || identity == nullptr) return false;
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  // Backup semantics open a folder as well as a file; the handle only asks who it is.
  HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION information;
  const bool known = GetFileInformationByHandle(file, &information) != 0;
  CloseHandle(file);
  if (!known) return false;
  identity->device = information.dwVolumeSerialNumber;
  identity->node = (uint64_t(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
  identity->isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  return true;
}

uint32_t SysGetCurrentDirectory(char* out, uint32_t size) {
  if (out == nullptr || size == 0) return 0;
  DWORD length = GetCurrentDirectoryA(size, out);
  if (length == 0 || length >= size) {
    out[0] = '\0';
    return 0;
  }
  return length;
}

bool SysSetCurrentDirectory(const char* path) {
  return path != nullptr && SetCurrentDirectoryA(path) != FALSE;
}

void* SysFindFirstFile(const char* folder, SysFindData* found) {
  if (folder == nullptr || found == nullptr) return nullptr;
  char pattern[MAX_PATH + 4];
  size_t length = std::strlen(folder);
  if (length + 5 > sizeof(pattern)) return nullptr;
  std::memcpy(pattern, folder, length);
  if (length > 0 && folder[length - 1] != '\\' && folder[length - 1] != '/') {
    pattern[length++] = '\\';
  }
  std::memcpy(pattern + length, "*.*", 4);
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(pattern, &data);
  if (search == INVALID_HANDLE_VALUE) return nullptr;
  FillFindData(data, found);
  return search;
}

bool SysFindNextFile(void* search, SysFindData* found) {
  if (search == nullptr || found == nullptr) return false;
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(static_cast<HANDLE>(search), &data)) return false;
  FillFindData(data, found);
  return true;
}

void SysFindClose(void* search) {
  if (search != nullptr) FindClose(static_cast<HANDLE>(search));
}

uint32_t SysGetProgramFile(char* out, uint32_t size) {
  if (out == nullptr || size == 0) return 0;
  if (gProgramFileOverride[0] != '\0') return CopyOut(gProgramFileOverride, out, size);
  DWORD length = GetModuleFileNameA(nullptr, out, size);
  // A result equal to the size means the name was cut.
  if (length == 0 || length >= size) {
    out[0] = '\0';
    return 0;
  }
  return length;
}

uint32_t SysGetTempFolder(char* out, uint32_t size) {
  if (out == nullptr || size == 0) return 0;
  DWORD length = GetTempPathA(size, out);
  if (length == 0 || length >= size) {
    out[0] = '\0';
    return 0;
  }
  return length;
}

bool SysMakeTempFile(const char* folder, const char* prefix, char* out, uint32_t size) {
  if (folder == nullptr || prefix == nullptr || out == nullptr) return false;
  // GetTempFileNameA writes up to MAX_PATH bytes: take them in a buffer of that size.
  char name[MAX_PATH];
  if (GetTempFileNameA(folder, prefix, 0, name) == 0) return false;
  if (CopyOut(name, out, size) == 0) {
    DeleteFileA(name);
    return false;
  }
  return true;
}

bool SysOverrideProgramFile(const char* path) {
  if (path == nullptr) {
    gProgramFileOverride[0] = '\0';
    return true;
  }
  size_t length = std::strlen(path);
  if (length >= sizeof(gProgramFileOverride)) return false;
  std::memcpy(gProgramFileOverride, path, length + 1);
  return true;
}
