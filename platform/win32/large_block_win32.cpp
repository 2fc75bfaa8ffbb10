// Windows: the C heap as it is. Large pages (VirtualAlloc with MEM_LARGE_PAGES) need the
// "Lock pages in memory" privilege, which an ordinary user does not hold.
#include "platform/large_block.h"

#include <cstdlib>

void* SysAllocLarge(size_t bytes) {
  return std::malloc(bytes);
}
