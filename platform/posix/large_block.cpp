// Linux: a large block starts on a 2 MiB boundary and its whole 2 MiB units are advised for
// transparent huge pages, so that each of them is brought in by one fault. The last part of
// the block, shorter than a unit, keeps small pages: a huge page there would hold memory the
// block never uses. Where the system gives no huge pages (switched off, or none free), the
// advice changes nothing.
#include "platform/large_block.h"

#include <sys/mman.h>

#include <cstdlib>

void* SysAllocLarge(size_t bytes) {
  void* block = nullptr;
  if (posix_memalign(&block, kLargeBlockBytes, bytes) != 0) return nullptr;
  const size_t whole = bytes & ~(kLargeBlockBytes - 1);
  if (whole > 0) madvise(block, whole, MADV_HUGEPAGE);
  return block;
}
