#include "window/program_entry.h"

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "headless_support.h"
#include "platform/gui_input.h"
#include "platform/headless/headless_desktop.h"
#include "window/window_globals.h"

namespace {

TEST(ProgramEntry, AnArgumentEndsTheProgramAtOnce) {
  apptest::ProgramFolder program;
  program.AddTemplate("page.html", "((KWB))T::x((KWB))");
  apptest::ProgramRun run;
  EXPECT_EQ(run.Run("scene.krn"), 0);
  EXPECT_TRUE(headless::TopLevelWindows().empty()) << "no window is made";
  EXPECT_TRUE(headless::FileDialogs().empty());
  EXPECT_TRUE(std::filesystem::is_empty(program.defaults())) << "no file is written";
}

TEST(ProgramEntry, TheIdleWindowSleepsUntilInputArrives) {
  apptest::ProgramFolder program;
  apptest::ProgramRun run;
  uint64_t blockingBefore = 0;
  uint64_t deliveredBefore = 0;
  platform::Rect outer{};
  run.At(10, [&] {
    outer = headless::OuterRect(mainWindow);
    blockingBefore = headless::Counters().blockingWaits;
    deliveredBefore = headless::Counters().eventsDelivered;
  });
  run.At(30010, [&] {
    const platform::Rect now = headless::OuterRect(mainWindow);
    EXPECT_TRUE(now.left == outer.left && now.top == outer.top && now.right == outer.right &&
                now.bottom == outer.bottom)
        << "idling changes nothing";
    EXPECT_LE(headless::Counters().blockingWaits - blockingBefore, 1u)
        << "30 idle seconds are one wait, not one wake-up per timer period";
    EXPECT_EQ(headless::Counters().lastTimeout, platform::kWaitForever)
        << "with no timer the loop waits for input without a timeout";
    EXPECT_EQ(headless::Counters().eventsDelivered, deliveredBefore) << "no timer events arrive";
    headless::RequestClose(mainWindow);
  });
  EXPECT_EQ(run.Run(), 0);
  EXPECT_EQ(mainWindow, nullptr) << "the program ends after the user closes the window";
  EXPECT_EQ(currentState, nullptr);
}

}  // namespace
