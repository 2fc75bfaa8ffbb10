// A conversion of the window program that runs beside the windows: the scene of each file is
// read on a worker thread (SceneReadWorker), the window thread asks for the page when the read
// ends, and the page is made and written on another (PageWriteWorker); meanwhile the window
// thread keeps serving the windows and shows the progress once the conversion takes a while.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/progress_bar.h"
#include "window/page_write_worker.h"
#include "window/scene_read_worker.h"

class ChildControl;
class ToolkitArray;
struct ConverterState;

// Control id of the Cancel button beside the progress.
constexpr int kCancelButtonId = 3;
// How long a conversion runs before the window shows its progress, in milliseconds.
constexpr uint32_t kProgressDelay = 500;
// Height of the strip under the main window's controls that holds the progress.
constexpr int kProgressStripHeight = 30;
// The key that cancels the conversion of the current file (VK_ESCAPE).
constexpr uint32_t kCancelKey = 0x1B;

// One file of a conversion: its path (program view), or an empty path and the name the system
// gave for a file whose path is too long for the program (told in turn, then passed over).
struct SceneToConvert {
  std::string path;
  std::string tooLong;
};

// The files of one drop (or the one chosen file), converted in turn. Everything but the
// worker's own thread runs on the window thread. One run at a time.
class ConversionRun {
 public:
  ConversionRun() = default;
  ConversionRun(const ConversionRun&) = delete;
  ConversionRun& operator=(const ConversionRun&) = delete;
  // Cancels a running read or write and waits for it, touching no window (Stop is for a live
  // one).
  ~ConversionRun();

  // Starts converting `scenes` for `window` with the state's template and the values typed
  // in `controls`. False, changing nothing but telling the user on the progress line, while a
  // conversion runs.
  bool Start(void* window, ConverterState* state, ToolkitArray* controls,
             std::vector<SceneToConvert> scenes);
  // Tells on the progress line, shown at once, that one conversion runs at a time.
  void Refuse();
  // Whether a conversion runs (a read, a write, or files still to convert).
  bool Busy() const { return active_; }
  // A kEventPosted value of a worker: progress, the end of a read (which goes on to the save
  // dialog and the page's write) or the end of a write (which goes on to the next file).
  void OnPosted(uintptr_t value);
  // Stops the current file's read or page write at its next block: no page (an existing one
  // stays as it was), "The conversion of <file> was cancelled" told, and the next file
  // follows. Nothing without a read or write.
  void CancelCurrent();
  // Stops the conversion for good (the window closes): cancels the read or write, waits for
  // its worker and converts nothing more; nothing is told.
  void Stop();

  // Paints the progress strip into dc when it is shown.
  void Paint(void* dc) const;
  // Whether the progress strip is shown, and its bar.
  bool ProgressShown() const { return shown_; }
  const ProgressBar& Bar() const { return bar_; }

  // Holds each read block back: `gate` is handed to every read's worker (see SceneReadWorker).
  // For tests that need a read in flight.
  void SetReadGate(XmlTree::BlockHandler gate, void* context) {
    gate_ = gate;
    gateContext_ = context;
  }
  // Holds the page write back the same way: `gate` is handed to every write's worker (see
  // PageWriteWorker). For tests that need a write in flight.
  void SetWriteGate(XmlTree::BlockHandler gate, void* context) {
    writeGate_ = gate;
    writeGateContext_ = context;
  }

 private:
  // Starts the next file that can be read; ends the run when none is left.
  void StartNext();
  // The read ended: tells its failure or parse error, then asks for the page and starts its
  // write. True when the write runs on its worker (its end comes as kPostedWriteDone).
  bool FinishRead();
  // The write ended: tells its failure, or that it was cancelled.
  void FinishWrite();
  // Puts the bar's progress in its caption, shows the strip once the conversion (or the
  // page's write) has run for kProgressDelay, and paints it.
  void TellProgress();
  void End();
  void ShowProgress();
  void HideProgress();
  void UpdateCaption();

  void* window_ = nullptr;
  ConverterState* state_ = nullptr;
  ToolkitArray* controls_ = nullptr;
  std::vector<SceneToConvert> scenes_;
  size_t next_ = 0;  // the file after the current one
  bool active_ = false;
  bool refused_ = false;  // a second conversion was asked for during this one
  std::string scene_;     // the file being read or whose page is written
  bool writing_ = false;  // the page of scene_ is being written
  std::string templatePath_;
  uint32_t startedAt_ = 0;  // when the run, or the current page's write, began
  bool shown_ = false;
  int stripTop_ = 0;  // the client height without the strip
  ProgressBar bar_;
  ChildControl* cancelButton_ = nullptr;
  XmlTree::BlockHandler gate_ = nullptr;
  void* gateContext_ = nullptr;
  XmlTree::BlockHandler writeGate_ = nullptr;
  void* writeGateContext_ = nullptr;
  SceneReadWorker worker_;
  PageWriteWorker writer_;
};
