// Linux: the standard streams over their descriptors, folders over mkdir.
#include "platform/console.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/native_path.h"

bool SysIsTerminal(int stream) {
  if (stream < kStandardInput || stream > kStandardError) return false;
  return isatty(stream) == 1;
}

bool SysWriteStandard(int stream, const void* data, uint32_t count) {
  if (stream != kStandardOutput && stream != kStandardError) return false;
  if (data == nullptr && count != 0) return false;
  const char* at = static_cast<const char*>(data);
  while (count > 0) {
    const ssize_t put = write(stream, at, count);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    at += put;
    count -= uint32_t(put);
  }
  return true;
}

bool SysReadStandardInput(void* buffer, uint32_t count, uint32_t* done) {
  if (done == nullptr) return false;
  *done = 0;
  if (buffer == nullptr) return false;
  ssize_t got;
  do {
    got = read(kStandardInput, buffer, count);
  } while (got < 0 && errno == EINTR);
  if (got < 0) return false;
  *done = uint32_t(got);
  return true;
}

bool SysCreateFolder(const char* path) {
  char native[PATH_MAX];
  if (path == nullptr || !NativePathFromProgram(path, native, sizeof native) || native[0] == '\0') {
    return false;
  }
  if (mkdir(native, 0777) == 0) return true;
  // Made by someone else (perhaps at this very moment): fine when it is a folder.
  struct stat info;
  return errno == EEXIST && stat(native, &info) == 0 && S_ISDIR(info.st_mode);
}
