#include "window/page_write_worker.h"

#include <system_error>
#include <utility>

#include "core/button_block.h"
#include "core/page_conversion.h"
#include "platform/gui_events.h"

namespace {

// Fills copy with the elements of list, in order; false when memory runs out.
bool CopyList(const StringList& list, StringList& copy) {
  copy.Clear();
  for (int32_t i = 0; i < list.count; ++i) {
    if (!copy.Append(list.items[i].Data())) return false;
  }
  return true;
}

}  // namespace

PageWriteWorker::~PageWriteWorker() {
  Cancel();
  if (thread_.joinable()) thread_.join();
}

bool PageWriteWorker::Start(void* window, const char* templatePath, const char* scenePath,
                            const char* pagePath, const ConverterState& state,
                            XmlTree::BlockHandler gate, void* gateContext) {
  if (busy_ || templatePath == nullptr || scenePath == nullptr || pagePath == nullptr) {
    return false;
  }
  StringBuffer* block = ButtonBlock();
  if (block == nullptr || !CopyList(state.fieldNames, fieldNames_) ||
      !CopyList(state.fieldValues, fieldValues_)) {
    return false;
  }
  window_ = window;
  templatePath_ = templatePath;
  scenePath_ = scenePath;
  pagePath_ = pagePath;
  gate_ = gate;
  gateContext_ = gateContext;
  cancel_.store(false);
  progressPosted_.store(false);
  bytesWritten_.store(0);
  pageLength_.store(0);
  written_ = false;
  failure_.Clear();
  buttons_ = std::move(*block);
  // std::thread reports a thread it cannot start by throwing; that stays inside this call.
  try {
    thread_ = std::thread(&PageWriteWorker::Run, this);
  } catch (const std::system_error&) {
    *block = std::move(buttons_);
    return false;
  }
  busy_ = true;
  return true;
}

bool PageWriteWorker::Finish(ConversionFailure& failure) {
  if (!busy_) return false;
  if (thread_.joinable()) thread_.join();
  busy_ = false;
  // The block goes back where the read left it.
  if (StringBuffer* block = ButtonBlock()) *block = std::move(buttons_);
  failure.Clear();
  if (written_) return true;
  failure.kind = failure_.kind;
  failure.path = std::move(failure_.path);
  failure.reason = std::move(failure_.reason);
  return false;
}

void PageWriteWorker::Run() {
  StringBuffer* block = ButtonBlock();
  if (block == nullptr) {
    failure_.Set(ConversionFailureKind::kNoMemoryForPage, pagePath_.c_str(), 0);
  } else {
    *block = std::move(buttons_);
    ConversionRequest request;
    request.templatePath = templatePath_.c_str();
    request.fieldNames = &fieldNames_;
    request.fieldValues = &fieldValues_;
    request.scenePath = scenePath_.c_str();
    request.pagePath = pagePath_.c_str();
    request.whileWriting = &PageWriteWorker::OnBlock;
    request.whileWritingContext = this;
    written_ = AssemblePage(request, failure_);
    buttons_ = std::move(*block);
  }
  platform::PostWindowEvent(window_, kPostedWriteDone, 0);
}

bool PageWriteWorker::OnBlock(void* context, uint64_t bytesWritten, uint64_t length) {
  PageWriteWorker* self = static_cast<PageWriteWorker*>(context);
  if (self->gate_ != nullptr && !self->gate_(self->gateContext_, bytesWritten)) return false;
  self->pageLength_.store(length);
  self->bytesWritten_.store(bytesWritten);
  // One progress event on its way at a time: the window reads BytesWritten when it comes.
  if (!self->progressPosted_.exchange(true)) {
    platform::PostWindowEvent(self->window_, kPostedWriteProgress, 0);
  }
  return !self->cancel_.load();
}
