// The toolkit's message loop: pumping, the timer emulation and waiting.
#pragma once

#include <cstdint>

// Runs passes until no window is registered; false when none was registered at the start.
bool RunMessageLoop();

// One pass: pumps each registered window (newest first, with dialog
// navigation) until the count changes, then the thread's other messages,
// then the timer step with waiting allowed when windows remain.
void RunLoopPass();

// For a long task on the thread that serves the windows, called often (every block of a
// scene read): at most every kBusyPaintInterval milliseconds it lets the windows repaint
// what was uncovered or changed. Input waits in the queue until the loop runs again.
constexpr uint32_t kBusyPaintInterval = 50;
void KeepPaintingWhileBusy();

// Delivers due timer events and calls the idle hook; with `allowWait` and
// nothing pending, waits for input no longer than until the next timer is due.
void RunTimerStep(bool allowWait);
