// The counting allocator over the system's toolkit heap (or the hooks a start installed). The
// count is the size the heap reports for each block, so freeing subtracts exactly what
// allocating added.
#include <atomic>
#include <cstdint>

#include "platform/toolkit_heap.h"
#include "ui/toolkit_runtime.h"

namespace {

bool UseHooks(const ToolkitContext* context) {
  return context && context->memoryHooks.enabled;
}

uint32_t BlockSize(const ToolkitContext* context, void* block) {
  if (UseHooks(context)) return context->memoryHooks.size ? context->memoryHooks.size(block) : 0;
  return SysHeapSize(block);
}

// The count is shared by every thread that allocates (a scene is read on a worker thread while
// the window thread draws), so it is read and changed atomically: a lost update would later
// read as a leak or hide one.
int32_t BytesInUse(ToolkitContext* context) {
  return std::atomic_ref<int32_t>(context->bytesInUse).load(std::memory_order_relaxed);
}

// Tells the over-budget callback about an allocation that passes the budget;
// the allocation goes ahead whatever it answers.
void CheckBudget(ToolkitContext* context, uint32_t growth) {
  if (!context || context->budget == 0) return;
  int64_t excess = int64_t(growth) + BytesInUse(context) - int64_t(context->budget);
  if (excess <= 0 || !context->overBudget || context->inOverBudget) return;
  context->inOverBudget = true;
  context->overBudget(excess > INT32_MAX ? INT32_MAX : int32_t(excess));
  context->inOverBudget = false;
}

// Adds a signed change to `bytesInUse`, kept within 0 and INT32_MAX, and raises `peakBytes`.
void Count(ToolkitContext* context, int64_t change) {
  std::atomic_ref<int32_t> inUse(context->bytesInUse);
  int32_t before = inUse.load(std::memory_order_relaxed);
  int64_t value = 0;
  do {
    value = int64_t(before) + change;
    if (value < 0) value = 0;
    if (value > INT32_MAX) value = INT32_MAX;
  } while (!inUse.compare_exchange_weak(before, int32_t(value), std::memory_order_relaxed));
  std::atomic_ref<uint32_t> peak(context->peakBytes);
  uint32_t seen = peak.load(std::memory_order_relaxed);
  while (uint32_t(value) > seen &&
         !peak.compare_exchange_weak(seen, uint32_t(value), std::memory_order_relaxed)) {
  }
}

}  // namespace

void* ToolkitAlloc(uint32_t bytes, bool zeroFill) {
  ToolkitContext* context = GetToolkitContext();
  CheckBudget(context, bytes);
  void* block = nullptr;
  if (UseHooks(context)) {
    if (context->memoryHooks.allocate) block = context->memoryHooks.allocate(bytes, zeroFill);
  } else {
    block = SysHeapAlloc(bytes, zeroFill);
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
    SysHeapFree(block);
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
    moved = SysHeapRealloc(block, bytes, zeroFill);
  }
  if (moved && context) Count(context, int64_t(BlockSize(context, moved)) - int64_t(old));
  return moved;
}

uint32_t ToolkitSize(void* block) {
  if (!block) return 0;
  return BlockSize(GetToolkitContext(), block);
}
