// System seam: the user's request to stop a command (Ctrl-C). On Linux SIGINT and SIGTERM, on
// Windows the console's Ctrl-C, Ctrl-Break and close (SetConsoleCtrlHandler). Implemented by
// the system backends (posix, win32).
#pragma once

// From now on a stop request only sets a flag that SysStopRequested reads, and wakes every
// folder wait (platform/folder_watch.h), so that work under way can end cleanly; a second
// request ends the process as the system would have. False when the handlers cannot be
// installed (the system's default stays).
bool SysCatchStopRequests();

// Whether a stop was requested since SysCatchStopRequests; thread-safe (a lock-free flag).
bool SysStopRequested();

// The system's code for a call that was interrupted (EINTR, ERROR_OPERATION_ABORTED), told as
// the reason of what a stop request ended.
unsigned SysStopError();
