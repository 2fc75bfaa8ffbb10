#include "base/int_text.h"

int32_t IntOfText(const char* text) {
  const char* c = text;
  while (*c == ' ' || (*c >= '\t' && *c <= '\r')) ++c;
  bool negative = false;
  if (*c == '+' || *c == '-') negative = *c++ == '-';
  // Once past the range's end the value stays there, whatever digits follow.
  const uint32_t limit = negative ? 2147483648u : 2147483647u;
  uint32_t value = 0;
  for (; *c >= '0' && *c <= '9'; ++c) {
    const uint64_t next = uint64_t(value) * 10 + uint32_t(*c - '0');
    if (next >= limit) {
      value = limit;
      break;
    }
    value = uint32_t(next);
  }
  return negative ? int32_t(-int64_t(value)) : int32_t(value);
}
