// Reading a scene's animation buttons on a thread of its own, so that the thread that serves
// the windows keeps answering: progress and the end are posted to a window as kEventPosted
// events (platform::PostWindowEvent), and the read can be cancelled between its blocks.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "base/string_buffer.h"
#include "core/conversion_failure.h"
#include "xml/xml_tree.h"

// The values of the posted events (rawWParam); rawLParam carries nothing.
constexpr uintptr_t kPostedReadProgress = 0x4B01;  // more of the scene was read (BytesRead)
constexpr uintptr_t kPostedReadDone = 0x4B02;      // the read ended; call Finish

// One read at a time. Start, Cancel, Finish and the queries belong to the window thread;
// the worker touches only the atomics and its own members until it posts its end. The button
// block (core/button_block.h) is per thread: Finish moves the worker's into the window thread's.
class SceneReadWorker {
 public:
  SceneReadWorker() = default;
  SceneReadWorker(const SceneReadWorker&) = delete;
  SceneReadWorker& operator=(const SceneReadWorker&) = delete;
  // Cancels a running read and waits for its thread.
  ~SceneReadWorker();

  // Starts reading the scene at scenePath (program view) into the button block, posting to
  // `window`. `gate` (may be null) is called on the worker with `gateContext` and the bytes
  // read after each block, before the progress is posted; its false cancels. False while a
  // read runs (nothing changes) or when no thread can be had.
  bool Start(void* window, const char* scenePath, XmlTree::BlockHandler gate = nullptr,
             void* gateContext = nullptr);
  // Whether a read was started and not yet finished.
  bool Busy() const { return busy_; }
  // Asks the read to stop at its next block; thread-safe, nothing without a read.
  void Cancel() { cancel_.store(true); }
  // Bytes read so far, and the scene file's size (0 when unknown).
  uint64_t BytesRead() const { return bytesRead_.load(); }
  uint64_t FileSize() const { return fileSize_; }
  // After kPostedReadDone: waits for the thread and tells how the read ended: true with the
  // buttons in the block, or false with failure set (kCancelled after Cancel). A parse error
  // is kept in ParseError / ParseErrorLine (empty when none). False without a read.
  bool Finish(ConversionFailure& failure);
  const std::string& ParseError() const { return parseError_; }
  int32_t ParseErrorLine() const { return parseErrorLine_; }
  // The window thread handled a progress event: the next block may post another one.
  void ProgressSeen() { progressPosted_.store(false); }

 private:
  void Run();
  static bool OnBlock(void* context, uint64_t bytesRead);
  static void OnParseError(void* context, const char* message, int32_t line);

  std::thread thread_;
  bool busy_ = false;
  void* window_ = nullptr;
  std::string scenePath_;
  XmlTree::BlockHandler gate_ = nullptr;
  void* gateContext_ = nullptr;
  uint64_t fileSize_ = 0;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> progressPosted_{false};  // a progress event is on its way: coalesce
  std::atomic<uint64_t> bytesRead_{0};
  // Written by the worker, read by the window thread after Finish's join.
  bool collected_ = false;
  ConversionFailure failure_;
  StringBuffer buttons_;  // the worker's button block, handed to the window thread's by Finish
  std::string parseError_;
  int32_t parseErrorLine_ = 0;
};
