// Windows: the start lock as an auto-reset event (initially signalled, no name), counted with
// interlocked operations.
#include "platform/start_lock.h"

#include <windows.h>

namespace {

volatile LONG useCount = -1;
HANDLE event = nullptr;

}  // namespace

bool SysStartLockUse() {
  if (InterlockedIncrement(&useCount) == 0) event = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  return event != nullptr;
}

void SysStartLockUnuse() {
  const LONG count = InterlockedDecrement(&useCount);
  if (count < -1) {
    // A lowering without a matching use: undone, or the next use would not create the event.
    InterlockedIncrement(&useCount);
    return;
  }
  if (count < 0 && event) {
    CloseHandle(event);
    event = nullptr;
  }
}

bool SysStartLockAcquire() {
  return event && WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0;
}

void SysStartLockRelease() {
  if (event) SetEvent(event);
}

bool SysStartLockIsOpen() {
  return event != nullptr;
}
