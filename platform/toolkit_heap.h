// System seam: the heap behind the toolkit allocator.
//
// Blocks know their own size, so the allocator can count exactly what it holds. On Windows this
// is the global heap (GlobalAlloc, GlobalReAlloc, GlobalSize, GlobalFree); on Linux the C heap
// with a size header in front of each block. Implemented by the system backends (posix, win32).
#pragma once

#include <cstdint>

// Allocates a block of bytes, zero-filled when asked; returns null on failure.
void* SysHeapAlloc(uint32_t bytes, bool zeroFill);
// Resizes block (not null) to bytes, keeping its contents and zero-filling any growth when
// asked; returns the block, possibly moved, or null on failure (the old block then stays valid).
void* SysHeapRealloc(void* block, uint32_t bytes, bool zeroFill);
// Returns the size of block in bytes as the heap keeps it (at least what was asked), 0 for null.
uint32_t SysHeapSize(void* block);
// Frees block; null is ignored.
void SysHeapFree(void* block);
