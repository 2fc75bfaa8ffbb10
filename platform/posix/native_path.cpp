// Linux: the program's Z:\ drive is the root of the native file system.
#include "platform/native_path.h"

#include <limits.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {

// Copies text into out with every from turned into to, after prefix; false when it does not fit.
bool Translate(const char* prefix, const char* text, char from, char to, char* out, uint32_t size) {
  const size_t prefixLength = std::strlen(prefix);
  const size_t length = std::strlen(text);
  if (prefixLength + length + 1 > size) {
    out[0] = '\0';
    return false;
  }
  std::memcpy(out, prefix, prefixLength);
  for (size_t i = 0; i < length; ++i) out[prefixLength + i] = text[i] == from ? to : text[i];
  out[prefixLength + length] = '\0';
  return true;
}

// Copies text into out whole; false (out empty) when it does not fit.
bool CopyWhole(const std::string& text, char* out, uint32_t size) {
  if (text.size() + 1 > size) {
    out[0] = '\0';
    return false;
  }
  std::memcpy(out, text.c_str(), text.size() + 1);
  return true;
}

}  // namespace

bool NativePathFromProgram(const char* programPath, char* out, uint32_t size) {
  if (out == nullptr || size == 0) return false;
  if (programPath == nullptr) {
    out[0] = '\0';
    return false;
  }
  const char* rest = programPath;
  // Only the drive's own colon is special: "z:x" is a relative name, not drive Z:.
  if ((rest[0] == 'Z' || rest[0] == 'z') && rest[1] == ':' &&
      (rest[2] == '\\' || rest[2] == '/' || rest[2] == '\0')) {
    rest += 2;
  }
  return Translate("", rest, '\\', '/', out, size);
}

bool ProgramPathFromNative(const char* nativePath, char* out, uint32_t size) {
  if (out == nullptr || size == 0) return false;
  if (nativePath == nullptr || std::strchr(nativePath, '\\') != nullptr) {
    out[0] = '\0';
    return false;
  }
  return Translate(nativePath[0] == '/' ? "Z:" : "", nativePath, '/', '\\', out, size);
}

bool NativePathHasBackslashName(const char* path) {
  return path != nullptr && path[0] == '/' && std::strchr(path, '\\') != nullptr;
}

UserPathOutcome ProgramPathFromUser(const char* userPath, const char* currentFolder, char* out,
                                    uint32_t size) {
  if (out == nullptr || size == 0) return UserPathOutcome::kTooLong;
  out[0] = '\0';
  if (userPath == nullptr) return UserPathOutcome::kTooLong;
  std::string full = userPath;
  if (userPath[0] != '/' && userPath[0] != '\0') {
    if (currentFolder == nullptr || currentFolder[0] == '\0') {
      return UserPathOutcome::kNoCurrentFolder;
    }
    char folder[PATH_MAX];
    if (NativePathHasBackslashName(currentFolder)) {
      if (!CopyWhole(currentFolder, folder, sizeof folder)) return UserPathOutcome::kTooLong;
    } else if (!NativePathFromProgram(currentFolder, folder, sizeof folder)) {
      return UserPathOutcome::kTooLong;
    }
    const size_t length = std::strlen(folder);
    full = std::string(folder) + (length != 0 && folder[length - 1] != '/' ? "/" : "") + userPath;
  }
  if (full.find('\\') != std::string::npos) {
    CopyWhole(full, out, size);
    return UserPathOutcome::kBackslashName;
  }
  return ProgramPathFromNative(full.c_str(), out, size) ? UserPathOutcome::kDone
                                                        : UserPathOutcome::kTooLong;
}

uint32_t CurrentFolderForUserPaths(char* out, uint32_t size) {
  if (out == nullptr || size == 0) return 0;
  out[0] = '\0';
  char native[PATH_MAX];
  if (getcwd(native, sizeof native) == nullptr) return 0;
  // A folder without a program view travels in its native form.
  const bool copied = std::strchr(native, '\\') != nullptr
                          ? CopyWhole(native, out, size)
                          : ProgramPathFromNative(native, out, size);
  return copied ? uint32_t(std::strlen(out)) : 0;
}
