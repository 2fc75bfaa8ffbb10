#include "platform/stop_request.h"

#include <windows.h>

namespace {

volatile LONG stopRequested = 0;

// Runs on a thread the system starts for the console event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      // A second request is left to the system's handler, which ends the process.
      return InterlockedExchange(&stopRequested, 1) == 0 ? TRUE : FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

bool SysWatchStopRequests() {
  return SetConsoleCtrlHandler(&OnConsoleEvent, TRUE) != FALSE;
}

bool SysStopRequested() {
  return InterlockedCompareExchange(&stopRequested, 0, 0) != 0;
}

unsigned SysStopError() {
  return ERROR_OPERATION_ABORTED;
}
