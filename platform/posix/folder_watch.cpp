// Linux: one inotify descriptor per watch with a watch descriptor per folder; the wait polls it
// beside the read end of the pipe that a stop request's signal handler writes a byte to.
#include "platform/folder_watch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <new>

#include "platform/native_path.h"
#include "platform/posix/stop_wake.h"
#include "platform/stop_request.h"

struct SysFolderWatch {
  int inotify = -1;
  // The watch descriptor of each folder, by the folder's index.
  int* descriptors = nullptr;
  int count = 0;
  int capacity = 0;
};

namespace {

constexpr uint32_t kEvents = IN_CLOSE_WRITE | IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                             IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;

// Tells the sink every event read from the descriptor; false when nothing could be read.
bool TellEvents(SysFolderWatch* watch, SysFolderChangeSink sink, void* context) {
  alignas(inotify_event) char buffer[64 * 1024];
  const ssize_t got = read(watch->inotify, buffer, sizeof buffer);
  if (got <= 0) return false;
  for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= got;) {
    const inotify_event* event = reinterpret_cast<const inotify_event*>(buffer + at);
    at += ssize_t(sizeof(inotify_event) + event->len);
    if ((event->mask & IN_IGNORED) != 0) continue;
    if ((event->mask & IN_Q_OVERFLOW) != 0) {
      sink(context, kSysAnyFolder, "");
      continue;
    }
    // The folder itself moved or went away: every entry it held is gone for the watcher.
    if ((event->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) != 0) {
      sink(context, kSysAnyFolder, "");
      continue;
    }
    for (int i = 0; i < watch->count; ++i) {
      if (watch->descriptors[i] == event->wd) sink(context, i, event->len != 0 ? event->name : "");
    }
  }
  return true;
}

}  // namespace

SysFolderWatch* SysOpenFolderWatch() {
  const int descriptor = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (descriptor < 0) return nullptr;
  SysFolderWatch* watch = new (std::nothrow) SysFolderWatch;
  if (watch == nullptr) {
    close(descriptor);
    errno = ENOMEM;
    return nullptr;
  }
  watch->inotify = descriptor;
  return watch;
}

void SysCloseFolderWatch(SysFolderWatch* watch) {
  if (watch == nullptr) return;
  close(watch->inotify);
  delete[] watch->descriptors;
  delete watch;
}

bool SysWatchFolder(SysFolderWatch* watch, const char* folder) {
  char native[PATH_MAX];
  if (watch == nullptr || !NativePathFromProgram(folder, native, sizeof native)) {
    errno = ENAMETOOLONG;
    return false;
  }
  if (watch->count == watch->capacity) {
    const int capacity = watch->capacity == 0 ? 8 : watch->capacity * 2;
    int* grown = new (std::nothrow) int[size_t(capacity)];
    if (grown == nullptr) {
      errno = ENOMEM;
      return false;
    }
    if (watch->count != 0)
      std::memcpy(grown, watch->descriptors, sizeof(int) * size_t(watch->count));
    delete[] watch->descriptors;
    watch->descriptors = grown;
    watch->capacity = capacity;
  }
  const int descriptor = inotify_add_watch(watch->inotify, native, kEvents | IN_ONLYDIR);
  if (descriptor < 0) return false;
  // The same folder under two paths has one descriptor: its changes are told for each index.
  watch->descriptors[watch->count++] = descriptor;
  return true;
}

SysWatchWait SysWaitFolderChanges(SysFolderWatch* watch, int32_t timeoutMs,
                                  SysFolderChangeSink sink, void* context) {
  if (watch == nullptr || sink == nullptr) {
    errno = EINVAL;
    return SysWatchWait::kFailed;
  }
  for (;;) {
    if (SysStopRequested()) return SysWatchWait::kInterrupted;
    const int wake = SysStopWakeDescriptor();
    pollfd waits[2] = {{watch->inotify, POLLIN, 0}, {wake, POLLIN, 0}};
    const int ready = poll(waits, wake >= 0 ? 2 : 1, timeoutMs < 0 ? -1 : timeoutMs);
    if (ready < 0) {
      // A signal that is not a stop request (or one, seen above) ends the poll early;
      // waiting again restarts the timeout, which only makes a debounce a little longer.
      if (errno == EINTR) continue;
      return SysWatchWait::kFailed;
    }
    if (SysStopRequested()) return SysWatchWait::kInterrupted;
    if (ready == 0) return SysWatchWait::kTimeout;
    if ((waits[0].revents & POLLIN) != 0 && TellEvents(watch, sink, context)) {
      return SysWatchWait::kChanged;
    }
    if ((waits[0].revents & (POLLERR | POLLNVAL)) != 0) return SysWatchWait::kFailed;
  }
}
