// Splitting a path into its parts without copying or cutting them.
#pragma once

#include <cstddef>

// Offsets and lengths of the parts of a path text: drive (the first two characters when the
// second is ':'), directory (up to and including the last '\' or '/'), extension (from the
// last '.' after the directory) and the file name between them.
struct PathSpans {
  size_t driveLength;
  size_t directoryStart, directoryLength;
  size_t nameStart, nameLength;
  size_t extensionStart, extensionLength;
};

// Splits text (not null) into spans over it.
PathSpans SplitPathSpans(const char* text);

// True for the separators of a directory, '\' and '/'.
inline bool IsSlash(char c) {
  return c == '\\' || c == '/';
}
