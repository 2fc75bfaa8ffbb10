#include "display_fixture.h"  // gtest before Xlib, whose macros clash with it

#include <atomic>
#include <thread>

#include "platform/gui_events.h"
#include "platform/gui_window.h"

namespace display_test {
namespace {

// Events posted from another thread wake a wait that nothing else would end, and arrive
// on the window thread in the order posted, carrying their values.
TEST_F(DisplayTest, PostsFromAnotherThreadWakeTheWaitAndArriveInOrder) {
  void* w = MakeWindow(kMainStyle, 40, 40, 200, 100);
  ASSERT_NE(w, nullptr);
  Settle();
  events.clear();
  constexpr uintptr_t kCount = 300;
  std::atomic<bool> waiting{false};
  std::thread poster([&] {
    while (!waiting.load()) std::this_thread::yield();
    // The window thread is in (or about to enter) a wait with no timeout: only the post
    // can end it.
    for (uintptr_t i = 1; i <= kCount; ++i) EXPECT_TRUE(platform::PostWindowEvent(w, i, i + 1000));
  });
  waiting.store(true);
  platform::WaitForMessages(platform::kWaitForever);
  poster.join();
  ASSERT_TRUE(PumpUntil([&] { return Seen(platform::kEventPosted).size() >= kCount; }));
  std::vector<SeenEvent> posted = Seen(platform::kEventPosted);
  ASSERT_EQ(posted.size(), kCount);
  for (uintptr_t i = 0; i < kCount; ++i) {
    EXPECT_EQ(posted[i].window, w);
    EXPECT_EQ(posted[i].rawWParam, i + 1);
    EXPECT_EQ(posted[i].rawLParam, i + 1001);
  }
}

TEST_F(DisplayTest, PostsForDestroyedWindowsAreDropped) {
  void* kept = MakeWindow(kMainStyle, 40, 40, 200, 100);
  void* gone = platform::CreateFrameWindow(nullptr, kMainStyle);
  ASSERT_NE(kept, nullptr);
  ASSERT_NE(gone, nullptr);
  std::thread poster([&] {
    platform::PostWindowEvent(gone, 1, 0);
    platform::PostWindowEvent(kept, 2, 0);
  });
  poster.join();
  platform::DestroyNativeWindow(gone);
  events.clear();
  ASSERT_TRUE(PumpUntil([&] { return !Seen(platform::kEventPosted).empty(); }));
  Settle(50);
  std::vector<SeenEvent> posted = Seen(platform::kEventPosted);
  ASSERT_EQ(posted.size(), 1u) << "the destroyed window's post is dropped";
  EXPECT_EQ(posted[0].window, kept);
  EXPECT_FALSE(platform::PostWindowEvent(nullptr, 1, 0));
}

}  // namespace
}  // namespace display_test
