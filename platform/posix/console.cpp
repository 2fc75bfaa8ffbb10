// Linux: the standard streams over their descriptors.
#include "platform/console.h"

#include <unistd.h>

#include <cerrno>

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
