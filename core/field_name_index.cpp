#include "core/field_name_index.h"

#include <cstring>
#include <new>

FieldNameIndex::FieldNameIndex(const StringList& names) : names_(names) {
  for (int i = 0; i < names_.count; ++i) Add(i);
}

FieldNameIndex::~FieldNameIndex() {
  delete[] slots_;
}

uint32_t FieldNameIndex::Hash(const char* text, unsigned length) {
  // FNV-1a.
  uint32_t hash = 2166136261u;
  for (unsigned i = 0; i < length; ++i) {
    hash = (hash ^ static_cast<unsigned char>(text[i])) * 16777619u;
  }
  return hash;
}

bool FieldNameIndex::EntryEquals(int entry, const char* text, unsigned length) const {
  const char* name = names_.items[entry].Data();
  if (name == nullptr) return length == 0;
  return std::strncmp(name, text, length) == 0 && name[length] == '\0';
}

int FieldNameIndex::Find(const char* text, unsigned length) const {
  if (searchList_) {
    for (int i = 0; i < names_.count; ++i) {
      if (EntryEquals(i, text, length)) return i;
    }
    return -1;
  }
  if (capacity_ == 0) return -1;
  const uint32_t hash = Hash(text, length);
  for (uint32_t i = hash & (capacity_ - 1);; i = (i + 1) & (capacity_ - 1)) {
    const Slot& slot = slots_[i];
    if (slot.entry < 0) return -1;
    if (slot.hash == hash && EntryEquals(slot.entry, text, length)) return slot.entry;
  }
}

void FieldNameIndex::Add(int entry) {
  if (searchList_) return;
  // At most half the slots are used, so every probe ends at a free slot.
  if ((used_ + 1) * 2 > capacity_ && !Grow()) {
    searchList_ = true;
    return;
  }
  const char* name = names_.items[entry].Data();
  const unsigned length = name != nullptr ? static_cast<unsigned>(std::strlen(name)) : 0;
  Insert(Hash(name != nullptr ? name : "", length), entry);
}

void FieldNameIndex::Insert(uint32_t hash, int entry) {
  uint32_t i = hash & (capacity_ - 1);
  while (slots_[i].entry >= 0) i = (i + 1) & (capacity_ - 1);
  slots_[i] = Slot{hash, entry};
  ++used_;
}

bool FieldNameIndex::Grow() {
  const uint32_t capacity = capacity_ == 0 ? 64 : capacity_ * 2;
  if (capacity == 0) return false;
  Slot* slots = new (std::nothrow) Slot[capacity];
  if (slots == nullptr) return false;
  for (uint32_t i = 0; i < capacity; ++i) slots[i] = Slot{0, -1};
  Slot* old = slots_;
  const uint32_t oldCapacity = capacity_;
  slots_ = slots;
  capacity_ = capacity;
  used_ = 0;
  for (uint32_t i = 0; i < oldCapacity; ++i) {
    if (old[i].entry >= 0) Insert(old[i].hash, old[i].entry);
  }
  delete[] old;
  return true;
}
