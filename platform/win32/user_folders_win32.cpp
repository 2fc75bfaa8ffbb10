// The user's settings folder and the settings checks on Windows.
#include <windows.h>

#include <cstring>

#include "platform/user_folders.h"

uint32_t SysGetUserSettingsFolder(char* out, uint32_t size) {
  if (out == nullptr || size == 0) return 0;
  char appData[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
  if (length == 0 || length >= sizeof appData) return 0;
  static const char kName[] = "\\krn2html";
  const bool slash = appData[length - 1] == '\\';
  const uint32_t total = length + (slash ? 0 : 1) + 8;
  if (total + 1 > size) return 0;
  std::memcpy(out, appData, length);
  std::memcpy(out + length, slash ? kName + 1 : kName, slash ? 9 : 10);
  return total;
}

bool SysFolderWritable(const char* path) {
  if (path == nullptr) return false;
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  // The only sure answer is a file made and removed there.
  char probe[MAX_PATH];
  if (!GetTempFileNameA(path, "krn", 0, probe)) return false;
  DeleteFileA(probe);
  return true;
}

bool SysCreatePrivateFolder(const char* path) {
  if (path == nullptr || path[0] == '\0') return false;
  char part[MAX_PATH];
  const size_t length = std::strlen(path);
  if (length >= sizeof part) return false;
  for (size_t i = 0; i <= length; ++i) {
    if (i == length || (path[i] == '\\' && i > 2)) {
      std::memcpy(part, path, i);
      part[i] = '\0';
      CreateDirectoryA(part, nullptr);  // an existing folder fails harmlessly
    }
  }
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SysOwnedByUser(const char* path) {
  return path != nullptr && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool SysOwnedByAdministrator(const char* path) {
  return SysOwnedByUser(path);
}
