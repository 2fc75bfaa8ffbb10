// ToolkitArray: a growable array of fixed-size elements whose storage comes
// from the toolkit allocator. A value embedded in its owner; not copyable.
#pragma once

#include <cstdint>

class ToolkitArray {
 public:
  // Bits of `flags`.
  static constexpr uint32_t kGrowthStepMask = 0x1FFFFFFF;  // elements per growth; 0 doubles
  static constexpr uint32_t kFixedCapacity = 0x20000000;   // never reallocates
  static constexpr uint32_t kZeroFill = 0x40000000;        // new storage is zero-filled
  static constexpr uint32_t kOwnsStorage = 0x80000000;     // storage is freed on release

  uint32_t count = 0;        // elements in use
  uint32_t capacity = 0;     // elements allocated
  uint32_t flags = 0;        // growth step and the bits above
  uint32_t elementSize = 0;  // bytes per element
  void* data = nullptr;      // storage from the toolkit allocator, or null

  ToolkitArray() = default;
  ToolkitArray(const ToolkitArray&) = delete;
  ToolkitArray& operator=(const ToolkitArray&) = delete;

  // Releases the storage it owns.
  ~ToolkitArray();

  // Sets up an empty array and sizes it; fails (released) when capacity is
  // below count or storage cannot be had.
  bool Init(uint32_t elementSize, uint32_t count, uint32_t capacity, uint32_t growthStep,
            bool zeroFill);

  // Frees owned storage and clears every field.
  void Release();

  // Sets the allocated element count; fails (storage kept) when a fixed array
  // would grow, the byte size overflows or the allocator fails.
  bool SetCapacity(uint32_t elements);

  // Sets `count`, growing the capacity by the growth rule; fails for a fixed
  // array that would grow or when storage cannot be had.
  bool Resize(uint32_t elements);

  // Address of element `index`, or null when it is not below `count`.
  void* At(uint32_t index) const;

  // The storage viewed as elements of T (whose size should be `elementSize`).
  template <typename T>
  T* Items() const {
    return static_cast<T*>(data);
  }
};
