// The toolkit heap of the Win32 backend is KERNEL32's global heap with fixed blocks.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/toolkit_heap.h"

TEST(SystemWin32Heap, BlocksAreFixedGlobalMemory) {
  void* block = SysHeapAlloc(100, true);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalHandle(block), block) << "a fixed block is its own handle";
  EXPECT_EQ(SysHeapSize(block), GlobalSize(block)) << "the size is not GlobalSize's";
  EXPECT_EQ(GlobalFlags(block) & GMEM_DISCARDED, 0u);

  void* moved = SysHeapRealloc(block, 200000, true);
  ASSERT_NE(moved, nullptr) << "GlobalReAlloc refused to grow a fixed block";
  EXPECT_EQ(GlobalHandle(moved), moved) << "the grown block is no longer fixed";
  EXPECT_EQ(SysHeapSize(moved), GlobalSize(moved));
  SysHeapFree(moved);

  void* plain = SysHeapAlloc(10, false);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(GlobalHandle(plain), plain);
  SysHeapFree(plain);
}
