// --watch of krn2html-convert: the files a run follows (scenes, the template, the remembered
// values), each under a tag of the caller's, and the wait for the next burst of changes to them.
// The system watches their folders (so a file replaced by a rename is seen); changes to other
// entries of those folders, such as the pages and their temporary files, are passed over.
#pragma once

#include <cstdint>
#include <memory>

#include "base/string_list.h"

struct SysFolderWatch;

// How a wait for changes ended.
enum class WatchOutcome {
  kChanged,      // a burst of changes to followed files ended; see Changed
  kIdle,         // the wait's limit passed without a change to a followed file
  kInterrupted,  // a stop was requested (Ctrl-C)
  kFailed,       // the system refused the wait
};

class WatchLoop {
 public:
  // How long the followed files must stay unchanged before a burst counts as ended.
  static constexpr int32_t kQuietMs = 100;
  // The longest a burst is waited out: a file written without pause is still converted.
  static constexpr int32_t kLongestBurstMs = 1000;

  WatchLoop();
  ~WatchLoop();
  WatchLoop(const WatchLoop&) = delete;
  WatchLoop& operator=(const WatchLoop&) = delete;

  // Follows the file at path (a full program path) under tag. False when memory runs out or
  // path names no file in a folder.
  bool Follow(const char* path, int tag);
  // Forgets every followed file and closes the system's watch.
  void Clear();
  // Opens the system's watch over the folders of the followed files. A folder that cannot be
  // watched (it does not exist) is added to unwatched as a program path; the others are
  // watched. False, with the system's reason in SysLastError, when no watch can be opened.
  bool Start(StringList& unwatched);

  // Waits until followed files changed and then stayed unchanged for kQuietMs (at most
  // kLongestBurstMs after the first change), or until limitMs passed without a change to a
  // followed file (kSysWaitForever: no limit). Blocks in the system: no wake-up while nothing
  // changes.
  WatchOutcome Wait(int32_t limitMs);
  // After kChanged: whether a file followed under tag changed in the burst.
  bool Changed(int tag) const;

 private:
  // A followed file besides its name: the index of its folder in folders_, the caller's tag and
  // whether it changed in the current burst.
  struct Followed {
    int folder;
    int tag;
    bool changed;
  };
  static void OnChange(void* context, int folder, const char* name);

  StringList names_;  // each followed file's name, parallel to followed_
  std::unique_ptr<Followed[]> followed_;
  int capacity_ = 0;
  StringList folders_;                    // each followed file's folder once, program view
  std::unique_ptr<int[]> watchedFolder_;  // the index in folders_ of each watched folder
  int watchedCount_ = 0;
  SysFolderWatch* watch_ = nullptr;
  bool changedNow_ = false;  // a followed file changed during the current system wait
};
