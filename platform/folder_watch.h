// System seam: waiting for changes in folders, until the user asks the command to stop.
// Folders are watched, not files, so that a file replaced by a rename is seen like one written
// in place. The wait blocks in the system (Linux: inotify and poll; Windows:
// ReadDirectoryChangesW, overlapped, and WaitForMultipleObjects) and never polls. Implemented
// by the system backends (posix, win32).
#pragma once

#include <cstdint>

// An open watch over some folders; its native parts stay in the backend.
struct SysFolderWatch;

// The wait's timeout that never ends.
constexpr int32_t kSysWaitForever = -1;
// The folder index a change carries when the system lost track (its queue overflowed): any
// entry of any watched folder may have changed.
constexpr int kSysAnyFolder = -1;

// Told of each change: the index of the watched folder (in the order SysWatchFolder added them,
// or kSysAnyFolder) and the entry's name within it, in the program's 8-bit text (empty for
// kSysAnyFolder).
using SysFolderChangeSink = void (*)(void* context, int folder, const char* name);

// How a wait ended.
enum class SysWatchWait {
  kChanged,      // at least one change was told to the sink
  kTimeout,      // the timeout passed without a change
  kInterrupted,  // a stop was requested (platform/stop_request.h); it stays requested
  kFailed,       // the system refused the wait (SysLastError holds why)
};

// Opens a watch without folders. Null when the system refuses one (SysLastError holds why).
SysFolderWatch* SysOpenFolderWatch();
// Closes the watch and everything it holds; a null watch is ignored.
void SysCloseFolderWatch(SysFolderWatch* watch);
// Watches the folder (a program path, with or without a final '\') for entries created,
// removed, renamed or written. False when it cannot be watched (missing, not a folder, no
// more watches: SysLastError holds why).
bool SysWatchFolder(SysFolderWatch* watch, const char* folder);
// Waits at most timeoutMs milliseconds (kSysWaitForever: no limit) for changes in the watched
// folders and tells each one that has arrived to sink. Returns kInterrupted, without telling
// changes, once a stop was requested; a stop request wakes the wait when SysCatchStopRequests
// caught it.
SysWatchWait SysWaitFolderChanges(SysFolderWatch* watch, int32_t timeoutMs,
                                  SysFolderChangeSink sink, void* context);
