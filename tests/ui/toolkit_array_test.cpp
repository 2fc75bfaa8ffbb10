// ToolkitArray: init, growth rules, fixed capacity, shrinking and release.
#include "ui/toolkit_array.h"

#include <gtest/gtest.h>

#include "ui/toolkit_runtime.h"

namespace {

class ToolkitArrayTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(ToolkitStart(nullptr, false)); }
  void TearDown() override {
    EXPECT_EQ(GetToolkitContext()->bytesInUse, 0) << "array storage leaked";
    ToolkitStop();
  }
};

TEST_F(ToolkitArrayTest, GrowthStepAndDoublingCapacities) {
  ToolkitArray stepped;
  ASSERT_TRUE(stepped.Init(4, 0, 0, 16, true));
  EXPECT_EQ(stepped.capacity, 0u);
  EXPECT_EQ(stepped.data, nullptr);
  ASSERT_TRUE(stepped.Resize(17));
  EXPECT_EQ(stepped.capacity, 32u) << "step 16 from 0 to 17 must give 32";
  EXPECT_EQ(stepped.count, 17u);
  ASSERT_TRUE(stepped.Resize(32));
  EXPECT_EQ(stepped.capacity, 32u) << "no growth needed";
  ASSERT_TRUE(stepped.Resize(33));
  EXPECT_EQ(stepped.capacity, 48u);

  ToolkitArray doubling;
  ASSERT_TRUE(doubling.Init(4, 0, 3, 0, true));
  EXPECT_EQ(doubling.capacity, 3u);
  ASSERT_TRUE(doubling.Resize(7));
  EXPECT_EQ(doubling.capacity, 12u) << "doubling from 3 to reach 7 must give 12";

  ToolkitArray exact;
  ASSERT_TRUE(exact.Init(1, 0, 0, 0, true));
  ASSERT_TRUE(exact.Resize(5));
  EXPECT_EQ(exact.capacity, 5u) << "no step and no capacity: exactly n";
  EXPECT_EQ(GetToolkitContext()->bytesInUse, int32_t(48 * 4 + 12 * 4 + 5));
}

TEST_F(ToolkitArrayTest, ZeroFillShrinkAndRelease) {
  ToolkitArray array;
  ASSERT_TRUE(array.Init(4, 2, 2, 0, true));
  EXPECT_EQ(array.flags & ToolkitArray::kOwnsStorage, ToolkitArray::kOwnsStorage);
  EXPECT_EQ(array.flags & ToolkitArray::kZeroFill, ToolkitArray::kZeroFill);
  array.Items<int>()[0] = 11;
  array.Items<int>()[1] = 22;
  ASSERT_TRUE(array.Resize(9));
  EXPECT_EQ(array.Items<int>()[1], 22) << "growth lost data";
  for (uint32_t i = 2; i < array.capacity; ++i) {
    EXPECT_EQ(array.Items<int>()[i], 0) << "new storage not zero-filled at " << i;
  }
  uint32_t capacity = array.capacity;
  void* data = array.data;
  ASSERT_TRUE(array.Resize(1));
  EXPECT_EQ(array.count, 1u);
  EXPECT_EQ(array.capacity, capacity) << "shrinking must not free storage";
  EXPECT_EQ(array.data, data);
  EXPECT_EQ(array.At(1), nullptr) << "At past count";
  EXPECT_EQ(*static_cast<int*>(array.At(0)), 11);

  ASSERT_TRUE(array.SetCapacity(0));
  EXPECT_EQ(array.data, nullptr) << "capacity 0 frees the storage";
  EXPECT_EQ(array.count, 0u);
  EXPECT_EQ(GetToolkitContext()->bytesInUse, 0);
  ASSERT_TRUE(array.Resize(3));
  array.Release();
  EXPECT_EQ(array.count, 0u);
  EXPECT_EQ(array.capacity, 0u);
  EXPECT_EQ(array.flags, 0u);
  EXPECT_EQ(array.elementSize, 0u);
  EXPECT_EQ(array.data, nullptr);
}

TEST_F(ToolkitArrayTest, FixedCapacityNeverReallocates) {
  ToolkitArray array;
  ASSERT_TRUE(array.Init(2, 4, 4, 0, false));
  array.flags |= ToolkitArray::kFixedCapacity;
  void* data = array.data;
  EXPECT_FALSE(array.Resize(5)) << "a fixed array cannot grow";
  EXPECT_FALSE(array.SetCapacity(8));
  EXPECT_EQ(array.count, 4u);
  ASSERT_TRUE(array.SetCapacity(2));
  EXPECT_EQ(array.capacity, 2u);
  EXPECT_EQ(array.count, 2u) << "shrinking cuts count";
  EXPECT_EQ(array.data, data) << "a fixed array must keep its storage";
  ASSERT_TRUE(array.Resize(1));
}

TEST_F(ToolkitArrayTest, InitFailuresAndOverflow) {
  ToolkitArray array;
  EXPECT_FALSE(array.Init(4, 5, 2, 0, true)) << "capacity below count";
  EXPECT_EQ(array.data, nullptr);
  EXPECT_EQ(array.flags, 0u) << "a failed init leaves a released array";
  ASSERT_TRUE(array.Init(0x10000, 0, 0, 0, false));
  EXPECT_FALSE(array.Resize(0x10001)) << "byte size over 4 GiB must fail, not wrap";
  EXPECT_EQ(array.count, 0u);
  EXPECT_EQ(array.data, nullptr);
  ToolkitArray big;
  ASSERT_TRUE(big.Init(8, 0, 0, 0x1FFFFFFF, false));
  EXPECT_EQ(big.flags & ToolkitArray::kGrowthStepMask, 0x1FFFFFFFu);
}

TEST_F(ToolkitArrayTest, DestructorReleasesOwnedStorage) {
  {
    ToolkitArray array;
    ASSERT_TRUE(array.Init(4, 10, 10, 0, true));
    EXPECT_GT(GetToolkitContext()->bytesInUse, 0);
  }
  EXPECT_EQ(GetToolkitContext()->bytesInUse, 0) << "destructor leaked storage";
}

TEST_F(ToolkitArrayTest, ForeignStorageIsCopiedNeverFreed) {
  int outside[3] = {1, 2, 3};
  ToolkitArray array;
  array.elementSize = sizeof(int);
  array.data = outside;
  array.capacity = 3;
  array.count = 3;
  ASSERT_TRUE(array.Resize(5));
  EXPECT_NE(array.data, static_cast<void*>(outside)) << "foreign storage was reallocated";
  EXPECT_EQ(array.Items<int>()[2], 3) << "contents not carried over";
  EXPECT_TRUE(array.flags & ToolkitArray::kOwnsStorage);
  array.Release();
  EXPECT_EQ(outside[0], 1);
  ToolkitArray view;
  view.elementSize = sizeof(int);
  view.data = outside;
  view.capacity = 3;
  view.Release();  // must not free memory it does not own
  EXPECT_EQ(view.data, nullptr);
}

}  // namespace
