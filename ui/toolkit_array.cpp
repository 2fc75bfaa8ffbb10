#include "ui/toolkit_array.h"

#include <cstring>

#include "ui/toolkit_runtime.h"

ToolkitArray::~ToolkitArray() {
  Release();
}

bool ToolkitArray::Init(uint32_t size, uint32_t initialCount, uint32_t initialCapacity,
                        uint32_t growthStep, bool zeroFill) {
  Release();
  elementSize = size;
  if (initialCapacity < initialCount) return false;
  flags = (growthStep & kGrowthStepMask) | kOwnsStorage | (zeroFill ? kZeroFill : 0);
  if (!SetCapacity(initialCapacity) || !Resize(initialCount)) {
    Release();
    return false;
  }
  return true;
}

void ToolkitArray::Release() {
  if ((flags & kOwnsStorage) && data) ToolkitFree(data);
  count = 0;
  capacity = 0;
  flags = 0;
  elementSize = 0;
  data = nullptr;
}

bool ToolkitArray::SetCapacity(uint32_t elements) {
  if (elements == capacity) return true;
  if (flags & kFixedCapacity) {
    if (elements > capacity) return false;
    capacity = elements;
    if (count > elements) count = elements;
    return true;
  }
  uint64_t bytes = uint64_t(elements) * elementSize;
  if (bytes > UINT32_MAX) return false;
  bool zeroFill = (flags & kZeroFill) != 0;
  if (bytes == 0) {
    if (data && (flags & kOwnsStorage)) ToolkitFree(data);
    data = nullptr;
  } else if (data && !(flags & kOwnsStorage)) {
    // Storage that belongs to someone else is copied, never reallocated or freed.
    void* storage = ToolkitAlloc(uint32_t(bytes), zeroFill);
    if (!storage) return false;
    uint64_t keep = uint64_t(capacity < elements ? capacity : elements) * elementSize;
    std::memcpy(storage, data, size_t(keep));
    data = storage;
    flags |= kOwnsStorage;
  } else {
    void* storage = data ? ToolkitRealloc(data, uint32_t(bytes), zeroFill)
                         : ToolkitAlloc(uint32_t(bytes), zeroFill);
    if (!storage) return false;
    data = storage;
  }
  if (count > elements) count = elements;
  capacity = elements;
  return true;
}

bool ToolkitArray::Resize(uint32_t elements) {
  if (elements > capacity) {
    if (flags & kFixedCapacity) return false;
    uint32_t step = flags & kGrowthStepMask;
    uint64_t target;
    if (step != 0) {
      target = (uint64_t(elements) + step - 1) / step * step;
    } else if (capacity != 0) {
      target = capacity;
      while (target < elements) target *= 2;
    } else {
      target = elements;
    }
    if (target > UINT32_MAX) target = elements;  // no room to round up: take what is asked
    if (!SetCapacity(uint32_t(target))) return false;
  }
  count = elements;
  return true;
}

void* ToolkitArray::At(uint32_t index) const {
  if (index >= count || !data) return nullptr;
  return static_cast<char*>(data) + uint64_t(index) * elementSize;
}
