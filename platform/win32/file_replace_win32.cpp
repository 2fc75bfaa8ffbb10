// Windows: files written whole through a temporary file beside them, moved over with
// MoveFileExA(MOVEFILE_REPLACE_EXISTING).
#include "platform/file_replace.h"

#include "platform/file_system.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>

void* SysCreateFileBeside(const FileReplacement& replacement, char* tempPath, uint32_t size) {
  const char* target = replacement.file;
  if (tempPath == nullptr || size == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const char* slash = std::strrchr(target, '\\');
  const int folderLength = slash != nullptr ? int(slash - target) + 1 : 0;
  static std::atomic<unsigned> counter{0};  // workers of one run make files at once
  const unsigned start = unsigned(GetCurrentProcessId()) * 2654435761u + GetTickCount() + counter++;
  for (unsigned attempt = 0; attempt < 0x10000u; ++attempt) {
    const int length = std::snprintf(tempPath, size, "%.*s~krn%04X.tmp", folderLength, target,
                                     (start + attempt) & 0xFFFFu);
    if (length < 0 || uint32_t(length) >= size || length >= MAX_PATH) {
      tempPath[0] = '\0';
      SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return nullptr;
    }
    HANDLE file = CreateFileA(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      tempPath[0] = '\0';
      SetLastError(error);
      return nullptr;
    }
  }
  tempPath[0] = '\0';
  SetLastError(ERROR_FILE_EXISTS);
  return nullptr;
}

// The target is always looked at: MoveFileExA names the new file, whatever the folder holds.
bool SysMayReplaceFile(const char* target, FileReplacement* replacement, bool /*checkAtCommit*/) {
  if (target == nullptr || replacement == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  replacement->kept = 0;
  replacement->checkAtCommit = false;
  const size_t length = std::strlen(target);
  if (length >= sizeof replacement->file) {
    replacement->file[0] = '\0';
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  std::memcpy(replacement->file, target, length + 1);
  const DWORD attributes = GetFileAttributesA(target);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND;
  }
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  // A new file would part this name from the file's other hard links: refused.
  HANDLE file = CreateFileA(target, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    BY_HANDLE_FILE_INFORMATION information;
    const bool linked =
        GetFileInformationByHandle(file, &information) != 0 && information.nNumberOfLinks > 1;
    CloseHandle(file);
    if (linked) {
      SetLastError(kSysErrorHardLinks);
      return false;
    }
  }
  // The new file keeps the attributes (hidden, archive...) of the one it replaces; an existing
  // file has at least FILE_ATTRIBUTE_NORMAL, so the value is never 0.
  replacement->kept = attributes;
  return true;
}

bool SysCommitFileBeside(void* file, const char* source, const FileReplacement& replacement) {
  const char* target = replacement.file;
  const uint32_t kept = replacement.kept;
  if (file == nullptr || !SysCloseFile(file)) return false;
  if (source == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (kept != 0) SetFileAttributesA(source, kept);
  return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING) != 0;
}

bool SysDeleteFile(const char* path) {
  return path != nullptr && DeleteFileA(path) != 0;
}

bool SysCreateFolder(const char* path) {
  if (path == nullptr) return false;
  if (CreateDirectoryA(path, nullptr)) return true;
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  SetLastError(error);
  return false;
}

uint32_t SysLastError() {
  return GetLastError();
}

void SysSetLastError(uint32_t code) {
  SetLastError(code);
}

uint32_t SysDiskFullError() {
  return ERROR_DISK_FULL;
}

bool SysErrorText(uint32_t code, char* out, uint32_t size) {
  if (out == nullptr || size == 0) return false;
  // The common reasons in the same words as on Linux.
  const char* text = nullptr;
  switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      text = "Permission denied";
      break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      text = "No such file or directory";
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      text = "No space left on device";
      break;
    case ERROR_FILENAME_EXCED_RANGE:
      text = "File name too long";
      break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      text = "Cannot allocate memory";
      break;
    case kSysErrorHardLinks:
      text = "The file has other hard links, which a new file would part from it";
      break;
    default:
      break;
  }
  if (text != nullptr) {
    std::snprintf(out, size, "%s", text);
    return true;
  }
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, out, size, nullptr);
  if (length == 0) {
    std::snprintf(out, size, "Error %lu", static_cast<unsigned long>(code));
    return true;
  }
  // The system's text ends in a full stop and a line break.
  size_t end = std::strlen(out);
  while (end > 0 && (out[end - 1] == '\r' || out[end - 1] == '\n' || out[end - 1] == ' ' ||
                     out[end - 1] == '.')) {
    out[--end] = '\0';
  }
  return true;
}
