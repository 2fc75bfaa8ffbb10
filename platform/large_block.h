// System seam: large blocks of the C heap, placed so that the system can back them with
// large pages.
//
// A large scene's tree and button block take many megabytes, written once from front to back.
// Each 4 KiB page of them costs a page fault on first touch, and on a virtual machine a fault
// can cost as much as parsing a few kilobytes; a large page brings in 2 MiB with one fault.
// Implemented by platform/posix (aligned to 2 MiB, advised for transparent huge pages) and
// platform/win32 (the C heap as it is: large pages there need a privilege users lack).
#pragma once

#include <cstddef>

// Blocks of this many bytes and more are worth placing for large pages.
constexpr size_t kLargeBlockBytes = size_t{2} << 20;

// `bytes` of uninitialised storage from the C heap (std::free and std::realloc accept it),
// placed for large pages where the system has them; null when the heap refuses.
void* SysAllocLarge(size_t bytes);
