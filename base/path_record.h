// Second fixed-size path value: paths found by the folder scan and the version query's path.
#pragma once

#include "base/path_buffer.h"

// Holds at most 256 characters; longer texts are cut. Never overflows.
struct PathRecord {
  // Most characters a record stores.
  static constexpr unsigned kMaxChars = 256;

  // Empty text, live true.
  PathRecord();
  // Releases the record.
  ~PathRecord() { Release(); }

  // Marks the record released (live false).
  void Release() { live = false; }
  // Copies text cut to its first 256 characters; null empties the record.
  void SetPath(const char* text);
  // The NUL-terminated text.
  const char* Text() const { return text; }
  // The part after the last '\' that is followed by another character; the whole text when
  // there is no such '\'.
  const char* FileNamePart() const;

  // True from construction until release.
  bool live;
  // NUL-terminated path, at most 256 characters.
  char text[kPathSize];
};
