// The headless desktop itself: frames, the wait call and its timeline, the
// queue, destruction and reset, as the toolkit and the tests rely on them.
#include "platform/headless/headless_desktop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui_controls.h"
#include "platform/gui_dialogs.h"
#include "platform/gui_events.h"
#include "platform/gui_window.h"

namespace {

std::vector<platform::PlatformEvent> seen;
std::vector<std::string> droppedNames;
intptr_t Record(platform::PlatformEvent* event) {
  seen.push_back(*event);
  for (int i = 0; i < event->dropCount; ++i) droppedNames.push_back(event->dropNames[i]);
  return 0;
}

class HeadlessDesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::ResetDesktop();
    seen.clear();
    droppedNames.clear();
    platform::SetEventHandler(&Record);
  }
  void TearDown() override {
    headless::ResetDesktop();
    platform::SetEventHandler(nullptr);
  }
};

TEST_F(HeadlessDesktopTest, FrameInsetsFollowTheStyle) {
  platform::Rect rect{0, 0, 100, 50};
  ASSERT_TRUE(platform::AdjustRectForStyle(0x86CB0000, &rect));
  EXPECT_EQ(rect.left, -3);
  EXPECT_EQ(rect.top, -26);
  EXPECT_EQ(rect.right, 103);
  EXPECT_EQ(rect.bottom, 53);
  rect = {0, 0, 100, 50};
  ASSERT_TRUE(platform::AdjustRectForStyle(0x86800000, &rect));
  EXPECT_EQ(rect.left, -1) << "a plain border is 1 px";
  EXPECT_EQ(rect.bottom, 51);
  rect = {0, 0, 100, 50};
  ASSERT_TRUE(platform::AdjustRectForStyle(0x86000000, &rect));
  EXPECT_EQ(rect.left, 0) << "a pop-up has no frame";
  EXPECT_EQ(rect.bottom, 50);
}

TEST_F(HeadlessDesktopTest, WaitMovesTheClockToScriptedInputOrByItsTimeout) {
  uint32_t t0 = headless::Now();
  EXPECT_EQ(t0, headless::kClockStart);
  platform::WaitForMessages(25);
  EXPECT_EQ(headless::Now(), t0 + 25) << "nothing scripted: the timeout passes";
  headless::ScheduleMove(t0 + 40, 5, 6);
  headless::ScheduleButton(t0 + 40, 0, true);
  headless::ScheduleButton(t0 + 500, 0, false);
  platform::WaitForMessages(100);
  EXPECT_EQ(headless::Now(), t0 + 40) << "the wait ends at the next scripted input";
  EXPECT_EQ(headless::Pointer(), std::make_pair(5, 6));
  EXPECT_TRUE(platform::IsMouseButtonDown(0)) << "both steps at the same time apply together";
  platform::WaitForMessages(10);
  EXPECT_EQ(headless::Now(), t0 + 50) << "a step beyond the timeout waits for later";
  EXPECT_TRUE(platform::IsMouseButtonDown(0));
  platform::WaitForMessages(platform::kWaitForever);
  EXPECT_EQ(headless::Now(), t0 + 500);
  EXPECT_FALSE(platform::IsMouseButtonDown(0));
  EXPECT_EQ(headless::ScheduledSteps(), 0);
  EXPECT_EQ(headless::Counters().waits, 4u);
  EXPECT_EQ(headless::Counters().waitedMs, 500u);
}

TEST_F(HeadlessDesktopTest, OnlyNewInputEndsAWaitAtOnce) {
  void* window = platform::CreateFrameWindow(nullptr, 0x86CB0000);
  ASSERT_TRUE(headless::RequestClose(window));
  uint32_t t0 = headless::Now();
  platform::WaitForMessages(30);
  EXPECT_EQ(headless::Now(), t0) << "new input ends the wait at once";
  EXPECT_TRUE(platform::HasPendingMessages());
  platform::WaitForMessages(30);
  EXPECT_EQ(headless::Now(), t0 + 30) << "input already seen does not end a wait (WaitMessage)";
  EXPECT_TRUE(seen.empty()) << "waiting must not dispatch";
  platform::PumpThreadMessages();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].code, platform::kEventCloseRequest);
  EXPECT_EQ(seen[0].window, window);
  EXPECT_FALSE(platform::HasPendingMessages());
}

TEST_F(HeadlessDesktopTest, PumpingAWindowLeavesOtherWindowsInput) {
  void* a = platform::CreateFrameWindow(nullptr, 0x86CB0000);
  void* b = platform::CreateFrameWindow(nullptr, 0x86CB0000);
  headless::RequestClose(a);
  headless::RequestClose(b);
  ASSERT_TRUE(platform::PumpWindowMessages(b, true));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].window, b);
  EXPECT_EQ(headless::QueuedEvents(), 1);
  EXPECT_FALSE(platform::PumpWindowMessages(nullptr, true));
  EXPECT_EQ(headless::Counters().windowPumps, 2u);
}

TEST_F(HeadlessDesktopTest, DestroyingSendsADestroyNoticeAndTakesControlsAndOwnedWindows) {
  void* owner = platform::CreateFrameWindow(nullptr, 0x86CB0000);
  void* owned = platform::CreateFrameWindow(owner, 0x86000000);
  void* button = platform::CreateChildControl(owner, platform::ControlClass::kButton, 0x50810000,
                                              {0, 0, 10, 10}, "B");
  ASSERT_TRUE(platform::FocusNativeWindow(button));
  headless::RequestClose(owned);
  ASSERT_TRUE(platform::DestroyNativeWindow(owner));
  EXPECT_FALSE(headless::IsLive(owner));
  EXPECT_FALSE(headless::IsLive(owned)) << "owned windows go with their owner";
  EXPECT_FALSE(headless::IsLive(button)) << "controls go with their parent";
  EXPECT_EQ(platform::GetFocusedWindow(), nullptr) << "focus must not name a dead control";
  EXPECT_EQ(headless::QueuedEvents(), 0) << "input for dead windows is dropped";
  ASSERT_EQ(seen.size(), 2u) << "one destroy notice per top-level window";
  EXPECT_EQ(seen[0].window, owned) << "the owned window is destroyed first";
  EXPECT_EQ(seen[0].code, platform::kEventCloseRequest);
  EXPECT_EQ(seen[1].window, owner);
  EXPECT_FALSE(platform::DestroyNativeWindow(owner)) << "a dead handle must fail safely";
  EXPECT_FALSE(platform::ShowNativeWindow(owner, true));
  EXPECT_FALSE(platform::SetControlText(button, "x"));
}

TEST_F(HeadlessDesktopTest, HiddenWindowsAreNotPaintedUntilShown) {
  void* window = platform::CreateFrameWindow(nullptr, 0x86CB0000);
  ASSERT_TRUE(platform::MoveNativeWindow(window, 0, 0, 106, 129, false));
  ASSERT_TRUE(platform::InvalidateNativeWindow(window, nullptr, true));
  EXPECT_FALSE(platform::HasPendingMessages()) << "a hidden window has no pending paint";
  ASSERT_TRUE(platform::ShowNativeWindow(window, true));
  EXPECT_TRUE(platform::HasPendingMessages());
  platform::PumpThreadMessages();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].code, platform::kEventPaint);
  EXPECT_FALSE(headless::HasUpdateRegion(window))
      << "an unanswered paint is validated by the default handling";
  platform::Rect client{};
  ASSERT_TRUE(platform::GetClientArea(window, &client));
  EXPECT_EQ(client.right, 100);
  EXPECT_EQ(client.bottom, 100);
}

TEST_F(HeadlessDesktopTest, DropsNeedAcceptingWindows) {
  void* window = platform::CreateFrameWindow(nullptr, 0x86CB0000);
  EXPECT_FALSE(headless::DropFiles(window, 0, 0, {"Z:\\a.krn"})) << "drops not accepted yet";
  ASSERT_TRUE(platform::AcceptDroppedFiles(window, true));
  ASSERT_TRUE(headless::DropFiles(window, 1, 2, {"Z:\\a.krn", "Z:\\b.krn"}));
  platform::PumpThreadMessages();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].dropCount, 2);
  EXPECT_EQ(droppedNames, (std::vector<std::string>{"Z:\\a.krn", "Z:\\b.krn"}));
  EXPECT_EQ(seen[0].x, 1);
  EXPECT_EQ(seen[0].y, 2);
}

TEST_F(HeadlessDesktopTest, ResetForgetsEverything) {
  platform::CreateFrameWindow(nullptr, 0x86CB0000);
  headless::AdvanceClock(50);
  headless::SetScreenSize(640, 480);
  headless::QueueFileAnswer("C:\\x");
  headless::ScheduleAction(headless::Now() + 1, [] {});
  headless::SetButton(1, true);
  headless::ResetDesktop();
  EXPECT_TRUE(headless::AllWindows().empty());
  EXPECT_EQ(headless::Now(), headless::kClockStart);
  EXPECT_EQ(platform::GetScreenWidth(), 1024);
  EXPECT_EQ(platform::GetScreenHeight(), 768);
  EXPECT_EQ(headless::ScheduledSteps(), 0);
  EXPECT_FALSE(platform::IsMouseButtonDown(1));
  char path[platform::kFileDialogPathSize] = "";
  platform::FileDialogRequest request{};
  request.path = path;
  EXPECT_FALSE(platform::RunFileDialog(&request)) << "queued answers must be forgotten";
}

}  // namespace
