#include "settings/settings_location.h"

#include <cstring>

#include "base/whole_file_reader.h"
#include "platform/file_replace.h"
#include "platform/file_spec.h"
#include "platform/file_system.h"
#include "platform/user_folders.h"

const char kDefaultsFolder[] = "\\Defaults";
const char kTemplatesFolder[] = "\\HTML Support\\";
const char kUserTemplatesFolder[] = "\\templates\\";

namespace {

bool IsFolder(const char* path) {
  const uint32_t attributes = SysGetFileAttributes(path);
  return attributes != kSysInvalidAttributes && (attributes & kSysAttributeDirectory) != 0;
}

bool IsFile(const char* path) {
  const uint32_t attributes = SysGetFileAttributes(path);
  return attributes != kSysInvalidAttributes && (attributes & kSysAttributeDirectory) == 0;
}

// Sets path to the user's settings folder followed by tail; false when unknown or too long.
bool InUserFolder(PathBuffer& path, const char* tail) {
  char folder[kPathSize];
  const uint32_t length = SysGetUserSettingsFolder(folder, sizeof folder);
  if (length == 0 || length + std::strlen(tail) >= kPathSize) return false;
  std::memcpy(folder + length, tail, std::strlen(tail) + 1);
  return path.Set(folder);
}

}  // namespace

bool SettingsInProgramFolder() {
  PathBuffer user;
  if (!InUserFolder(user, "")) return true;
  PathBuffer defaults;
  if (!defaults.SetInProgramFolder(kDefaultsFolder)) return false;
  // An installed program has no "Defaults" (the package and the installer leave it out),
  // even where its folder may be written, as in a per-user installation on Windows.
  return IsFolder(defaults.path) && SysFolderWritable(defaults.path);
}

bool SetSettingsPath(PathBuffer& path, const char* relativeName) {
  if (relativeName == nullptr) return false;
  if (SettingsInProgramFolder()) return path.SetInProgramFolder(relativeName);
  // The same file name in the user's folder: the program's "\Defaults" part gives way.
  const size_t prefix = std::strlen(kDefaultsFolder);
  const char* tail =
      std::strncmp(relativeName, kDefaultsFolder, prefix) == 0 && relativeName[prefix] == '\\'
          ? relativeName + prefix
          : relativeName;
  if (InUserFolder(path, tail)) return true;
  path.Clear();
  return false;
}

bool PrepareSettingsFolder() {
  PathBuffer folder;
  if (SettingsInProgramFolder()) {
    return folder.SetInProgramFolder(kDefaultsFolder) &&
           (IsFolder(folder.path) || SysCreateFolder(folder.path));
  }
  return InUserFolder(folder, "") && SysCreatePrivateFolder(folder.path);
}

std::unique_ptr<char[]> ReadSettingsFile(const char* relativeName, unsigned& count,
                                         ConversionFailure* foreign) {
  count = 0;
  PathBuffer path;
  if (!SetSettingsPath(path, relativeName)) return nullptr;
  // While the settings live in the user's folder, a file the user has not saved there yet comes
  // from the program's shared "Defaults" (only read), as XDG falls back to its system folders.
  // The shared file is an administrator's or the user's; any other user's is passed over.
  PathBuffer shared;
  if (!IsFile(path.path) && !SettingsInProgramFolder() && shared.SetInProgramFolder(relativeName) &&
      IsFile(shared.path)) {
    if (!SysOwnedByAdministrator(shared.path) && !SysOwnedByUser(shared.path)) {
      if (foreign != nullptr) foreign->Set(ConversionFailureKind::kSettingsForeign, shared.path, 0);
      return nullptr;
    }
    return ReadWholeFile(shared, count);
  }
  if (IsFile(path.path) && !SysOwnedByUser(path.path)) {
    if (foreign != nullptr) foreign->Set(ConversionFailureKind::kSettingsForeign, path.path, 0);
    return nullptr;
  }
  return ReadWholeFile(path, count);
}

bool SetUserTemplatesFolder(PathBuffer& folder) {
  return InUserFolder(folder, kUserTemplatesFolder);
}

bool SetTemplatePath(PathBuffer& path, const char* name) {
  if (name == nullptr) return false;
  const size_t nameLength = std::strlen(name);
  PathBuffer user;
  if (SetUserTemplatesFolder(user) && std::strlen(user.path) + nameLength < kPathSize) {
    char candidate[kPathSize];
    std::memcpy(candidate, user.path, std::strlen(user.path));
    std::memcpy(candidate + std::strlen(user.path), name, nameLength + 1);
    if (IsFile(candidate)) return path.Set(candidate);
  }
  const size_t folderLength = std::strlen(kTemplatesFolder);
  if (folderLength + nameLength >= kPathSize) return false;
  char relative[kPathSize];
  std::memcpy(relative, kTemplatesFolder, folderLength);
  std::memcpy(relative + folderLength, name, nameLength + 1);
  return path.SetInProgramFolder(relative);
}
