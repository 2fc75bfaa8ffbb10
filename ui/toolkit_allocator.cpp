// The counting allocator: every block carries its size in a small header in
// front of it, so `ToolkitSize` is exact on every system without a
// platform-specific size query, and `bytesInUse` counts exactly what callers asked for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "ui/toolkit_runtime.h"

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

void* HeapAlloc(uint32_t bytes, bool zeroFill) {
  if (TooLarge(bytes)) return nullptr;
  char* raw = static_cast<char*>(zeroFill ? std::calloc(1, kHeaderSize + bytes)
                                          : std::malloc(kHeaderSize + bytes));
  if (!raw) return nullptr;
  void* block = raw + kHeaderSize;
  StoredSize(block) = bytes;
  return block;
}

void HeapFree(void* block) {
  std::free(static_cast<char*>(block) - kHeaderSize);
}

void* HeapRealloc(void* block, uint32_t bytes, bool zeroFill) {
  if (TooLarge(bytes)) return nullptr;
  uint32_t old = StoredSize(block);
  char* raw = static_cast<char*>(
      std::realloc(static_cast<char*>(block) - kHeaderSize, kHeaderSize + bytes));
  if (!raw) return nullptr;
  void* moved = raw + kHeaderSize;
  StoredSize(moved) = bytes;
  if (zeroFill && bytes > old) std::memset(static_cast<char*>(moved) + old, 0, bytes - old);
  return moved;
}

bool UseHooks(const ToolkitContext* context) {
  return context && context->memoryHooks.enabled;
}

uint32_t BlockSize(const ToolkitContext* context, void* block) {
  if (UseHooks(context)) return context->memoryHooks.size ? context->memoryHooks.size(block) : 0;
  return StoredSize(block);
}

// Tells the over-budget callback about an allocation that passes the budget;
// the allocation goes ahead whatever it answers.
void CheckBudget(ToolkitContext* context, uint32_t growth) {
  if (!context || context->budget == 0) return;
  int64_t excess = int64_t(growth) + context->bytesInUse - int64_t(context->budget);
  if (excess <= 0 || !context->overBudget || context->inOverBudget) return;
  context->inOverBudget = true;
  context->overBudget(excess > INT32_MAX ? INT32_MAX : int32_t(excess));
  context->inOverBudget = false;
}

// Adds a signed change to `bytesInUse`, kept within 0 and INT32_MAX.
void Count(ToolkitContext* context, int64_t change) {
  int64_t value = int64_t(context->bytesInUse) + change;
  if (value < 0) value = 0;
  if (value > INT32_MAX) value = INT32_MAX;
  context->bytesInUse = int32_t(value);
  if (uint32_t(value) > context->peakBytes) context->peakBytes = uint32_t(value);
}

}  // namespace

void* ToolkitAlloc(uint32_t bytes, bool zeroFill) {
  ToolkitContext* context = GetToolkitContext();
  CheckBudget(context, bytes);
  void* block = nullptr;
  if (UseHooks(context)) {
    if (context->memoryHooks.allocate) block = context->memoryHooks.allocate(bytes, zeroFill);
  } else {
    block = HeapAlloc(bytes, zeroFill);
  }
  if (block && context) Count(context, BlockSize(context, block));
  return block;
}

void ToolkitFree(void* block) {
  if (!block) return;
  ToolkitContext* context = GetToolkitContext();
  uint32_t size = BlockSize(context, block);
  if (UseHooks(context)) {
    if (context->memoryHooks.free) context->memoryHooks.free(block);
  } else {
    HeapFree(block);
  }
  if (context) Count(context, -int64_t(size));
}

void* ToolkitRealloc(void* block, uint32_t bytes, bool zeroFill) {
  if (!block) return nullptr;
  ToolkitContext* context = GetToolkitContext();
  uint32_t old = BlockSize(context, block);
  if (bytes > old) CheckBudget(context, bytes - old);
  void* moved = nullptr;
  if (UseHooks(context)) {
    if (context->memoryHooks.reallocate) {
      moved = context->memoryHooks.reallocate(block, bytes, zeroFill);
    }
  } else {
    moved = HeapRealloc(block, bytes, zeroFill);
  }
  if (moved && context) Count(context, int64_t(BlockSize(context, moved)) - int64_t(old));
  return moved;
}

uint32_t ToolkitSize(void* block) {
  if (!block) return 0;
  return BlockSize(GetToolkitContext(), block);
}
