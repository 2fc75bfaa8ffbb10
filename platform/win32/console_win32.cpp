// Windows: the standard streams over their handles (WriteFile and ReadFile pass bytes
// unchanged).
#include "platform/console.h"

#include <windows.h>

namespace {

// The handle of a stream, or null when it is closed or the number names none.
HANDLE HandleOf(int stream) {
  static const DWORD kIds[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  if (stream < kStandardInput || stream > kStandardError) return nullptr;
  HANDLE handle = GetStdHandle(kIds[stream]);
  return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

}  // namespace

bool SysIsTerminal(int stream) {
  HANDLE handle = HandleOf(stream);
  if (handle == nullptr || GetFileType(handle) != FILE_TYPE_CHAR) return false;
  // A character device that is no console (such as NUL) is not a terminal.
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != FALSE;
}

bool SysWriteStandard(int stream, const void* data, uint32_t count) {
  if (stream != kStandardOutput && stream != kStandardError) return false;
  if (data == nullptr && count != 0) return false;
  HANDLE handle = HandleOf(stream);
  if (handle == nullptr) return false;
  const char* at = static_cast<const char*>(data);
  while (count > 0) {
    DWORD put = 0;
    if (!WriteFile(handle, at, count, &put, nullptr) || put == 0) return false;
    at += put;
    count -= put;
  }
  return true;
}

bool SysReadStandardInput(void* buffer, uint32_t count, uint32_t* done) {
  if (done == nullptr) return false;
  *done = 0;
  HANDLE handle = HandleOf(kStandardInput);
  if (buffer == nullptr || handle == nullptr) return false;
  DWORD got = 0;
  if (!ReadFile(handle, buffer, count, &got, nullptr)) {
    // The writing end of a pipe has closed: the end of the input.
    return GetLastError() == ERROR_BROKEN_PIPE;
  }
  *done = got;
  return true;
}
