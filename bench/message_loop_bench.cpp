// Cost of the message loop's idle work: one loop pass with a timer window
// (pump, timer event, wait on the virtual clock), and the timer step over a
// full registry of windows whose timers are not due.
#include <benchmark/benchmark.h>

#include "platform/headless/headless_desktop.h"
#include "ui/message_loop.h"
#include "ui/toolkit_runtime.h"
#include "ui/toolkit_window.h"
#include "ui/window_registry.h"

namespace {

uint8_t Quiet(void*, int32_t, ToolkitEvent*) {
  return 0;
}

struct Session {
  explicit Session(int windows, int32_t interval) {
    headless::ResetDesktop();
    ToolkitStart(nullptr, false);
    AcquireWindowRegistry();
    for (int i = 0; i < windows; ++i) {
      void* window = CreateToolkitWindow(nullptr, 0, 0, 100, 100, 4);
      AttachWindow(window, nullptr, &Quiet, nullptr, interval, false);
    }
  }
  ~Session() {
    ReleaseWindowRegistry();
    headless::ResetDesktop();
    ToolkitStop();
  }
};

// One idle pass: nothing queued, one timer due per pass, then a wait that
// moves the virtual clock to the next due time.
void BM_IdlePassWithTimer(benchmark::State& state) {
  Session session(int(state.range(0)), 10);
  for (auto _ : state) RunLoopPass();
  state.counters["waits/pass"] =
      benchmark::Counter(double(headless::Counters().waits) / double(state.iterations()));
}
BENCHMARK(BM_IdlePassWithTimer)->Arg(1)->Arg(10)->Arg(100);

// The timer step alone when no timer is due: the work a pass does besides pumping.
void BM_TimerStepNothingDue(benchmark::State& state) {
  Session session(int(state.range(0)), 1000000);
  RunTimerStep(false);  // fire the first events; none is due afterwards
  for (auto _ : state) RunTimerStep(false);
}
BENCHMARK(BM_TimerStepNothingDue)->Arg(1)->Arg(100);

}  // namespace

BENCHMARK_MAIN();
