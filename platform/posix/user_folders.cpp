// The user's settings folder and the settings checks on Linux.
#include "platform/user_folders.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/native_path.h"

namespace {

bool NativeOf(const char* path, std::string& native) {
  char buffer[4096];
  if (path == nullptr || !NativePathFromProgram(path, buffer, sizeof buffer)) return false;
  native = buffer;
  return !native.empty();
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  const passwd* entry = getpwuid(getuid());
  if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') return entry->pw_dir;
  return std::string();
}

}  // namespace

uint32_t SysGetUserSettingsFolder(char* out, uint32_t size) {
  if (out == nullptr || size == 0) return 0;
  std::string folder;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') {
    folder = config;
  } else {
    const std::string home = HomeFolder();
    if (home.empty()) return 0;
    folder = home + "/.config";
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  folder += "/krn2html";
  if (!ProgramPathFromNative(folder.c_str(), out, size)) return 0;
  uint32_t length = 0;
  while (length < size && out[length] != '\0') ++length;
  return length < size ? length : 0;
}

bool SysFolderWritable(const char* path) {
  std::string native;
  struct stat info;
  return NativeOf(path, native) && stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         faccessat(AT_FDCWD, native.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool SysCreatePrivateFolder(const char* path) {
  std::string native;
  if (!NativeOf(path, native)) return false;
  for (size_t slash = native.find('/', 1);; slash = native.find('/', slash + 1)) {
    const std::string part = slash == std::string::npos ? native : native.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info;
  return stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool SysOwnedByAdministrator(const char* path) {
  std::string native;
  struct stat info;
  return NativeOf(path, native) && stat(native.c_str(), &info) == 0 && info.st_uid == 0;
}

bool SysOwnedByUser(const char* path) {
  std::string native;
  struct stat info;
  return NativeOf(path, native) && stat(native.c_str(), &info) == 0 && info.st_uid == geteuid();
}
