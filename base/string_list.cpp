#include "base/string_list.h"

#include <cstdlib>
#include <new>

StringList::~StringList() {
  Clear();
  std::free(static_cast<void*>(items));
  items = nullptr;
  capacity = 0;
}

bool StringList::Append(const char* text) {
  if (!AppendEmpty(1)) return false;
  if (!items[count - 1].SetText(text, -1, 0)) {
    items[--count].Reset();
    return false;
  }
  return true;
}

bool StringList::AppendEmpty(int32_t n) {
  if (n < 0 || count > INT32_MAX - n) return false;
  if (capacity < count + n) {
    int64_t grown = int64_t{capacity} * 2;
    if (grown < count + n) grown = count + n;
    if (grown > INT32_MAX) grown = INT32_MAX;
    // Elements are two plain words, so moving them bitwise with the array is sound.
    void* moved = std::realloc(static_cast<void*>(items), size_t(grown) * sizeof(StringBuffer));
    if (moved == nullptr) return false;
    items = static_cast<StringBuffer*>(moved);
    capacity = int32_t(grown);
  }
  for (int32_t i = 0; i < n; ++i) new (&items[count + i]) StringBuffer();
  count += n;
  return true;
}

int StringList::IndexOf(const char* text) const {
  for (int32_t i = 0; i < count; ++i) {
    if (items[i].Equals(text)) return i;
  }
  return -1;
}

void StringList::Clear() {
  for (int32_t i = 0; i < count; ++i) items[i].Reset();
  count = 0;
}
