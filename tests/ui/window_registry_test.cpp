// Window registry: registration, the open/close/closing sequences, parents,
// limits and the registry's own life.
#include "ui/window_registry.h"

#include <gtest/gtest.h>

#include "platform/gui_window.h"
#include "tests/ui/toolkit_fixture.h"
#include "ui/message_loop.h"

namespace {

using platform::kEventCloseRequest;
using platform::kEventClosing;
using platform::kEventOpen;

class WindowRegistryTest : public ToolkitTest {};

TEST_F(WindowRegistryTest, AcquireAndReleaseCountUses) {
  ASSERT_NE(GetWindowRegistry(), nullptr);
  EXPECT_TRUE(IsSlotClaimed(kWindowRegistrySlot)) << "registry lives in slot 31";
  ASSERT_TRUE(AcquireWindowRegistry());
  ASSERT_TRUE(ReleaseWindowRegistry());
  EXPECT_NE(GetWindowRegistry(), nullptr) << "one use is still held";
  ASSERT_TRUE(ReleaseWindowRegistry());
  EXPECT_EQ(GetWindowRegistry(), nullptr);
  EXPECT_FALSE(IsSlotClaimed(kWindowRegistrySlot)) << "slot 31 not released";
  EXPECT_FALSE(ReleaseWindowRegistry()) << "releasing a missing registry must fail";
  EXPECT_EQ(GetToolkitContext()->bytesInUse, 0);
  ASSERT_TRUE(AcquireWindowRegistry()) << "a new registry after the old one went";
}

TEST_F(WindowRegistryTest, AttachSendsOpenAndRefusesBadRequests) {
  void* window = CreateToolkitWindow(nullptr, 0, 0, 100, 50, 4);
  ASSERT_NE(window, nullptr);
  int data = 7;
  EXPECT_FALSE(AttachWindow(nullptr, nullptr, &EventRecorder::Callback, &data, -1, false));
  EXPECT_FALSE(AttachWindow(window, nullptr, nullptr, &data, -1, false)) << "null callback";
  ASSERT_TRUE(AttachWindow(window, nullptr, &EventRecorder::Callback, &data, -1, false));
  EXPECT_FALSE(AttachWindow(window, nullptr, &EventRecorder::Callback, &data, -1, false))
      << "duplicate registration must fail";
  ASSERT_EQ(recorder.events.size(), 1u) << "exactly one open event";
  const SeenEvent& open = recorder.events[0];
  EXPECT_EQ(open.code, kEventOpen);
  EXPECT_EQ(open.event.window, window);
  EXPECT_EQ(open.event.userData, &data);
  EXPECT_EQ(GetUserData(window), &data);
  WindowRecord* record = FindWindowRecord(window);
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record->active);
  EXPECT_FALSE(record->closing);
  EXPECT_EQ(record->lastTick, 0u);
  EXPECT_EQ(GetWindowCount(), 1u);
  EXPECT_FALSE(headless::IsVisible(window)) << "only the callback shows a window";
}

TEST_F(WindowRegistryTest, OpenAnsweredWithOneLeavesWindowUnregistered) {
  void* window = CreateToolkitWindow(nullptr, 0, 0, 100, 50, 4);
  recorder.destroyOnClosing = false;
  recorder.actions[{window, kEventOpen}] = [](ToolkitEvent*) { return uint8_t(1); };
  EXPECT_FALSE(AttachWindow(window, nullptr, &EventRecorder::Callback, nullptr, -1, false));
  EXPECT_EQ(recorder.CodesFor(window), (std::vector<int32_t>{kEventOpen, kEventClosing}))
      << "a refused open must be followed by the closing event";
  EXPECT_EQ(GetWindowCount(), 0u);
  EXPECT_TRUE(headless::IsLive(window)) << "detaching must not destroy the window";
  EXPECT_TRUE(DestroyToolkitWindow(window));
}

TEST_F(WindowRegistryTest, WindowShownDuringOpenIsPaintedOnceAttached) {
  void* window = CreateToolkitWindow(nullptr, 0, 0, 100, 50, 4);
  // Like the main window: the open event shows and updates the window.
  recorder.actions[{window, kEventOpen}] = [window](ToolkitEvent*) {
    ShowToolkitWindow(window);
    UpdateToolkitWindow(window);
    return uint8_t(0);
  };
  ASSERT_TRUE(AttachWindow(window, nullptr, &EventRecorder::Callback, nullptr, -1, false));
  EXPECT_EQ(recorder.CodesFor(window), (std::vector<int32_t>{kEventOpen, platform::kEventPaint}))
      << "no paint before the open is accepted, one paint right after";
  EXPECT_TRUE(headless::IsVisible(window));
  EXPECT_FALSE(headless::HasUpdateRegion(window));
}

TEST_F(WindowRegistryTest, CloseRequestDetachesAndCallbackDestroys) {
  void* window = OpenWindow();
  ASSERT_TRUE(headless::RequestClose(window));
  EXPECT_TRUE(RunMessageLoop()) << "the loop had a window to run";
  EXPECT_EQ(recorder.CodesFor(window),
            (std::vector<int32_t>{kEventOpen, kEventCloseRequest, kEventClosing}))
      << "open, close request, closing (a hidden window gets no paint); the destroy of an "
         "unregistered window is ignored";
  EXPECT_EQ(GetWindowCount(), 0u);
  EXPECT_FALSE(headless::IsLive(window)) << "the callback destroyed the window";
}

TEST_F(WindowRegistryTest, CloseRequestAnsweredWithOneKeepsWindow) {
  void* window = OpenWindow();
  recorder.actions[{window, kEventCloseRequest}] = [](ToolkitEvent*) { return uint8_t(1); };
  ASSERT_TRUE(headless::RequestClose(window));
  platform::PumpWindowMessages(window, true);
  EXPECT_EQ(GetWindowCount(), 1u) << "answer 1 keeps the window registered";
  EXPECT_EQ(recorder.Count(window, kEventClosing), 0);
  EXPECT_TRUE(DetachWindow(window));
  EXPECT_EQ(recorder.Count(window, kEventClosing), 1);
}

TEST_F(WindowRegistryTest, ChildrenAreDetachedBeforeTheirParent) {
  void* parent = OpenWindow();
  void* child1 = OpenWindow(parent);
  void* other = OpenWindow();
  void* child2 = OpenWindow(parent);
  void* grandchild = OpenWindow(child2);
  recorder.events.clear();
  ASSERT_TRUE(DetachWindow(parent));
  std::vector<void*> closingOrder;
  for (const SeenEvent& seen : recorder.events) {
    if (seen.code == kEventClosing) closingOrder.push_back(seen.window);
  }
  EXPECT_EQ(closingOrder, (std::vector<void*>{child1, grandchild, child2, parent}))
      << "every window registered with the parent closes first, depth first";
  EXPECT_EQ(GetWindowCount(), 1u);
  EXPECT_EQ(GetWindowAt(0), other);
  EXPECT_FALSE(DetachWindow(parent)) << "already detached";
  EXPECT_FALSE(DetachWindow(nullptr));
}

TEST_F(WindowRegistryTest, SelfParentAndCyclesDoNotRecurseForever) {
  void* a = CreateToolkitWindow(nullptr, 0, 0, 10, 10, 0);
  void* b = CreateToolkitWindow(nullptr, 0, 0, 10, 10, 0);
  ASSERT_TRUE(AttachWindow(a, b, &EventRecorder::Callback, nullptr, -1, false));
  ASSERT_TRUE(AttachWindow(b, a, &EventRecorder::Callback, nullptr, -1, false));
  void* self = CreateToolkitWindow(nullptr, 0, 0, 10, 10, 0);
  ASSERT_TRUE(AttachWindow(self, self, &EventRecorder::Callback, nullptr, -1, false));
  ASSERT_TRUE(DetachWindow(a));
  EXPECT_EQ(recorder.Count(a, kEventClosing), 1);
  EXPECT_EQ(recorder.Count(b, kEventClosing), 1);
  ASSERT_TRUE(DetachWindow(self));
  EXPECT_EQ(recorder.Count(self, kEventClosing), 1);
  EXPECT_EQ(GetWindowCount(), 0u);
}

TEST_F(WindowRegistryTest, GetWindowAtClampsAndIsNullWhenEmpty) {
  EXPECT_EQ(GetWindowAt(0), nullptr) << "no window registered";
  EXPECT_EQ(GetWindowAt(5), nullptr);
  void* first = OpenWindow();
  void* second = OpenWindow();
  EXPECT_EQ(GetWindowAt(0), first);
  EXPECT_EQ(GetWindowAt(1), second);
  EXPECT_EQ(GetWindowAt(5), second) << "an index past the end gives the last window";
}

TEST_F(WindowRegistryTest, AHundredWindowsAtMost) {
  std::vector<void*> windows;
  for (uint32_t i = 0; i < kMaxRegisteredWindows; ++i) {
    void* window = CreateToolkitWindow(nullptr, 0, 0, 10, 10, 0);
    ASSERT_TRUE(AttachWindow(window, nullptr, &EventRecorder::Callback, nullptr, -1, false))
        << "window " << i;
  }
  void* extra = CreateToolkitWindow(nullptr, 0, 0, 10, 10, 0);
  EXPECT_FALSE(AttachWindow(extra, nullptr, &EventRecorder::Callback, nullptr, -1, false))
      << "the 101st registration must fail";
  EXPECT_EQ(GetWindowCount(), kMaxRegisteredWindows);
}

TEST_F(WindowRegistryTest, DisableParentWhileRegisteredAndReenableOnDestroy) {
  void* parent = OpenWindow();
  void* dialog = CreateToolkitWindow(parent, 0, 0, 50, 50, 2);
  ASSERT_TRUE(AttachWindow(dialog, parent, &EventRecorder::Callback, nullptr, -1, true));
  WindowRecord* record = FindWindowRecord(dialog);
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record->parentWasEnabled);
  EXPECT_FALSE(headless::IsEnabled(parent)) << "the parent must be disabled";
  ASSERT_TRUE(DetachWindow(dialog));  // the recorder destroys it on closing
  EXPECT_FALSE(headless::IsLive(dialog));
  EXPECT_TRUE(headless::IsEnabled(parent)) << "destroying the dialog must re-enable the parent";
}

TEST_F(WindowRegistryTest, DestroyingARegisteredWindowUnregistersIt) {
  void* window = OpenWindow();
  recorder.destroyOnClosing = false;
  ASSERT_TRUE(DestroyToolkitWindow(window));
  EXPECT_EQ(GetWindowCount(), 0u) << "the destroy notice must detach the window";
  EXPECT_EQ(recorder.CodesFor(window).back(), kEventClosing);
}

TEST_F(WindowRegistryTest, ReleasingTheRegistryDetachesEveryWindow) {
  void* a = OpenWindow();
  void* b = OpenWindow();
  ASSERT_TRUE(ReleaseWindowRegistry());
  EXPECT_EQ(recorder.Count(a, kEventClosing), 1);
  EXPECT_EQ(recorder.Count(b, kEventClosing), 1) << "every remaining window gets closing";
  EXPECT_EQ(GetToolkitContext()->bytesInUse, 0) << "records leaked with the registry";
}

}  // namespace
