// Message loop: pass structure, timer emulation on the virtual clock, the end
// of the loop, and the rule that an idle loop waits instead of spinning.
#include "ui/message_loop.h"

#include <gtest/gtest.h>

#include "platform/gui_events.h"
#include "tests/ui/toolkit_fixture.h"

namespace {

using platform::kEventTimer;

class MessageLoopTest : public ToolkitTest {
 protected:
  // Clock values at which a window received its timer events.
  static std::vector<uint32_t>& TimerTimes() {
    static std::vector<uint32_t> times;
    return times;
  }

  void StampTimers(void* window) {
    TimerTimes().clear();
    recorder.actions[{window, kEventTimer}] = [](ToolkitEvent*) {
      TimerTimes().push_back(headless::Now());
      return uint8_t(0);
    };
  }
};

TEST_F(MessageLoopTest, ReturnsFalseWithoutWindows) {
  EXPECT_FALSE(RunMessageLoop()) << "nothing registered at the start";
  EXPECT_EQ(headless::Counters().waits, 0u) << "an empty loop must not wait";
}

TEST_F(MessageLoopTest, TimerFiresOnFirstPassThenAtMostOncePerInterval) {
  void* window = OpenWindow(nullptr, 10);
  StampTimers(window);
  uint32_t start = headless::Now();
  headless::ScheduleAction(start + 35, [window] { headless::RequestClose(window); });
  ASSERT_TRUE(RunMessageLoop());
  std::vector<uint32_t> times = TimerTimes();
  ASSERT_FALSE(times.empty()) << "no timer event at all";
  EXPECT_EQ(times[0], start) << "the first timer event must come on the first pass";
  for (size_t i = 1; i < times.size(); ++i) {
    EXPECT_GE(times[i] - times[i - 1], 10u) << "two timer events closer than the interval";
  }
  EXPECT_EQ(times.size(), 4u) << "events at +0, +10, +20, +30 before the close at +35";
  EXPECT_EQ(GetWindowCount(), 0u);
  EXPECT_EQ(FindWindowRecord(window), nullptr);
}

TEST_F(MessageLoopTest, IdleLoopWaitsUntilTheNextTimerInsteadOfSpinning) {
  void* window = OpenWindow(nullptr, 10);
  uint32_t start = headless::Now();
  headless::ScheduleAction(start + 1000, [window] { headless::RequestClose(window); });
  ASSERT_TRUE(RunMessageLoop());
  const headless::PumpCounters& counters = headless::Counters();
  // 1000 ms at one event per 10 ms: about 100 passes, each ending in one wait.
  EXPECT_LE(counters.threadPumps, 110u) << "the loop spun: " << counters.threadPumps << " passes";
  EXPECT_GE(counters.threadPumps, 100u);
  EXPECT_EQ(counters.waitedMs, 1000u) << "all the time must be spent waiting";
  EXPECT_EQ(recorder.Count(window, kEventTimer), 100);
  EXPECT_LE(counters.lastTimeout, 10u) << "a wait longer than the timer interval";
}

TEST_F(MessageLoopTest, WithoutTimersTheLoopBlocksUntilInputArrives) {
  void* window = OpenWindow();
  uint32_t start = headless::Now();
  headless::ScheduleAction(start + 5000, [window] { headless::RequestClose(window); });
  ASSERT_TRUE(RunMessageLoop());
  const headless::PumpCounters& counters = headless::Counters();
  EXPECT_EQ(counters.blockingWaits, 1u) << "one wait, ended by the close request";
  EXPECT_EQ(counters.lastTimeout, platform::kWaitForever);
  EXPECT_LE(counters.threadPumps, 3u) << "passes while nothing happened";
}

TEST_F(MessageLoopTest, ShortestTimerSetsTheWait) {
  void* slow = OpenWindow(nullptr, 50);
  void* fast = OpenWindow(nullptr, 7);
  void* none = OpenWindow(nullptr, -1);
  uint32_t start = headless::Now();
  headless::ScheduleAction(start + 100, [] {
    for (void* w : {GetWindowAt(0), GetWindowAt(1), GetWindowAt(2)}) headless::RequestClose(w);
  });
  ASSERT_TRUE(RunMessageLoop());
  EXPECT_EQ(recorder.Count(slow, kEventTimer), 2) << "+0 and +50";
  EXPECT_EQ(recorder.Count(fast, kEventTimer), 15) << "+0, +7, ... +98";
  EXPECT_EQ(recorder.Count(none, kEventTimer), 0) << "a negative interval has no timer";
}

TEST_F(MessageLoopTest, LastElapsedRecordsTheTimeBeforeTheEvent) {
  void* window = OpenWindow(nullptr, 10);
  RunTimerStep(false);
  WindowRecord* record = FindWindowRecord(window);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->lastTick, headless::Now());
  EXPECT_EQ(record->lastElapsed, headless::Now()) << "first elapsed is counted from 0";
  headless::AdvanceClock(4);
  RunTimerStep(false);
  EXPECT_EQ(recorder.Count(window, kEventTimer), 1) << "not due after 4 ms";
  headless::AdvanceClock(9);
  RunTimerStep(false);
  EXPECT_EQ(recorder.Count(window, kEventTimer), 2);
  EXPECT_EQ(record->lastElapsed, 13u);
  EXPECT_EQ(headless::Counters().waits, 0u) << "no wait when waiting is not allowed";
}

TEST_F(MessageLoopTest, PassPumpsNewestWindowFirstAndStopsWhenCountChanges) {
  void* older = OpenWindow();
  void* newer = OpenWindow();
  // The newer window's close removes it; the pass must then not pump the older one.
  headless::RequestClose(newer);
  headless::PressKey(older, 'A', 'a');
  // The pass ends in a wait (no timers): something must be scripted to end it.
  headless::ScheduleAction(headless::Now() + 1, [] {});
  RunLoopPass();
  EXPECT_EQ(headless::ScheduledSteps(), 0) << "the pass did not end in a wait";
  EXPECT_EQ(recorder.Count(newer, platform::kEventClosing), 1);
  EXPECT_EQ(recorder.Count(older, platform::kEventKeyDown), 1)
      << "the older window's input arrives in the thread pump of the same pass";
  std::vector<int32_t> order;
  for (const SeenEvent& seen : recorder.events) order.push_back(seen.code);
  auto closeAt = std::find(order.begin(), order.end(), platform::kEventCloseRequest);
  auto keyAt = std::find(order.begin(), order.end(), platform::kEventKeyDown);
  EXPECT_LT(closeAt, keyAt) << "the newest window must be pumped first";
  EXPECT_EQ(GetWindowCount(), 1u);
}

TEST_F(MessageLoopTest, LoopEndsWhenACallbackClosesTheLastWindowFromATimer) {
  void* window = OpenWindow(nullptr, 10);
  int* ticks = new int(0);
  recorder.actions[{window, kEventTimer}] = [window, ticks](ToolkitEvent*) {
    if (++*ticks == 3) DetachWindow(window);
    return uint8_t(0);
  };
  ASSERT_TRUE(RunMessageLoop());
  EXPECT_EQ(*ticks, 3);
  EXPECT_FALSE(headless::IsLive(window));
  delete ticks;
}

// A long task keeps the windows painted at most every kBusyPaintInterval ms on the clock,
// and input stays queued, in order, for the loop.
TEST_F(MessageLoopTest, BusyPaintingRepaintsOnlyAndAtMostPerInterval) {
  void* window = OpenWindow();
  ASSERT_TRUE(ShowToolkitWindow(window));
  platform::PumpThreadMessages();
  const int shownPaints = recorder.Count(window, platform::kEventPaint);
  headless::AdvanceClock(kBusyPaintInterval);
  const uint64_t pumps = headless::Counters().paintPumps;
  const struct {
    uint32_t advance;  // ms before the call
    int paints;        // paint events delivered so far
  } calls[] = {{0, 1}, {kBusyPaintInterval - 1, 1}, {1, 2}, {kBusyPaintInterval + 5, 3}};
  for (const auto& call : calls) {
    headless::AdvanceClock(call.advance);
    ASSERT_TRUE(InvalidateAll(window));
    headless::PressKey(window, 'A', 'a');
    KeepPaintingWhileBusy();
    EXPECT_EQ(recorder.Count(window, platform::kEventPaint) - shownPaints, call.paints)
        << "after " << call.advance << " ms";
  }
  EXPECT_EQ(headless::Counters().paintPumps - pumps, 3u);
  EXPECT_EQ(recorder.Count(window, platform::kEventKeyDown), 0) << "input waits for the loop";
  EXPECT_EQ(headless::QueuedEvents(), 4) << "every key press waits";
  platform::PumpThreadMessages();
  EXPECT_EQ(recorder.Count(window, platform::kEventKeyDown), 4);
}

int idleCalls = 0;
void CountIdle(void*, int, int) {
  idleCalls++;
}

TEST_F(MessageLoopTest, IdleHookRunsEachTimerStepAndOnMouseMoves) {
  ASSERT_TRUE(SetIdleHook(&CountIdle));
  idleCalls = 0;
  void* window = OpenWindow();
  RunTimerStep(false);
  EXPECT_EQ(idleCalls, 1);
  headless::MouseMove(window, 5, 6);
  platform::PumpWindowMessages(window, true);
  EXPECT_EQ(idleCalls, 2) << "a mouse move calls the idle hook";
  EXPECT_EQ(recorder.Count(window, platform::kEventMouseMove), 1);
  SetIdleHook(nullptr);
}

}  // namespace
