// On Windows the program's view of a path is the system's own: both directions copy.
#include "platform/native_path.h"

#include <cstring>

#include "platform/file_system.h"

namespace {

// Copies text into out (size bytes, NUL included); false with an empty out when it does not fit.
bool CopyPath(const char* text, char* out, uint32_t size) {
  if (out == nullptr || size == 0) return false;
  out[0] = '\0';
  if (text == nullptr) return false;
  size_t length = std::strlen(text);
  if (length + 1 > size) return false;
  std::memcpy(out, text, length + 1);
  return true;
}

}  // namespace

bool NativePathFromProgram(const char* programPath, char* out, uint32_t size) {
  return CopyPath(programPath, out, size);
}

bool ProgramPathFromNative(const char* nativePath, char* out, uint32_t size) {
  return CopyPath(nativePath, out, size);
}

bool NativePathHasBackslashName(const char*) {
  return false;  // '\' is the separator itself
}

UserPathOutcome ProgramPathFromUser(const char* userPath, const char*, char* out, uint32_t size) {
  return CopyPath(userPath, out, size) ? UserPathOutcome::kDone : UserPathOutcome::kTooLong;
}

uint32_t CurrentFolderForUserPaths(char* out, uint32_t size) {
  return SysGetCurrentDirectory(out, size);
}
