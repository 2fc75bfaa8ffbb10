#include "xml/xml_shared_text.h"

#include <cstring>
#include <new>

namespace {

// FNV-1a over the bytes.
uint32_t Hash(const char* text, uint32_t length) {
  uint32_t hash = 2166136261u;
  for (uint32_t i = 0; i < length; ++i) {
    hash ^= static_cast<unsigned char>(text[i]);
    hash *= 16777619u;
  }
  return hash;
}

}  // namespace

XmlSharedText::Entry* XmlSharedText::Copy(const char* text, uint32_t length) {
  if (length >= StringBuffer::kMaxCapacity) return nullptr;
  void* memory = arena_.Allocate(sizeof(Entry) + length + 1u);
  if (memory == nullptr) return nullptr;
  Entry* entry = new (memory) Entry();
  char* copy = reinterpret_cast<char*>(entry + 1);
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  entry->length = length;
  entry->view.AttachReadOnly(copy);
  return entry;
}

StringBuffer* XmlSharedText::Share(const char* text, uint32_t length) {
  if (length > kLongestShared) {
    Entry* entry = Copy(text, length);
    return entry != nullptr ? &entry->view : nullptr;
  }
  Entry*& slot = slots_[Hash(text, length) & (kSlots - 1)];
  if (slot != nullptr && slot->length == length && std::memcmp(slot->Text(), text, length) == 0) {
    return &slot->view;
  }
  Entry* entry = Copy(text, length);
  if (entry == nullptr) return nullptr;
  slot = entry;
  return &entry->view;
}

StringBuffer* XmlSharedText::Empty() {
  if (empty_ == nullptr) {
    void* memory = arena_.Allocate(sizeof(StringBuffer));
    if (memory != nullptr) empty_ = new (memory) StringBuffer();
  }
  return empty_;
}
