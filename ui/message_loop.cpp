#include "ui/message_loop.h"

#include "platform/gui_events.h"
#include "platform/gui_input.h"
#include "platform/gui_system.h"
#include "ui/toolkit_runtime.h"
#include "ui/window_registry.h"

bool RunMessageLoop() {
  if (GetWindowCount() == 0) return false;
  while (GetWindowCount() > 0) RunLoopPass();
  return true;
}

void RunLoopPass() {
  uint32_t count = GetWindowCount();
  for (uint32_t i = count; i > 0; --i) {
    platform::PumpWindowMessages(GetWindowAt(i - 1), true);
    if (GetWindowCount() != count) break;
  }
  platform::PumpThreadMessages();
  if (GetWindowCount() > 0) RunTimerStep(true);
}

void KeepPaintingWhileBusy() {
  static uint32_t lastPaint = 0;
  const uint32_t now = platform::GetMilliseconds();
  if (now - lastPaint < kBusyPaintInterval) return;
  lastPaint = now;
  platform::PumpPaintMessages();
}

void RunTimerStep(bool allowWait) {
  WindowRegistry* registry = GetWindowRegistry();
  if (!registry) return;
  // A snapshot: callbacks may attach and detach windows while timers fire.
  void* windows[kMaxRegisteredWindows];
  uint32_t count = registry->count;
  for (uint32_t i = 0; i < count; ++i) windows[i] = registry->records[i]->window;

  bool again = false;             // a callback asked to be called again at once
  bool timerWaiting = false;      // some timer is not yet due
  uint32_t nextDue = UINT32_MAX;  // milliseconds until the earliest timer is due
  for (uint32_t i = 0; i < count; ++i) {
    WindowRecord* record = FindWindowRecord(windows[i]);
    if (!record || record->timerInterval < 0) continue;
    uint32_t now = platform::GetMilliseconds();
    uint32_t interval = uint32_t(record->timerInterval);
    uint32_t elapsed = now - record->lastTick;
    if (elapsed < interval) {
      timerWaiting = true;
      if (interval - elapsed < nextDue) nextDue = interval - elapsed;
      continue;
    }
    record->lastElapsed = elapsed;
    record->lastTick = now;
    if (!record->active || record->closing) continue;
    ToolkitEvent event{};
    event.window = record->window;
    event.source = record->window;
    event.code = platform::kEventTimer;
    event.userData = record->userData;
    if (DeliverEvent(record, &event) == 1) again = true;
    timerWaiting = true;
    if (interval < nextDue) nextDue = interval;
  }

  int x = 0, y = 0;
  platform::GetPointerPosition(&x, &y);
  CallIdleHook(nullptr, x, y);

  // Never spin: with nothing pending, wait for input, but no longer than
  // until the next timer is due.
  if (!allowWait || again || platform::HasPendingMessages()) return;
  if (GetWindowCount() == 0) return;
  if (timerWaiting && nextDue == 0) return;
  platform::WaitForMessages(timerWaiting ? nextDue : platform::kWaitForever);
}
