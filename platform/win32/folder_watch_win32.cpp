// Windows: each folder is opened for listing and read with ReadDirectoryChangesW, overlapped,
// with an event of its own; the wait is WaitForMultipleObjects over those events and the event
// that a stop request sets. One thread uses a watch: its reads are issued and cancelled by
// that thread.
#include "platform/folder_watch.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <new>

#include "platform/stop_request.h"
#include "platform/win32/stop_wake_win32.h"

namespace {

constexpr DWORD kFilter =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;
// One event slot stays for the stop request's.
constexpr int kMostFolders = MAXIMUM_WAIT_OBJECTS - 1;

struct WatchedFolder {
  HANDLE folder = INVALID_HANDLE_VALUE;
  OVERLAPPED overlapped = {};
  bool reading = false;
  // DWORD-aligned, as ReadDirectoryChangesW needs; 64 KiB is its limit over a network.
  DWORD buffer[16 * 1024];
};

bool StartRead(WatchedFolder& folder) {
  folder.reading = ReadDirectoryChangesW(folder.folder, folder.buffer, sizeof folder.buffer, FALSE,
                                         kFilter, nullptr, &folder.overlapped, nullptr) != 0;
  return folder.reading;
}

void StopRead(WatchedFolder& folder) {
  if (!folder.reading) return;
  DWORD bytes = 0;
  // The buffer stays the system's until the cancelled read has completed.
  CancelIo(folder.folder);
  GetOverlappedResult(folder.folder, &folder.overlapped, &bytes, TRUE);
  folder.reading = false;
}

// Tells the sink each entry of a completed read.
void TellEntries(const WatchedFolder& folder, DWORD bytes, int index, SysFolderChangeSink sink,
                 void* context) {
  const char* at = reinterpret_cast<const char*>(folder.buffer);
  const char* end = at + bytes;
  for (;;) {
    const FILE_NOTIFY_INFORMATION* entry = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
    if (at + offsetof(FILE_NOTIFY_INFORMATION, FileName) > end) return;
    char name[4 * MAX_PATH];
    const int length =
        WideCharToMultiByte(CP_ACP, 0, entry->FileName, int(entry->FileNameLength / sizeof(WCHAR)),
                            name, int(sizeof name - 1), nullptr, nullptr);
    if (length > 0) {
      name[length] = '\0';
      sink(context, index, name);
    }
    if (entry->NextEntryOffset == 0) return;
    at += entry->NextEntryOffset;
  }
}

}  // namespace

struct SysFolderWatch {
  WatchedFolder* folders[kMostFolders] = {};
  int count = 0;
};

SysFolderWatch* SysOpenFolderWatch() {
  SysFolderWatch* watch = new (std::nothrow) SysFolderWatch;
  if (watch == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return watch;
}

void SysCloseFolderWatch(SysFolderWatch* watch) {
  if (watch == nullptr) return;
  for (int i = 0; i < watch->count; ++i) {
    WatchedFolder* folder = watch->folders[i];
    StopRead(*folder);
    CloseHandle(folder->overlapped.hEvent);
    CloseHandle(folder->folder);
    delete folder;
  }
  delete watch;
}

bool SysWatchFolder(SysFolderWatch* watch, const char* folder) {
  if (watch == nullptr || folder == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (watch->count == kMostFolders) {
    SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return false;
  }
  WatchedFolder* watched = new (std::nothrow) WatchedFolder;
  if (watched == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  watched->folder = CreateFileA(
      folder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
  watched->overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (watched->folder == INVALID_HANDLE_VALUE || watched->overlapped.hEvent == nullptr ||
      !StartRead(*watched)) {
    const DWORD error = GetLastError();
    if (watched->overlapped.hEvent != nullptr) CloseHandle(watched->overlapped.hEvent);
    if (watched->folder != INVALID_HANDLE_VALUE) CloseHandle(watched->folder);
    delete watched;
    SetLastError(error);
    return false;
  }
  watch->folders[watch->count++] = watched;
  return true;
}

SysWatchWait SysWaitFolderChanges(SysFolderWatch* watch, int32_t timeoutMs,
                                  SysFolderChangeSink sink, void* context) {
  if (watch == nullptr || sink == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return SysWatchWait::kFailed;
  }
  if (SysStopRequested()) return SysWatchWait::kInterrupted;
  // The folders still read (one whose read failed is gone: it is not waited for again).
  HANDLE events[MAXIMUM_WAIT_OBJECTS];
  int indexes[MAXIMUM_WAIT_OBJECTS];
  DWORD count = 0;
  for (int i = 0; i < watch->count; ++i) {
    if (!watch->folders[i]->reading) continue;
    indexes[count] = i;
    events[count++] = watch->folders[i]->overlapped.hEvent;
  }
  if (HANDLE wake = SysStopWakeEvent()) {
    indexes[count] = -1;
    events[count++] = wake;
  }
  if (count == 0) {
    if (timeoutMs < 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return SysWatchWait::kFailed;
    }
    Sleep(DWORD(timeoutMs));
    return SysWatchWait::kTimeout;
  }
  const DWORD waited =
      WaitForMultipleObjects(count, events, FALSE, timeoutMs < 0 ? INFINITE : DWORD(timeoutMs));
  if (waited == WAIT_TIMEOUT) return SysWatchWait::kTimeout;
  if (waited >= WAIT_OBJECT_0 + count) return SysWatchWait::kFailed;
  const int index = indexes[waited - WAIT_OBJECT_0];
  if (index < 0 || SysStopRequested()) return SysWatchWait::kInterrupted;
  WatchedFolder& folder = *watch->folders[index];
  DWORD bytes = 0;
  const bool read = GetOverlappedResult(folder.folder, &folder.overlapped, &bytes, FALSE) != 0;
  folder.reading = false;
  ResetEvent(folder.overlapped.hEvent);
  if (!read || bytes == 0) {
    // No entries: the buffer overflowed, or the folder went away. Either way any entry may
    // have changed.
    sink(context, kSysAnyFolder, "");
  } else {
    TellEntries(folder, bytes, index, sink, context);
  }
  if (read) StartRead(folder);
  return SysWatchWait::kChanged;
}
