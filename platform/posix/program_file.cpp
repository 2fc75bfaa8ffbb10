// Linux: the program's own file, from /proc/self/exe unless a test chose another.
#include <unistd.h>

#include <climits>
#include <cstring>

#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/program_file_override.h"

namespace {

char overridePath[260];
bool overridden = false;

}  // namespace

bool SysOverrideProgramFile(const char* path) {
  if (path == nullptr) {
    overridden = false;
    return true;
  }
  const size_t length = strnlen(path, sizeof overridePath);
  if (length >= sizeof overridePath) return false;
  std::memcpy(overridePath, path, length + 1);
  overridden = true;
  return true;
}

uint32_t SysGetProgramFile(char* out, uint32_t size) {
  if (out == nullptr || size == 0) return 0;
  if (overridden) {
    const size_t length = std::strlen(overridePath);
    if (length + 1 > size) return 0;
    std::memcpy(out, overridePath, length + 1);
    return uint32_t(length);
  }
  char native[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", native, sizeof native - 1);
  if (length <= 0) return 0;
  native[length] = '\0';
  if (!ProgramPathFromNative(native, out, size)) return 0;
  return uint32_t(std::strlen(out));
}
