#include "platform/fltk/dialog_start_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace fltk_backend {

namespace {

bool IsFolder(const std::string& path) {
  struct stat info;
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder part of an absolute path ("/" for a file in the root); empty for
// a path without a folder.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return std::string();
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

std::string DialogStartFolders::StartFolder(bool save, const std::string& initialPath,
                                            const std::string& home) const {
  const std::string given = FolderOf(initialPath);
  if (!given.empty() && given[0] == '/' && IsFolder(given)) return given;
  if (IsFolder(lastFolder_[save ? 1 : 0])) return lastFolder_[save ? 1 : 0];
  if (IsFolder(home)) return home;
  return "/";
}

void DialogStartFolders::Remember(bool save, const std::string& chosenFile) {
  const std::string folder = FolderOf(chosenFile);
  if (!folder.empty() && folder[0] == '/') lastFolder_[save ? 1 : 0] = folder;
}

std::string UserHomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  const passwd* entry = getpwuid(getuid());
  if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') return entry->pw_dir;
  return std::string();
}

}  // namespace fltk_backend
