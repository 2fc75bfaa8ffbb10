// Toolkit runtime: nested start and stop, the counting allocator, slots,
// the module registry and the cursor pair.
#include "ui/toolkit_runtime.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "base/path_buffer.h"
#include "platform/headless/headless_desktop.h"

namespace {

int instanceToken = 0;  // stands in for the program's instance handle

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::ResetDesktop();
    ASSERT_EQ(GetToolkitContext(), nullptr) << "a previous test left the toolkit started";
  }
  void TearDown() override {
    while (GetToolkitContext()) ToolkitStop();
  }
};

PathBuffer PathOf(const char* text) {
  PathBuffer path;
  EXPECT_TRUE(path.Set(text));
  return path;
}

TEST_F(RuntimeTest, NestedStartsOnlyCountAndOuterStopCloses) {
  EXPECT_FALSE(ToolkitStop()) << "a stop without a start must fail";
  ASSERT_TRUE(ToolkitStart(&instanceToken, true));
  DisplayState* display = GetDisplayState();
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(display->platform, 1u) << "headless reports the NT family";
  EXPECT_GE(display->processorCount, 1u);
  EXPECT_EQ(display->bitsPerPixel, 24u);
  EXPECT_EQ(FindModuleHandle(kProgramModuleId), &instanceToken)
      << "the program's module was not registered";
  PathBuffer own;
  ASSERT_TRUE(GetModulePath(kProgramModuleId, &own));
  PathBuffer expected;
  ASSERT_TRUE(expected.SetInProgramFolder(nullptr));
  EXPECT_STREQ(own.path, expected.path) << "module path is not the program file";

  ASSERT_TRUE(ToolkitStart(&instanceToken, true)) << "nested start";
  EXPECT_EQ(GetToolkitContext()->refCount, 2u);
  EXPECT_EQ(GetDisplayState(), display) << "a nested start must not make a new display state";
  EXPECT_EQ(GetModuleCount(), 1u) << "a nested start must not register the module again";

  EXPECT_EQ(headless::OpenVideoDrawHandles(), 1) << "only the outer start opens video drawing";
  ASSERT_TRUE(ToolkitStop());
  ASSERT_NE(GetToolkitContext(), nullptr) << "inner stop destroyed the context";
  EXPECT_EQ(headless::OpenVideoDrawHandles(), 1) << "inner stop closed video drawing";
  EXPECT_NE(GetDisplayState()->videoDraw, nullptr);
  EXPECT_EQ(FindModuleHandle(kProgramModuleId), &instanceToken)
      << "inner stop unregistered the program module";
  ASSERT_TRUE(ToolkitStop());
  EXPECT_EQ(GetToolkitContext(), nullptr) << "outer stop left the context";
  EXPECT_EQ(GetDisplayState(), nullptr);
  EXPECT_EQ(FindModuleHandle(kProgramModuleId), nullptr);
  EXPECT_EQ(headless::OpenVideoDrawHandles(), 0) << "outer stop must close video drawing";
  ASSERT_TRUE(ToolkitStart(nullptr, false));
  EXPECT_EQ(GetDisplayState()->videoDraw, nullptr) << "not asked for: no handle";
  EXPECT_EQ(GetModuleCount(), 0u) << "no instance: no module";
}

TEST_F(RuntimeTest, AllocatorCountsExactlyAndNeverGoesNegative) {
  // Without a context the allocator still works and counts nothing.
  void* early = ToolkitAlloc(40, true);
  ASSERT_NE(early, nullptr);
  EXPECT_EQ(ToolkitSize(early), 40u);

  ASSERT_TRUE(ToolkitStart(nullptr, false));
  ToolkitContext* context = GetToolkitContext();
  EXPECT_EQ(context->bytesInUse, 0);

  char* block = static_cast<char*>(ToolkitAlloc(100, true));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(block[i], 0) << "zero-fill missing at " << i;
  EXPECT_EQ(ToolkitSize(block), 100u);
  EXPECT_EQ(context->bytesInUse, 100);
  EXPECT_EQ(context->peakBytes, 100u);

  std::memset(block, 'x', 100);
  block = static_cast<char*>(ToolkitRealloc(block, 300, true));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[99], 'x') << "realloc lost the old contents";
  EXPECT_EQ(block[100], 0) << "grown part not zero-filled";
  EXPECT_EQ(block[299], 0) << "grown part not zero-filled";
  EXPECT_EQ(context->bytesInUse, 300);
  block = static_cast<char*>(ToolkitRealloc(block, 50, false));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(context->bytesInUse, 50) << "shrinking must lower the count";
  EXPECT_EQ(context->peakBytes, 300u) << "peak must keep the highest value";

  EXPECT_EQ(ToolkitRealloc(nullptr, 10, false), nullptr) << "realloc of null must yield null";
  EXPECT_EQ(context->bytesInUse, 50) << "realloc of null allocated something";

  ToolkitFree(block);
  ToolkitFree(nullptr);
  EXPECT_EQ(context->bytesInUse, 0);
  // A block from before the start was never counted: freeing it must not go below 0.
  ToolkitFree(early);
  EXPECT_EQ(context->bytesInUse, 0) << "bytesInUse went negative";
  EXPECT_TRUE(ToolkitStop());
}

int overBudgetCalls = 0;
int32_t lastExcess = 0;
bool OnOverBudget(int32_t excess) {
  overBudgetCalls++;
  lastExcess = excess;
  return false;
}

TEST_F(RuntimeTest, AllocatorCountsBlocksOfOtherThreadsToo) {
  // A scene is read on a worker thread while the window thread allocates: no update may be lost.
  ASSERT_TRUE(ToolkitStart(nullptr, false));
  ToolkitContext* context = GetToolkitContext();
  auto churn = [] {
    for (int i = 0; i < 20000; ++i) {
      void* block = ToolkitAlloc(uint32_t(16 + i % 64), false);
      ToolkitFree(block);
    }
  };
  void* held = ToolkitAlloc(1000, false);
  std::thread worker(churn);
  churn();
  worker.join();
  EXPECT_EQ(context->bytesInUse, 1000) << "the count lost updates of one thread";
  EXPECT_GE(context->peakBytes, 1000u);
  ToolkitFree(held);
  EXPECT_EQ(context->bytesInUse, 0);
  ToolkitStop();
}

TEST_F(RuntimeTest, BudgetCallbackHearsTheExcessButAllocationGoesAhead) {
  ToolkitOptions options{};
  options.budget = 100;
  options.overBudget = &OnOverBudget;
  overBudgetCalls = 0;
  ASSERT_TRUE(ToolkitStart(nullptr, false, &options));
  void* a = ToolkitAlloc(80, false);
  EXPECT_EQ(overBudgetCalls, 0) << "within budget";
  void* b = ToolkitAlloc(50, false);
  ASSERT_NE(b, nullptr) << "allocation over budget must still succeed";
  EXPECT_EQ(overBudgetCalls, 1);
  EXPECT_EQ(lastExcess, 30);
  b = ToolkitRealloc(b, 60, false);  // growth of 10 while 130 in use
  EXPECT_EQ(overBudgetCalls, 2);
  EXPECT_EQ(lastExcess, 40);
  ToolkitFree(a);
  ToolkitFree(b);
  EXPECT_EQ(GetToolkitContext()->bytesInUse, 0);
}

TEST_F(RuntimeTest, SlotsClaimSetGetRelease) {
  EXPECT_FALSE(ClaimSlot(3)) << "slots need a context";
  ASSERT_TRUE(ToolkitStart(nullptr, false));
  int value = 0;
  EXPECT_EQ(GetSlot(32), nullptr);
  EXPECT_FALSE(ClaimSlot(32)) << "index 32 is out of range";
  EXPECT_FALSE(SetSlot(5, &value)) << "SetSlot on an unclaimed slot must fail";
  EXPECT_TRUE(ClaimSlot(5));
  EXPECT_TRUE(IsSlotClaimed(5));
  EXPECT_FALSE(ClaimSlot(5)) << "claiming a claimed slot must fail";
  EXPECT_EQ(GetSlot(5), nullptr);
  EXPECT_TRUE(SetSlot(5, &value));
  EXPECT_EQ(GetSlot(5), &value);
  EXPECT_TRUE(ReleaseSlot(5));
  EXPECT_FALSE(IsSlotClaimed(5));
  EXPECT_EQ(GetSlot(5), nullptr) << "release must clear the value";
  EXPECT_TRUE(ClaimSlot(5)) << "a released slot can be claimed again";
  EXPECT_EQ(GetSlot(5), nullptr) << "a reclaimed slot must start empty";
}

TEST_F(RuntimeTest, ModuleRegistryKeepsOrderAfterUnregister) {
  ASSERT_TRUE(ToolkitStart(nullptr, false));
  int a = 0, b = 0, c = 0;
  PathBuffer pa = PathOf("C:\\a.dll"), pb = PathOf("C:\\b.dll"), pc = PathOf("C:\\c.dll");
  EXPECT_FALSE(RegisterModule(nullptr, 1, &pa)) << "null handle";
  EXPECT_FALSE(RegisterModule(&a, 1, nullptr)) << "null path";
  ASSERT_TRUE(RegisterModule(&a, 1, &pa));
  ASSERT_TRUE(RegisterModule(&b, 2, &pb));
  ASSERT_TRUE(RegisterModule(&c, 3, &pc));
  EXPECT_FALSE(RegisterModule(&b, 2, &pb)) << "duplicate (handle, id) must fail";
  EXPECT_TRUE(RegisterModule(&b, 4, &pb)) << "same handle under another id is allowed";
  EXPECT_EQ(GetModuleCount(), 4u);
  int64_t held = GetToolkitContext()->bytesInUse;
  EXPECT_EQ(held, int64_t(4 * sizeof(PathBuffer))) << "paths are copies from the allocator";

  ASSERT_TRUE(UnregisterModule(2));
  EXPECT_FALSE(UnregisterModule(2)) << "already gone";
  DisplayState* display = GetDisplayState();
  ASSERT_EQ(GetModuleCount(), 3u);
  EXPECT_EQ(display->modules[0].handle, &a);
  EXPECT_EQ(display->modules[1].handle, &c) << "later entries must move forward in order";
  EXPECT_EQ(display->modules[2].id, 4u);
  EXPECT_EQ(display->modules[3].handle, nullptr) << "the last used entry must be cleared";
  PathBuffer out;
  ASSERT_TRUE(GetModulePath(3, &out));
  EXPECT_STREQ(out.path, "C:\\c.dll");
  EXPECT_FALSE(GetModulePath(2, &out));

  ASSERT_TRUE(ToolkitStop());
}

TEST_F(RuntimeTest, ModuleRegistryRefusesThe257thEntry) {
  ASSERT_TRUE(ToolkitStart(nullptr, false));
  static char handles[kModuleCapacity + 1];
  PathBuffer path = PathOf("C:\\m.dll");
  for (uint32_t i = 0; i < kModuleCapacity; ++i) {
    ASSERT_TRUE(RegisterModule(&handles[i], 7, &path)) << "entry " << i;
  }
  EXPECT_FALSE(RegisterModule(&handles[kModuleCapacity], 7, &path)) << "registry is full";
  // The outer stop frees every remaining entry: nothing may be left behind.
  ASSERT_TRUE(ToolkitStart(nullptr, false));
  ASSERT_TRUE(ToolkitStop());
  EXPECT_GT(GetToolkitContext()->bytesInUse, 0);
  ASSERT_TRUE(ToolkitStop());
}

TEST_F(RuntimeTest, CursorHideAndShowCallThePlatformOnlyOnChange) {
  ASSERT_TRUE(ToolkitStart(nullptr, false));
  HideCursor();
  HideCursor();
  EXPECT_FALSE(headless::CursorVisible());
  EXPECT_EQ(headless::CursorCalls(), 1) << "a second hide must not call the platform";
  EXPECT_EQ(GetDisplayState()->cursorHidden, -1);
  UnhideCursor();
  UnhideCursor();
  EXPECT_TRUE(headless::CursorVisible()) << "cursor count unbalanced";
  EXPECT_EQ(headless::CursorCalls(), 2);
  HideCursor();
  ASSERT_TRUE(ToolkitStop());
  EXPECT_TRUE(headless::CursorVisible()) << "the last stop must give the cursor back";
}

int idleCalls = 0;
bool idleReentered = false;
bool inIdle = false;
void Idle(void*, int, int) {
  if (inIdle) idleReentered = true;
  inIdle = true;
  idleCalls++;
  CallIdleHook(nullptr, 0, 0);  // must not re-enter
  inIdle = false;
}

TEST_F(RuntimeTest, IdleHookIsNeverEnteredTwice) {
  ASSERT_TRUE(ToolkitStart(nullptr, false));
  ASSERT_TRUE(SetIdleHook(&Idle));
  idleCalls = 0;
  CallIdleHook(nullptr, 1, 2);
  EXPECT_EQ(idleCalls, 1);
  EXPECT_FALSE(idleReentered) << "idle hook entered twice";
  ASSERT_TRUE(ToolkitStop());
  EXPECT_FALSE(SetIdleHook(&Idle)) << "no display state after stop";
}

}  // namespace
