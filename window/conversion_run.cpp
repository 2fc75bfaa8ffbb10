#include "window/conversion_run.h"

#include <utility>

#include "base/path_buffer.h"
#include "base/path_split.h"
#include "core/conversion_failure.h"
#include "core/text_of.h"
#include "platform/file_system.h"
#include "platform/gui_system.h"
#include "settings/converter_state.h"
#include "settings/settings_location.h"
#include "settings/templates.h"
#include "ui/child_control.h"
#include "ui/toolkit_window.h"
#include "window/conversion.h"
#include "window/failure_box.h"
#include "window/main_window.h"
#include "window/page_writer.h"
#include "window/window_globals.h"

namespace {

const char kCancelCaption[] = "Cancel";

// The file name of a program-view path.
const char* NameOf(const std::string& path) {
  return path.c_str() + SplitPathSpans(path.c_str()).nameStart;
}

}  // namespace

ConversionRun::~ConversionRun() {
  // The window may be gone by now (its closing stops the run first): the worker's own
  // destructor cancels and waits, and the button's window is left to its parent.
  if (cancelButton_ != nullptr) {
    cancelButton_->ownsWindow = false;
    DeleteControl(cancelButton_);
  }
}

void ConversionRun::Refuse() {
  if (!active_) return;
  // The running conversion goes on, and its progress line says why nothing else started.
  refused_ = true;
  if (!shown_) ShowProgress();
  UpdateCaption();
  if (shown_) bar_.PaintNow(window_);
}

bool ConversionRun::Start(void* window, ConverterState* state, ToolkitArray* controls,
                          std::vector<SceneToConvert> scenes) {
  if (active_) {
    Refuse();
    return false;
  }
  if (window == nullptr || state == nullptr) return false;
  window_ = window;
  state_ = state;
  controls_ = controls;
  scenes_ = std::move(scenes);
  next_ = 0;
  refused_ = false;
  active_ = true;
  startedAt_ = platform::GetMilliseconds();
  StartNext();
  return true;
}

void ConversionRun::StartNext() {
  while (active_ && next_ < scenes_.size()) {
    const SceneToConvert& item = scenes_[next_++];
    if (item.path.empty()) {
      // A name too long for the program's paths is told, and the next file follows.
      StringBuffer tooLong;
      if (!item.tooLong.empty() && tooLong.SetText(item.tooLong.c_str(), -1, 0)) {
        TellTooLong(window_, tooLong);
      }
      continue;
    }
    ReadFieldEdits(window_, state_, controls_);
    scene_ = item.path;
    // The scene's folder becomes the current directory, where the save dialog starts.
    PathBuffer folder(scene_.c_str());
    if (folder.SetFileName("")) SysSetCurrentDirectory(folder.path);
    PathBuffer templatePath;
    if (!SetTemplatePath(templatePath, TextOf(state_->templateName))) templatePath.Clear();
    templatePath_ = templatePath.path;
    bar_.SetProgress(0, 0);
    UpdateCaption();
    if (shown_) bar_.PaintNow(window_);
    if (worker_.Start(window_, scene_.c_str(), gate_, gateContext_)) return;
    // No thread to be had: the file is converted here, as the program did before it had one.
    PathBuffer scene(scene_.c_str());
    ConvertSceneFile(window_, state_, scene);
  }
  End();
}

void ConversionRun::OnPosted(uintptr_t value) {
  if (!active_) return;
  if (value == kPostedReadProgress && worker_.Busy()) {
    worker_.ProgressSeen();
    bar_.SetProgress(worker_.BytesRead(), worker_.FileSize());
    TellProgress();
  } else if (value == kPostedReadDone && worker_.Busy()) {
    if (!FinishRead()) StartNext();
  } else if (value == kPostedWriteProgress && writer_.Busy()) {
    writer_.ProgressSeen();
    bar_.SetProgress(writer_.BytesWritten(), writer_.PageLength());
    TellProgress();
  } else if (value == kPostedWriteDone && writer_.Busy()) {
    FinishWrite();
    StartNext();
  }
}

void ConversionRun::TellProgress() {
  UpdateCaption();
  if (!shown_ && platform::GetMilliseconds() - startedAt_ >= kProgressDelay) ShowProgress();
  if (shown_) bar_.PaintNow(window_);
}

bool ConversionRun::FinishRead() {
  ConversionFailure failure;
  const bool collected = worker_.Finish(failure);
  if (!worker_.ParseError().empty()) {
    ShowParseError(worker_.ParseError().c_str(), worker_.ParseErrorLine());
  }
  if (!collected) {
    ShowFailure(window_, failure);
    return false;
  }
  bar_.SetProgress(1, 1);
  UpdateCaption();
  if (shown_) bar_.PaintNow(window_);
  PathBuffer pagePath;
  if (!ChoosePagePath(pagePath)) return false;
  // The window may have closed while the dialog was open.
  if (!active_) return false;
  writing_ = true;
  startedAt_ = platform::GetMilliseconds();
  bar_.SetProgress(0, 0);
  if (writer_.Start(window_, templatePath_.c_str(), scene_.c_str(), pagePath.path, *state_,
                    writeGate_, writeGateContext_)) {
    UpdateCaption();
    if (shown_) bar_.PaintNow(window_);
    return true;
  }
  // No thread to be had: the page is written here, as before there was one.
  writing_ = false;
  WritePageAt(templatePath_.c_str(), scene_.c_str(), pagePath.path, state_);
  return false;
}

void ConversionRun::FinishWrite() {
  ConversionFailure failure;
  const bool written = writer_.Finish(failure);
  writing_ = false;
  // A cancel is told as for a read; any other failure as the write on this thread told it.
  if (!written) {
    ShowFailure(failure.kind == ConversionFailureKind::kCancelled ? window_ : mainWindow, failure);
  }
}

void ConversionRun::CancelCurrent() {
  if (worker_.Busy()) worker_.Cancel();
  if (writer_.Busy()) writer_.Cancel();
}

void ConversionRun::Stop() {
  if (!active_) return;
  active_ = false;
  worker_.Cancel();
  writer_.Cancel();
  ConversionFailure ignored;
  worker_.Finish(ignored);
  writer_.Finish(ignored);
  writing_ = false;
  scenes_.clear();
  HideProgress();
}

void ConversionRun::End() {
  active_ = false;
  scenes_.clear();
  HideProgress();
}

void ConversionRun::ShowProgress() {
  if (shown_ || window_ == nullptr) return;
  ToolkitRect client{};
  if (!GetWindowBounds(window_, false, &client)) return;
  const int width = client.right - client.left;
  stripTop_ = client.bottom - client.top;
  shown_ = true;
  SetClientSize(window_, width, stripTop_ + kProgressStripHeight);
  const int top = stripTop_ + 3;
  const int bottom = stripTop_ + kProgressStripHeight - 3;
  bar_.bounds = platform::DrawRect{4, top, width - 90, bottom};
  cancelButton_ = NewControl<PushButton>(
      window_, kCancelButtonId, ToolkitRect{width - 84, top, width - 4, bottom}, kCancelCaption);
  // The button goes when the progress does, not only with the window.
  if (cancelButton_ != nullptr) cancelButton_->ownsWindow = true;
  InvalidateAll(window_);
}

void ConversionRun::HideProgress() {
  if (!shown_) return;
  shown_ = false;
  DeleteControl(cancelButton_);
  cancelButton_ = nullptr;
  ToolkitRect client{};
  if (window_ != nullptr && GetWindowBounds(window_, false, &client)) {
    SetClientSize(window_, client.right - client.left, stripTop_);
    InvalidateAll(window_);
  }
}

void ConversionRun::UpdateCaption() {
  StringBuffer text;
  const unsigned percent = bar_.Permille() / 10;
  const char* wait = refused_ ? "One conversion at a time. " : "";
  const char* doing = writing_ ? "Writing" : "Reading";
  const char* name = writing_ ? NameOf(writer_.PagePath()) : NameOf(scene_);
  bool made = scenes_.size() > 1 ? text.Format("%s%s %s (file %u of %u): %u%%", wait, doing, name,
                                               unsigned(next_), unsigned(scenes_.size()), percent)
                                 : text.Format("%s%s %s: %u%%", wait, doing, name, percent);
  if (made) bar_.SetCaption(TextOf(text));
}

void ConversionRun::Paint(void* dc) const {
  if (shown_) bar_.Paint(dc);
}
