// Windows: the toolkit heap over KERNEL32's global heap. Blocks are fixed (GMEM_FIXED), so the
// handle GlobalAlloc returns is the block's address.
#include "platform/toolkit_heap.h"

#include <windows.h>

void* SysHeapAlloc(uint32_t bytes, bool zeroFill) {
  return GlobalAlloc(zeroFill ? GMEM_ZEROINIT : GMEM_FIXED, bytes);
}

void* SysHeapRealloc(void* block, uint32_t bytes, bool zeroFill) {
  if (!block) return nullptr;
  // GMEM_MOVEABLE lets a fixed block move when it cannot grow in place.
  return GlobalReAlloc(block, bytes, zeroFill ? GMEM_MOVEABLE | GMEM_ZEROINIT : GMEM_MOVEABLE);
}

uint32_t SysHeapSize(void* block) {
  return block ? static_cast<uint32_t>(GlobalSize(block)) : 0;
}

void SysHeapFree(void* block) {
  if (block) GlobalFree(block);
}
