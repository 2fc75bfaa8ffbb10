#include "xml/xml_shared_text.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

// A multiplicative hash taken eight bytes at a time.
uint32_t Hash(const char* text, uint32_t length) {
  constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  uint64_t hash = length;
  uint32_t i = 0;
  for (; i + 8 <= length; i += 8) {
    uint64_t word;
    std::memcpy(&word, text + i, 8);
    hash = (hash ^ word) * kMultiplier;
  }
  if (i < length) {
    // The last bytes are read as whole words that may overlap bytes hashed already: a copy of
    // a variable count would stall the load that follows it.
    uint64_t word = 0;
    if (length >= 8) {
      std::memcpy(&word, text + length - 8, 8);
    } else if (length >= 4) {
      uint32_t first, last;
      std::memcpy(&first, text, 4);
      std::memcpy(&last, text + length - 4, 4);
      word = (uint64_t{first} << 32) | last;
    } else {
      word = static_cast<uint8_t>(text[0]) |
             static_cast<uint64_t>(static_cast<uint8_t>(text[length / 2])) << 8 |
             static_cast<uint64_t>(static_cast<uint8_t>(text[length - 1])) << 16;
    }
    hash = (hash ^ word) * kMultiplier;
  }
  return static_cast<uint32_t>(hash >> 32);
}

// 0, 1, 2 for a space, a tab, a line feed; -1 for any other byte.
int BlankIndex(char c) {
  return c == ' ' ? 0 : c == '\t' ? 1 : c == '\n' ? 2 : -1;
}

}  // namespace

XmlSharedText::Entry* XmlSharedText::Copy(const char* text, uint32_t length) {
  if (length >= StringBuffer::kMaxCapacity) return nullptr;
  static_assert(alignof(Entry) <= XmlArena::kAlignment);
  void* memory = arena_.Allocate(sizeof(Entry) + length + 1u);
  if (memory == nullptr) return nullptr;
  Entry* entry = new (memory) Entry();
  char* copy = reinterpret_cast<char*>(entry + 1);
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  entry->view.AttachReadOnly(copy, length);
  return entry;
}

StringBuffer* XmlSharedText::ShareRun(char c, uint32_t length) {
  StringBuffer*& shared = runs_[BlankIndex(c)][length];
  if (shared == nullptr) {
    char run[kLongestRun];
    std::memset(run, c, length);
    Entry* entry = Copy(run, length);
    if (entry != nullptr) shared = &entry->view;
  }
  return shared;
}

StringBuffer* XmlSharedText::ShareStable(const char* text) {
  const uint32_t slot =
      static_cast<uint32_t>(reinterpret_cast<uintptr_t>(text) >> 3) % kStableSlots;
  if (stableKeys_[slot] != text) {
    StringBuffer* view = Share(text, static_cast<uint32_t>(std::strlen(text)));
    if (view == nullptr) return nullptr;
    stableKeys_[slot] = text;
    stableViews_[slot] = view;
  }
  return stableViews_[slot];
}

StringBuffer* const* XmlSharedText::ShareNames(StringBuffer* const* names, uint32_t count) {
  uint64_t hash = count;
  for (uint32_t i = 0; i < count; ++i) {
    hash = (hash ^ reinterpret_cast<uintptr_t>(names[i])) * 0x9E3779B97F4A7C15ull;
  }
  uintptr_t*& slot = lists_[(hash >> 32) % kListSlots];
  const size_t bytes = count * sizeof(StringBuffer*);
  if (slot == nullptr || slot[0] != count || std::memcmp(slot + 1, names, bytes) != 0) {
    void* memory = arena_.Allocate(sizeof(uintptr_t) + bytes);
    if (memory == nullptr) return nullptr;
    uintptr_t* list = static_cast<uintptr_t*>(memory);
    list[0] = count;
    std::memcpy(list + 1, names, bytes);
    slot = list;
  }
  return reinterpret_cast<StringBuffer* const*>(slot + 1);
}

void XmlSharedText::ForgetStable() {
  for (const char*& key : stableKeys_) key = nullptr;
}

StringBuffer* XmlSharedText::Share(const char* text, uint32_t length) {
  if (length > 0 && length <= kLongestRun && BlankIndex(text[0]) >= 0) {
    // Layout between tags: a run of one blank character.
    uint32_t same = 1;
    while (same < length && text[same] == text[0]) ++same;
    if (same == length) return ShareRun(text[0], length);
  }
  if (length > kLongestShared) {
    Entry* entry = Copy(text, length);
    return entry != nullptr ? &entry->view : nullptr;
  }
  // The slot's hash is compared first: a text met only once (a unique name) then costs no
  // look at the entry, which lies anywhere in the tree's memory.
  const uint32_t hash = Hash(text, length);
  const uint32_t index = hash & (kSlots - 1);
  Entry*& slot = slots_[index];
  if (slot != nullptr && slotHashes_[index] == hash && slot->Length() == length &&
      std::memcmp(slot->view.Data(), text, length) == 0) {
    return &slot->view;
  }
  Entry* entry = Copy(text, length);
  if (entry == nullptr) return nullptr;
  slot = entry;
  slotHashes_[index] = hash;
  return &entry->view;
}

StringBuffer* XmlSharedText::Empty() {
  if (empty_ == nullptr) {
    void* memory = arena_.Allocate(sizeof(StringBuffer));
    if (memory != nullptr) empty_ = new (memory) StringBuffer();
  }
  return empty_;
}
