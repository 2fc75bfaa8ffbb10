#include "base/path_record.h"

#include <cstring>

PathRecord::PathRecord() : live(true) {
  text[0] = '\0';
}

void PathRecord::SetPath(const char* source) {
  if (source == nullptr) {
    text[0] = '\0';
    return;
  }
  const size_t length = strnlen(source, kMaxChars);
  std::memmove(text, source, length);
  text[length] = '\0';
}

const char* PathRecord::FileNamePart() const {
  const char* part = text;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '\\' && c[1] != '\0') part = c + 1;
  }
  return part;
}
