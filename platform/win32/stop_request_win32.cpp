#include "platform/stop_request.h"

#include <windows.h>

#include <atomic>

#include "platform/win32/stop_wake_win32.h"

namespace {

// Made once and never released, so no destructor runs while a thread may still use them.
std::atomic<int> stopRequested{0};
HANDLE wakeEvent = nullptr;

// Runs on a thread the system starts for the console event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  const bool second = stopRequested.exchange(1) != 0;
  SetEvent(wakeEvent);
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      // A second request is left to the system's handler, which ends the process.
      return second ? FALSE : TRUE;
    default:
      // Closing the console ends the process when the handler returns: the run gets the time
      // to finish or drop the page in hand first.
      Sleep(4000);
      return TRUE;
  }
}

}  // namespace

bool SysCatchStopRequests() {
  if (wakeEvent == nullptr) {
    wakeEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (wakeEvent == nullptr) return false;
  }
  return SetConsoleCtrlHandler(&OnConsoleEvent, TRUE) != FALSE;
}

bool SysStopRequested() {
  return stopRequested.load() != 0;
}

unsigned SysStopError() {
  return ERROR_OPERATION_ABORTED;
}

HANDLE SysStopWakeEvent() {
  return wakeEvent;
}
