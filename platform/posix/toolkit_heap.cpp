// Linux: the toolkit heap over the C heap. Every block carries its size in a small header in
// front of it, so SysHeapSize is exact: what the caller asked for. Large blocks (a large tree's
// chunks) are placed for large pages.
#include "platform/toolkit_heap.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/large_block.h"

namespace {

// The header keeps the block behind it aligned for any type.
constexpr size_t kHeaderSize = alignof(std::max_align_t) > sizeof(uint32_t)
                                   ? alignof(std::max_align_t)
                                   : sizeof(uint32_t);

uint32_t& StoredSize(void* block) {
  return *reinterpret_cast<uint32_t*>(static_cast<char*>(block) - kHeaderSize);
}

// Refuses sizes that would wrap once the header is added (32-bit systems).
bool TooLarge(uint32_t bytes) {
  return bytes > SIZE_MAX - kHeaderSize;
}

}  // namespace

void* SysHeapAlloc(uint32_t bytes, bool zeroFill) {
  if (TooLarge(bytes)) return nullptr;
  const size_t total = kHeaderSize + bytes;
  char* raw = nullptr;
  if (total >= kLargeBlockBytes) {
    raw = static_cast<char*>(SysAllocLarge(total));
    if (raw && zeroFill) std::memset(raw, 0, total);
  } else {
    raw = static_cast<char*>(zeroFill ? std::calloc(1, total) : std::malloc(total));
  }
  if (!raw) return nullptr;
  void* block = raw + kHeaderSize;
  StoredSize(block) = bytes;
  return block;
}

void* SysHeapRealloc(void* block, uint32_t bytes, bool zeroFill) {
  if (!block || TooLarge(bytes)) return nullptr;
  const uint32_t old = StoredSize(block);
  char* raw = static_cast<char*>(
      std::realloc(static_cast<char*>(block) - kHeaderSize, kHeaderSize + bytes));
  if (!raw) return nullptr;
  void* moved = raw + kHeaderSize;
  StoredSize(moved) = bytes;
  if (zeroFill && bytes > old) std::memset(static_cast<char*>(moved) + old, 0, bytes - old);
  return moved;
}

uint32_t SysHeapSize(void* block) {
  return block ? StoredSize(block) : 0;
}

void SysHeapFree(void* block) {
  if (block) std::free(static_cast<char*>(block) - kHeaderSize);
}
