#include "window/scene_read_worker.h"

#include <system_error>
#include <utility>

#include "base/file_handle.h"
#include "base/path_buffer.h"
#include "core/button_block.h"
#include "core/page_conversion.h"
#include "platform/gui_events.h"

SceneReadWorker::~SceneReadWorker() {
  Cancel();
  if (thread_.joinable()) thread_.join();
}

bool SceneReadWorker::Start(void* window, const char* scenePath, XmlTree::BlockHandler gate,
                            void* gateContext) {
  if (busy_ || scenePath == nullptr) return false;
  window_ = window;
  scenePath_ = scenePath;
  gate_ = gate;
  gateContext_ = gateContext;
  fileSize_ = 0;
  PathBuffer path(scenePath);
  FileHandle file(path);
  uint32_t size = 0;
  if (file.Open(0) && file.GetSize(&size)) fileSize_ = size;
  file.Close();
  cancel_.store(false);
  progressPosted_.store(false);
  bytesRead_.store(0);
  collected_ = false;
  failure_.Clear();
  parseError_.clear();
  parseErrorLine_ = 0;
  // std::thread reports a thread it cannot start by throwing; that stays inside this call.
  try {
    thread_ = std::thread(&SceneReadWorker::Run, this);
  } catch (const std::system_error&) {
    return false;
  }
  busy_ = true;
  return true;
}

bool SceneReadWorker::Finish(ConversionFailure& failure) {
  if (!busy_) return false;
  if (thread_.joinable()) thread_.join();
  busy_ = false;
  failure.Clear();
  if (!collected_) {
    ClearButtonBlock();
    failure.kind = failure_.kind;
    failure.path = std::move(failure_.path);
    failure.reason = std::move(failure_.reason);
    return false;
  }
  StringBuffer* block = ButtonBlock();
  if (block == nullptr) {
    return failure.Set(ConversionFailureKind::kNoMemoryForScene, scenePath_.c_str(), 0);
  }
  *block = std::move(buttons_);
  return true;
}

void SceneReadWorker::Run() {
  ConversionRequest request;
  request.scenePath = scenePath_.c_str();
  request.parseErrorHandler = &SceneReadWorker::OnParseError;
  request.parseErrorContext = this;
  request.whileReading = &SceneReadWorker::OnBlock;
  request.whileReadingContext = this;
  collected_ = CollectSceneButtons(request, failure_);
  if (StringBuffer* block = ButtonBlock()) buttons_ = std::move(*block);
  // A cancel that came after the last block still means no page.
  if (collected_ && cancel_.load()) {
    collected_ = false;
    failure_.Set(ConversionFailureKind::kCancelled, scenePath_.c_str(), 0);
  }
  platform::PostWindowEvent(window_, kPostedReadDone, 0);
}

bool SceneReadWorker::OnBlock(void* context, uint64_t bytesRead) {
  SceneReadWorker* self = static_cast<SceneReadWorker*>(context);
  if (self->gate_ != nullptr && !self->gate_(self->gateContext_, bytesRead)) return false;
  self->bytesRead_.store(bytesRead);
  // One progress event on its way at a time: the window reads BytesRead when it comes.
  if (!self->progressPosted_.exchange(true)) {
    platform::PostWindowEvent(self->window_, kPostedReadProgress, 0);
  }
  return !self->cancel_.load();
}

void SceneReadWorker::OnParseError(void* context, const char* message, int32_t line) {
  SceneReadWorker* self = static_cast<SceneReadWorker*>(context);
  self->parseError_ = message != nullptr ? message : "";
  self->parseErrorLine_ = line;
}
