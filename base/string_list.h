// Growable array of StringBuffer values: the program's lists of names.
#pragma once

#include "base/string_buffer.h"

// Owns its elements. Slots from count up to capacity hold no live element; elements are
// relocated bitwise when the array grows, which is sound because a StringBuffer is two plain
// words. Growth doubles: 1, 2, 4, 8, ... Lookups are linear and case-sensitive.
class StringList {
 public:
  // Makes an empty list {null, 0, 0}.
  StringList() = default;
  // Resets every element and frees the array.
  ~StringList();
  StringList(const StringList&) = delete;
  StringList& operator=(const StringList&) = delete;

  // Adds an element holding a copy of text (null gives an element without storage); false
  // when memory runs out, with the list unchanged.
  bool Append(const char* text);
  // Adds n elements without storage; false when memory runs out, with the list unchanged.
  bool AppendEmpty(int32_t n);
  // Index of the first element that Equals text, or -1.
  int IndexOf(const char* text) const;
  // Resets every element and sets count to 0; the array is kept for reuse.
  void Clear();

  // Heap array of elements, or null; access items[i] for i below count.
  StringBuffer* items = nullptr;
  // Number of elements in use.
  int32_t count = 0;
  // Number of element slots allocated.
  int32_t capacity = 0;
};
