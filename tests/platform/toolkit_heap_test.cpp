// The toolkit heap of the system backend: zero fill, sizes, and reallocation that keeps the
// contents and zero-fills growth when asked. Also built into the Windows backend's tests.
#include "platform/toolkit_heap.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Index of the first byte in [from, to) that is not zero, or -1.
long FirstNonZero(const void* block, uint32_t from, uint32_t to) {
  const unsigned char* bytes = static_cast<const unsigned char*>(block);
  for (uint32_t i = from; i < to; ++i) {
    if (bytes[i] != 0) return long(i);
  }
  return -1;
}

void FillPattern(void* block, uint32_t bytes) {
  unsigned char* data = static_cast<unsigned char*>(block);
  for (uint32_t i = 0; i < bytes; ++i) data[i] = static_cast<unsigned char>(i * 7 + 1);
}

// Index of the first byte in [0, bytes) that lost the pattern, or -1.
long FirstBroken(const void* block, uint32_t bytes) {
  const unsigned char* data = static_cast<const unsigned char*>(block);
  for (uint32_t i = 0; i < bytes; ++i) {
    if (data[i] != static_cast<unsigned char>(i * 7 + 1)) return long(i);
  }
  return -1;
}

}  // namespace

TEST(ToolkitHeap, AllocationZeroFillsWhenAskedAndKnowsItsSize) {
  // A small block, and a large one as a big tree's chunks are (placed apart on Linux).
  for (const uint32_t size : {4096u, 5u << 20}) {
    // Dirty the heap first, so a zero-filled block cannot be zero by chance of fresh pages.
    for (int round = 0; round < 4; ++round) {
      void* dirty = SysHeapAlloc(size, false);
      ASSERT_NE(dirty, nullptr) << size << " bytes";
      std::memset(dirty, 0xAB, size);
      SysHeapFree(dirty);
    }
    void* block = SysHeapAlloc(size, true);
    ASSERT_NE(block, nullptr) << size << " bytes";
    EXPECT_EQ(FirstNonZero(block, 0, size), -1)
        << "a zero-filled block of " << size << " bytes holds a non-zero byte";
    EXPECT_GE(SysHeapSize(block), size) << "the size is smaller than what was asked";
    FillPattern(block, size);
    block = SysHeapRealloc(block, size + 4096, true);
    ASSERT_NE(block, nullptr) << "growing " << size << " bytes failed";
    EXPECT_EQ(FirstBroken(block, size), -1) << "growing " << size << " bytes lost them";
    EXPECT_EQ(FirstNonZero(block, size, size + 4096), -1) << "the growth was not zero-filled";
    SysHeapFree(block);
  }
  void* zeroed = SysHeapAlloc(4096, true);
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(FirstNonZero(zeroed, 0, 4096), -1) << "a zero-filled block holds a non-zero byte";
  EXPECT_GE(SysHeapSize(zeroed), 4096u) << "the size is smaller than what was asked";

  void* plain = SysHeapAlloc(100, false);
  ASSERT_NE(plain, nullptr);
  EXPECT_NE(plain, zeroed);
  EXPECT_GE(SysHeapSize(plain), 100u);
  FillPattern(plain, 100);
  EXPECT_EQ(FirstBroken(plain, 100), -1) << "the block is not fully writable";
  EXPECT_EQ(FirstNonZero(zeroed, 0, 4096), -1) << "writing one block changed another";

  EXPECT_EQ(SysHeapSize(nullptr), 0u) << "a null block has no size";
  SysHeapFree(nullptr);  // must be harmless
  SysHeapFree(plain);
  SysHeapFree(zeroed);
}

TEST(ToolkitHeap, ReallocationKeepsTheBytesAndZeroFillsGrowthWhenAsked) {
  EXPECT_EQ(SysHeapRealloc(nullptr, 16, true), nullptr) << "a null block must not be resized";

  void* block = SysHeapAlloc(40, false);
  ASSERT_NE(block, nullptr);
  FillPattern(block, 40);
  // Dirty freed memory that the grown block may take over.
  void* dirty = SysHeapAlloc(100000, false);
  ASSERT_NE(dirty, nullptr);
  std::memset(dirty, 0xCD, 100000);
  SysHeapFree(dirty);

  const uint32_t grown = 100000 + 40;
  block = SysHeapRealloc(block, grown, true);
  ASSERT_NE(block, nullptr) << "growing failed";
  EXPECT_GE(SysHeapSize(block), grown) << "the grown block is too small";
  EXPECT_EQ(FirstBroken(block, 40), -1) << "growing lost the old contents";
  EXPECT_EQ(FirstNonZero(block, 40, grown), -1) << "the growth was not zero-filled";

  block = SysHeapRealloc(block, 24, false);
  ASSERT_NE(block, nullptr) << "shrinking failed";
  EXPECT_GE(SysHeapSize(block), 24u);
  EXPECT_LT(SysHeapSize(block), grown) << "shrinking did not lower the size";
  EXPECT_EQ(FirstBroken(block, 24), -1) << "shrinking lost the kept contents";

  block = SysHeapRealloc(block, 64, false);
  ASSERT_NE(block, nullptr);
  EXPECT_GE(SysHeapSize(block), 64u);
  EXPECT_EQ(FirstBroken(block, 24), -1) << "growing without zero fill lost the old contents";
  SysHeapFree(block);
}
