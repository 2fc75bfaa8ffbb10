// Linux: file names and typed text are UTF-8 already.
#include "platform/system_text.h"

#include <cstring>

uint32_t SysUtf8FromSystemText(const char* text, char* out, uint32_t size) {
  if (text == nullptr) return 0xFFFFFFFFu;
  const size_t length = std::strlen(text);
  if (length >= 0xFFFFFFFFu) return 0xFFFFFFFFu;
  if (out != nullptr && length < size) std::memcpy(out, text, length + 1);
  return static_cast<uint32_t>(length);
}
