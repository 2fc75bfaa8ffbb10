#include "base/path_split.h"

#include <cstring>

PathSpans SplitPathSpans(const char* text) {
  PathSpans spans{};
  const size_t length = std::strlen(text);
  size_t start = 0;
  if (length >= 2 && text[1] == ':') {
    spans.driveLength = 2;
    start = 2;
  }
  size_t directoryEnd = start;
  for (size_t i = start; i < length; ++i) {
    if (IsSlash(text[i])) directoryEnd = i + 1;
  }
  spans.directoryStart = start;
  spans.directoryLength = directoryEnd - start;
  size_t extension = length;
  for (size_t i = length; i > directoryEnd; --i) {
    if (text[i - 1] == '.') {
      extension = i - 1;
      break;
    }
  }
  spans.nameStart = directoryEnd;
  spans.nameLength = extension - directoryEnd;
  spans.extensionStart = extension;
  spans.extensionLength = length - extension;
  return spans;
}
