#include "base/version_info.h"

#include <cstdlib>
#include <cstring>

#include "base/string_buffer.h"
#include "platform/version_resource.h"

namespace {

// Value of one hexadecimal digit; other characters count as their code minus that of '0'.
int HexValue(char c) {
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - '0';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Decimal value of a field: leading blanks skipped, stopping at the first non-digit.
uint32_t FieldValue(const char* field, size_t length) {
  size_t i = 0;
  while (i < length && IsBlank(field[i])) ++i;
  uint32_t value = 0;
  for (; i < length && field[i] >= '0' && field[i] <= '9'; ++i)
    value = value * 10 + uint32_t(field[i] - '0');
  return value;
}

}  // namespace

int HexPairValue(const char* digits) {
  if (digits == nullptr) return 0;
  return HexValue(digits[0]) * 16 + HexValue(digits[1]);
}

char HexDigit(unsigned value) {
  return "0123456789ABCDEF"[value & 15];
}

uint32_t ParseProductVersion(const char* text) {
  if (text == nullptr) return 0;
  uint32_t result = 0;
  const char* field = text;
  for (int pass = 0; pass < 4; ++pass) {
    result <<= 8;
    // Once the text has ended, the remaining passes only shift, so that the first number always
    // lands in the top byte.
    const char* comma = std::strchr(field, ',');
    const size_t length = comma != nullptr ? size_t(comma - field) : std::strlen(field);
    if (length > 5) break;
    result |= FieldValue(field, length);
    field = comma != nullptr ? comma + 1 : field + length;
  }
  return result;
}

uint32_t ReadProductVersion(const PathRecord& path) {
  const uint32_t size = SysGetFileVersionInfoSize(path.Text());
  if (size == 0) return 0;
  char* block = static_cast<char*>(std::malloc(size_t(size) + 1));
  if (block == nullptr) return 0;
  uint32_t result = 0;
  const void* value = nullptr;
  uint32_t length = 0;
  if (SysGetFileVersionInfo(path.Text(), size, block)) {
    block[size] = '\0';
    if (SysVerQueryValue(block, "\\VarFileInfo\\Translation", &value, &length) && length >= 4) {
      // The first translation: language, then code page, each 16 bits, little-endian.
      const unsigned char* pair = static_cast<const unsigned char*>(value);
      const unsigned language = pair[0] | unsigned(pair[1]) << 8;
      const unsigned codePage = pair[2] | unsigned(pair[3]) << 8;
      char query[] = "\\StringFileInfo\\00000000\\ProductVersion";
      char* digits = query + std::strlen("\\StringFileInfo\\");
      for (int i = 0; i < 4; ++i) {
        digits[i] = HexDigit(language >> (12 - 4 * i));
        digits[4 + i] = HexDigit(codePage >> (12 - 4 * i));
      }
      if (SysVerQueryValue(block, query, &value, &length)) {
        // The value's length bounds the text even if its NUL were missing.
        StringBuffer text;
        const char* chars = static_cast<const char*>(value);
        if (length == 0 || text.SetText(chars, int(strnlen(chars, length)), 0)) {
          result = ParseProductVersion(text.Data() != nullptr ? text.Data() : "");
        }
      }
    }
  }
  std::free(block);
  return result;
}
