// Read-only texts of one tree (names, attribute values, text chunks), equal short texts
// shared.
#pragma once

#include <cstdint>

#include "base/string_buffer.h"
#include "xml/xml_arena.h"

// Makes read-only StringBuffer views whose text lives in the tree's arena. A short text met
// again soon (tag and attribute names, layout white space, repeated values) is found in a
// small direct-mapped table and shared, so a tree stores it once, not once per node; a text
// that misses the table is copied. Lookups cost one hash and at most one comparison.
class XmlSharedText {
 public:
  explicit XmlSharedText(XmlArena& arena) : arena_(arena) {}
  XmlSharedText(const XmlSharedText&) = delete;
  XmlSharedText& operator=(const XmlSharedText&) = delete;

  // A read-only view of the first `length` bytes of `text` (which hold no zero byte), shared
  // with an equal earlier text when the table still has it; null when memory runs out or the
  // text is longer than a buffer can hold.
  StringBuffer* Share(const char* text, uint32_t length);
  // The tree's one empty buffer (no text), for empty values.
  StringBuffer* Empty();

 private:
  // Texts up to this length are looked up; longer ones are always copied.
  static constexpr uint32_t kLongestShared = 64;
  static constexpr uint32_t kSlots = 2048;

  struct Entry {
    StringBuffer view;
    uint32_t length;
    // The text and its zero byte follow the entry.
    const char* Text() const { return reinterpret_cast<const char*>(this + 1); }
  };
  // Copies the text into the arena behind a new entry; null when memory runs out.
  Entry* Copy(const char* text, uint32_t length);

  XmlArena& arena_;
  Entry* slots_[kSlots] = {};
  StringBuffer* empty_ = nullptr;
};
