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
  // Share for a zero-terminated text whose address stays the same for the same text while
  // one parser runs (expat's attribute names): looked up by address first.
  StringBuffer* ShareStable(const char* text);
  // A list of `count` shared name buffers equal to `names`, shared with an equal earlier list
  // when the table still has it; null when memory runs out. The word before the list's first
  // entry holds `count`, so a holder of the list needs no count of its own.
  StringBuffer* const* ShareNames(StringBuffer* const* names, uint32_t count);
  // Forgets the addresses ShareStable saw; called when a new parser starts.
  void ForgetStable();
  // The tree's one empty buffer (no text), for empty values.
  StringBuffer* Empty();

 private:
  // Texts up to this length are looked up; longer ones are always copied.
  static constexpr uint32_t kLongestShared = 64;
  static constexpr uint32_t kSlots = 2048;
  static constexpr uint32_t kStableSlots = 64;
  // Runs of one blank character (space, tab, line feed) up to this length have fixed slots.
  static constexpr uint32_t kLongestRun = 32;

  // A view and, behind it, its text and zero byte. The view's capacity is the length + 1.
  struct Entry {
    StringBuffer view;
    uint32_t Length() const { return view.Capacity() - 1; }
  };
  // Copies the text into the arena behind a new entry; null when memory runs out.
  Entry* Copy(const char* text, uint32_t length);

  XmlArena& arena_;
  // The blank run of `length` bytes of `c` (a blank), shared; null when memory runs out.
  StringBuffer* ShareRun(char c, uint32_t length);

  Entry* slots_[kSlots] = {};
  uint32_t slotHashes_[kSlots] = {};  // the full hash of each slot's text
  // Shared name lists: each is its count followed by the buffer pointers.
  static constexpr uint32_t kListSlots = 256;
  uintptr_t* lists_[kListSlots] = {};
  const char* stableKeys_[kStableSlots] = {};
  StringBuffer* stableViews_[kStableSlots] = {};
  StringBuffer* runs_[3][kLongestRun + 1] = {};
  StringBuffer* empty_ = nullptr;
};
