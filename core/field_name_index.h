// A hash index over the names of a field list, so that the template scan looks a name up
// in constant time instead of comparing it with every name found so far.
#pragma once

#include <cstdint>

#include "base/string_list.h"

class FieldNameIndex {
 public:
  // Indexes the entries that names already holds. The list must outlive the index and may
  // only grow through Append while the index is in use.
  explicit FieldNameIndex(const StringList& names);
  ~FieldNameIndex();
  FieldNameIndex(const FieldNameIndex&) = delete;
  FieldNameIndex& operator=(const FieldNameIndex&) = delete;

  // Index of the list entry equal to the length bytes at text, or -1.
  int Find(const char* text, unsigned length) const;
  // Records that the list's entry at `entry` now holds a name. When the index cannot grow,
  // it falls back to searching the list, so lookups stay correct.
  void Add(int entry);

 private:
  struct Slot {
    uint32_t hash;
    int32_t entry;  // -1 for a free slot
  };

  static uint32_t Hash(const char* text, unsigned length);
  bool EntryEquals(int entry, const char* text, unsigned length) const;
  void Insert(uint32_t hash, int entry);
  bool Grow();

  const StringList& names_;
  Slot* slots_ = nullptr;
  uint32_t capacity_ = 0;  // a power of two, or 0
  uint32_t used_ = 0;
  bool searchList_ = false;  // set when the index could not grow
};
