// The event pump without a display: no window exists, so no message ever arrives.
#include <chrono>
#include <thread>

#include "platform/console/console_desktop.h"
#include "platform/gui_events.h"

namespace platform {

// No event is ever handed over, so the handler is not kept.
void SetEventHandler(EventHandler /*handler*/) {}

bool PumpWindowMessages(void* window, bool /*dialogNavigation*/) {
  return window != nullptr;
}

void PumpThreadMessages() {}

void PumpPaintMessages() {}

// No window exists to post to.
bool PostWindowEvent(void* /*window*/, uintptr_t /*value*/, uintptr_t /*data*/) {
  return false;
}

bool HasPendingMessages() {
  return false;
}

void WaitForMessages(uint32_t timeoutMs) {
  // An endless wait would never end, since nothing can arrive: it returns at once. A timed
  // wait lasts its time, so that timers fall due as on a desktop.
  if (timeoutMs == kWaitForever || timeoutMs == 0) return;
  std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
}

}  // namespace platform
