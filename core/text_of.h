// Reading a StringBuffer as a C string.
#pragma once

#include "base/string_buffer.h"

// The buffer's text, or "" when it has no storage.
inline const char* TextOf(const StringBuffer& buffer) {
  const char* data = buffer.Data();
  return data != nullptr ? data : "";
}
