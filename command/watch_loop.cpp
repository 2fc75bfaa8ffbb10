#include "command/watch_loop.h"

#include <chrono>
#include <cstring>
#include <new>

#include "base/ascii_case.h"
#include "base/path_split.h"
#include "core/text_of.h"
#include "platform/folder_watch.h"

namespace {

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

WatchLoop::WatchLoop() = default;

WatchLoop::~WatchLoop() {
  Clear();
}

bool WatchLoop::Follow(const char* path, int tag) {
  if (path == nullptr) return false;
  const PathSpans spans = SplitPathSpans(path);
  if (path[spans.nameStart] == '\0' || spans.nameStart == 0) return false;
  StringBuffer folder;
  if (!folder.SetText(path, int(spans.nameStart), 0)) return false;
  int folderIndex = folders_.IndexOf(TextOf(folder));
  if (folderIndex < 0) {
    if (!folders_.Append(TextOf(folder))) return false;
    folderIndex = folders_.count - 1;
  }
  if (names_.count == capacity_) {
    const int capacity = capacity_ == 0 ? 8 : capacity_ * 2;
    std::unique_ptr<Followed[]> grown(new (std::nothrow) Followed[size_t(capacity)]);
    if (!grown) return false;
    if (names_.count != 0) {
      std::memcpy(grown.get(), followed_.get(), sizeof(Followed) * size_t(names_.count));
    }
    followed_ = std::move(grown);
    capacity_ = capacity;
  }
  if (!names_.Append(path + spans.nameStart)) return false;
  followed_[size_t(names_.count - 1)] = Followed{folderIndex, tag, false};
  return true;
}

void WatchLoop::Clear() {
  SysCloseFolderWatch(watch_);
  watch_ = nullptr;
  names_.Clear();
  folders_.Clear();
  watchedCount_ = 0;
}

bool WatchLoop::Start(StringList& unwatched) {
  SysCloseFolderWatch(watch_);
  watchedCount_ = 0;
  watch_ = SysOpenFolderWatch();
  if (watch_ == nullptr) return false;
  watchedFolder_.reset(new (std::nothrow) int[size_t(folders_.count) + 1]);
  if (!watchedFolder_) return false;
  for (int i = 0; i < folders_.count; ++i) {
    if (SysWatchFolder(watch_, TextOf(folders_.items[i]))) {
      watchedFolder_[size_t(watchedCount_++)] = i;
    } else if (!unwatched.Append(TextOf(folders_.items[i]))) {
      return false;
    }
  }
  return true;
}

void WatchLoop::OnChange(void* context, int folder, const char* name) {
  WatchLoop& loop = *static_cast<WatchLoop*>(context);
  // The system lost track: every followed file may have changed.
  const bool any = folder == kSysAnyFolder || folder < 0 || folder >= loop.watchedCount_;
  const int changedFolder = any ? -1 : loop.watchedFolder_[size_t(folder)];
  // Names compare without case in ASCII: Windows names do, and on Linux a name that differs
  // only in case costs one more conversion at most.
  for (int i = 0; i < loop.names_.count; ++i) {
    Followed& followed = loop.followed_[size_t(i)];
    if (!any &&
        (followed.folder != changedFolder ||
         !EqualsIgnoringAsciiCase(TextOf(loop.names_.items[i]), name != nullptr ? name : ""))) {
      continue;
    }
    followed.changed = true;
    loop.changedNow_ = true;
  }
}

WatchOutcome WatchLoop::Wait(int32_t limitMs) {
  if (watch_ == nullptr) return WatchOutcome::kFailed;
  for (int i = 0; i < names_.count; ++i) followed_[size_t(i)].changed = false;
  const int64_t start = NowMs();
  int64_t first = 0, last = 0;
  bool changed = false;
  for (;;) {
    // Before the first change the caller's limit; then the end of the quiet time, which each
    // further change moves, but never past the longest burst.
    int32_t timeout = kSysWaitForever;
    const int64_t now = NowMs();
    if (changed || limitMs >= 0) {
      int64_t end = start + limitMs;
      if (changed)
        end = last + kQuietMs < first + kLongestBurstMs ? last + kQuietMs : first + kLongestBurstMs;
      timeout = end > now ? int32_t(end - now) : 0;
    }
    changedNow_ = false;
    const SysWatchWait waited = SysWaitFolderChanges(watch_, timeout, &OnChange, this);
    switch (waited) {
      case SysWatchWait::kInterrupted:
        return WatchOutcome::kInterrupted;
      case SysWatchWait::kFailed:
        return WatchOutcome::kFailed;
      case SysWatchWait::kTimeout:
        return changed ? WatchOutcome::kChanged : WatchOutcome::kIdle;
      case SysWatchWait::kChanged:
        if (!changedNow_) break;
        last = NowMs();
        if (!changed) first = last;
        changed = true;
        break;
    }
  }
}

bool WatchLoop::Changed(int tag) const {
  for (int i = 0; i < names_.count; ++i) {
    if (followed_[size_t(i)].tag == tag && followed_[size_t(i)].changed) return true;
  }
  return false;
}
