// Windows backend, inside: the manual-reset event that a stop request sets, so that a wait on
// handles wakes for it (the folder watch's). Null before SysCatchStopRequests made it.
#pragma once

#include <windows.h>

HANDLE SysStopWakeEvent();
