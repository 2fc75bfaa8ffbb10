#include "base/string_list.h"

#include <cstdlib>
#include <new>

StringList::~StringList() {
  Clear();
  std::free(static_cast<void*>(items));
  items = nullptr;
  capacity = 0;
}

bool StringList::Reserve(int32_t wanted) {
  if (capacity >= wanted) return true;
  // Elements are two plain words, so moving them bitwise with the array is sound.
  void* moved = std::realloc(static_cast<void*>(items), size_t(wanted) * sizeof(StringBuffer));
  if (moved == nullptr) return false;
  items = static_cast<StringBuffer*>(moved);
  capacity = wanted;
  return true;
}

bool StringList::Append(const char* text) {
  if (count == INT32_MAX) return false;
  if (capacity < count + 1) {
    int64_t grown = int64_t{capacity} * 2;
    if (grown < count + 1) grown = count + 1;
    if (grown > INT32_MAX) grown = INT32_MAX;
    if (!Reserve(int32_t(grown))) return false;
  }
  StringBuffer* element = new (&items[count]) StringBuffer();
  if (!element->SetText(text, -1, 0)) {
    element->Reset();
    return false;
  }
  ++count;
  return true;
}

bool StringList::AppendEmpty(int32_t n) {
  if (n < 0 || count > INT32_MAX - n) return false;
  if (capacity < count + n) {
    int64_t grown = int64_t{capacity} * 2;
    if (grown < count + n) grown = count + n;
    if (grown > INT32_MAX) grown = INT32_MAX;
    if (!Reserve(int32_t(grown))) return false;
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
