// Making and writing a page on a thread of its own, once its path was chosen, so that the
// thread that serves the windows keeps answering while a large button block becomes a large
// page: progress and the end are posted to a window as kEventPosted events, and the write can
// be cancelled between its blocks (the page then stays as it was).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "base/string_buffer.h"
#include "base/string_list.h"
#include "core/conversion_failure.h"
#include "settings/converter_state.h"
#include "xml/xml_tree.h"

// The values of the posted events (rawWParam); rawLParam carries nothing.
constexpr uintptr_t kPostedWriteProgress = 0x4B03;  // more of the page was written (BytesWritten)
constexpr uintptr_t kPostedWriteDone = 0x4B04;      // the write ended; call Finish

// One page at a time. Start, Cancel, Finish and the queries belong to the window thread; the
// worker touches only the atomics and its own members, copies of what Start was given, until
// it posts its end. The button block (core/button_block.h) is per thread: Start moves the
// window thread's into the worker's, Finish moves it back.
class PageWriteWorker {
 public:
  PageWriteWorker() = default;
  PageWriteWorker(const PageWriteWorker&) = delete;
  PageWriteWorker& operator=(const PageWriteWorker&) = delete;
  // Cancels a running write and waits for its thread.
  ~PageWriteWorker();

  // Starts making the page at pagePath from the template at templatePath, the state's field
  // names and values and the scene at scenePath (program views), posting to `window`. `gate`
  // (may be null) is called on the worker with `gateContext` and the bytes written, before the
  // first block and after each, before the progress is posted; its false cancels. False while
  // a write runs or when no thread can be had: nothing changes then.
  bool Start(void* window, const char* templatePath, const char* scenePath, const char* pagePath,
             const ConverterState& state, XmlTree::BlockHandler gate = nullptr,
             void* gateContext = nullptr);
  // Whether a write was started and not yet finished.
  bool Busy() const { return busy_; }
  // Asks the write to stop at its next block; thread-safe, nothing without a write.
  void Cancel() { cancel_.store(true); }
  // Bytes of the page written so far, and the page's length (0 until the page is made).
  uint64_t BytesWritten() const { return bytesWritten_.load(); }
  uint64_t PageLength() const { return pageLength_.load(); }
  // The page file being written (program view).
  const std::string& PagePath() const { return pagePath_; }
  // After kPostedWriteDone: waits for the thread and tells how the write ended: true with the
  // page written, or false with failure set (kCancelled after Cancel, else as AssemblePage
  // fails). False without a write.
  bool Finish(ConversionFailure& failure);
  // The window thread handled a progress event: the next block may post another one.
  void ProgressSeen() { progressPosted_.store(false); }

 private:
  void Run();
  static bool OnBlock(void* context, uint64_t bytesWritten, uint64_t length);

  std::thread thread_;
  bool busy_ = false;
  void* window_ = nullptr;
  // Copies of what the page is made from, read by the worker only while it runs.
  std::string templatePath_;
  std::string scenePath_;
  std::string pagePath_;
  StringList fieldNames_;
  StringList fieldValues_;
  XmlTree::BlockHandler gate_ = nullptr;
  void* gateContext_ = nullptr;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> progressPosted_{false};  // a progress event is on its way: coalesce
  std::atomic<uint64_t> bytesWritten_{0};
  std::atomic<uint64_t> pageLength_{0};
  // Written by the worker, read by the window thread after Finish's join.
  bool written_ = false;
  ConversionFailure failure_;
  StringBuffer buttons_;  // the button block while the worker holds it
};
