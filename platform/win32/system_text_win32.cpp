// Windows: ANSI code page text as UTF-8 through UTF-16.
#include "platform/system_text.h"

#include <windows.h>

#include <vector>

uint32_t SysUtf8FromSystemText(const char* text, char* out, uint32_t size) {
  if (text == nullptr) return 0xFFFFFFFFu;
  if (*text == '\0') {
    if (out != nullptr && size > 0) *out = '\0';
    return 0;
  }
  // Both counts include the terminating NUL.
  const int wide = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (wide <= 0) return 0xFFFFFFFFu;
  std::vector<wchar_t> buffer(static_cast<size_t>(wide));
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, buffer.data(), wide) != wide) return 0xFFFFFFFFu;
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return 0xFFFFFFFFu;
  const uint32_t length = static_cast<uint32_t>(bytes - 1);
  if (out != nullptr && length < size &&
      WideCharToMultiByte(CP_UTF8, 0, buffer.data(), wide, out, bytes, nullptr, nullptr) != bytes) {
    return 0xFFFFFFFFu;
  }
  return length;
}
