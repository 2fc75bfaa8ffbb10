// Events posted from another thread to the headless desktop: order, the wait they end,
// and windows that went away before the pump.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "platform/gui_events.h"
#include "platform/gui_window.h"
#include "platform/headless/headless_desktop.h"

namespace {

std::vector<platform::PlatformEvent> posted;
intptr_t RecordPosted(platform::PlatformEvent* event) {
  if (event->code == platform::kEventPosted) posted.push_back(*event);
  return 0;
}

class HeadlessPostedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::ResetDesktop();
    posted.clear();
    platform::SetEventHandler(&RecordPosted);
  }
  void TearDown() override {
    headless::ResetDesktop();
    platform::SetEventHandler(nullptr);
  }
};

constexpr uint32_t kStyle = 0x86CB0000;

TEST_F(HeadlessPostedTest, AnotherThreadsPostsEndABlockingWaitAndArriveInOrder) {
  void* window = platform::CreateFrameWindow(nullptr, kStyle);
  ASSERT_NE(window, nullptr);
  constexpr uintptr_t kCount = 200;
  std::thread poster([window] {
    for (uintptr_t i = 1; i <= kCount; ++i) {
      ASSERT_TRUE(platform::PostWindowEvent(window, i, i * 3));
    }
  });
  // Nothing is scripted: only the other thread's post can end this wait.
  const uint32_t before = headless::Now();
  platform::WaitForMessages(platform::kWaitForever);
  poster.join();
  EXPECT_EQ(headless::Counters().waits, 1u);
  EXPECT_EQ(headless::Now(), before) << "a post moves no virtual time";
  EXPECT_TRUE(platform::HasPendingMessages());
  platform::PumpThreadMessages();
  ASSERT_EQ(posted.size(), kCount);
  for (uintptr_t i = 0; i < kCount; ++i) {
    EXPECT_EQ(posted[i].window, window);
    EXPECT_EQ(posted[i].rawWParam, i + 1);
    EXPECT_EQ(posted[i].rawLParam, (i + 1) * 3);
  }
  EXPECT_FALSE(platform::HasPendingMessages());
}

TEST_F(HeadlessPostedTest, AWaitingPostEndsATimedWaitAtOnce) {
  void* window = platform::CreateFrameWindow(nullptr, kStyle);
  std::thread poster([window] { platform::PostWindowEvent(window, 7, 0); });
  poster.join();
  const uint32_t before = headless::Now();
  platform::WaitForMessages(500);
  EXPECT_EQ(headless::Now(), before) << "the post was waiting: no time passes";
  EXPECT_EQ(headless::Counters().blockingWaits, 0u);
  platform::PumpThreadMessages();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].rawWParam, 7u);
}

TEST_F(HeadlessPostedTest, PostsForWindowsGoneBeforeThePumpAreDropped) {
  struct Case {
    bool destroyFirst;
    size_t delivered;
  };
  for (const Case& c : {Case{false, 2}, Case{true, 1}}) {
    posted.clear();
    void* kept = platform::CreateFrameWindow(nullptr, kStyle);
    void* gone = platform::CreateFrameWindow(nullptr, kStyle);
    std::thread poster([&] {
      platform::PostWindowEvent(gone, 1, 0);
      platform::PostWindowEvent(kept, 2, 0);
    });
    poster.join();
    if (c.destroyFirst) platform::DestroyNativeWindow(gone);
    platform::PumpThreadMessages();
    ASSERT_EQ(posted.size(), c.delivered);
    EXPECT_EQ(posted.back().window, kept);
    platform::DestroyNativeWindow(kept);
    if (!c.destroyFirst) platform::DestroyNativeWindow(gone);
  }
}

TEST_F(HeadlessPostedTest, ResetDropsWaitingPosts) {
  void* window = platform::CreateFrameWindow(nullptr, kStyle);
  EXPECT_TRUE(platform::PostWindowEvent(window, 1, 0));
  EXPECT_FALSE(platform::PostWindowEvent(nullptr, 1, 0));
  headless::ResetDesktop();
  EXPECT_FALSE(platform::HasPendingMessages());
}

}  // namespace
