// Headless file dialogs and message boxes: answered from queues, recorded.
#include <cstring>

#include "platform/gui_dialogs.h"
#include "platform/headless/headless_state.h"
#include "platform/native_path.h"

namespace {

// The marker of a queued cancel among the file answers.
const char kCancel[] = "\x01";

std::vector<std::pair<std::string, std::string>> ParseFilter(const char* filter) {
  std::vector<std::pair<std::string, std::string>> pairs;
  if (!filter) return pairs;
  const char* p = filter;
  while (*p) {
    std::string description = p;
    p += description.size() + 1;
    std::string patterns = p;
    p += patterns.size() + (*p ? 1 : 0);
    pairs.emplace_back(description, patterns);
  }
  return pairs;
}

bool HasExtension(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  size_t dot = path.rfind('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

}  // namespace

namespace headless {

void QueueFileAnswer(const std::string& path) {
  State().fileAnswers.push_back(path);
}
void QueueFileCancel() {
  State().fileAnswers.push_back(kCancel);
}
const std::vector<FileDialogRecord>& FileDialogs() {
  return State().fileDialogs;
}
const std::vector<MessageBoxRecord>& MessageBoxes() {
  return State().messageBoxes;
}
void QueueMessageBoxAnswer(int answer) {
  State().messageBoxAnswers.push_back(answer);
}

}  // namespace headless

namespace platform {

bool RunFileDialog(FileDialogRequest* request) {
  if (!request || !request->path) return false;
  headless::DesktopState& state = headless::State();
  headless::FileDialogRecord record;
  record.owner = request->owner;
  record.title = request->title ? request->title : "";
  record.filters = ParseFilter(request->filter);
  record.initialName.assign(request->path, strnlen(request->path, kFileDialogPathSize));
  record.defaultExtension = request->defaultExtension ? request->defaultExtension : "";
  record.flags = request->flags;
  record.save = request->save;
  std::string answer = kCancel;
  if (!state.fileAnswers.empty()) {
    answer = state.fileAnswers.front();
    state.fileAnswers.pop_front();
  }
  record.answered = answer != kCancel;
  state.fileDialogs.push_back(record);
  if (answer == kCancel) return false;
  // A typed name without an extension gets the default one, as the real dialog does.
  if (!record.defaultExtension.empty() && !HasExtension(answer)) {
    answer += "." + record.defaultExtension;
  }
  if (answer.size() >= size_t(kFileDialogPathSize) || NativePathHasBackslashName(answer.c_str())) {
    // Too long for the program's paths, or a native path without a program view: handed back
    // whole where the caller wants it.
    if (request->longPath != nullptr && request->longPathSize > answer.size()) {
      std::memcpy(request->longPath, answer.c_str(), answer.size() + 1);
    }
    return false;
  }
  std::memcpy(request->path, answer.c_str(), answer.size() + 1);
  return true;
}

int ShowMessageBox(void* owner, const char* text, const char* title, uint32_t flags) {
  if (!text) return 0;
  headless::DesktopState& state = headless::State();
  state.messageBoxes.push_back({owner, title ? title : "", text, flags});
  if (state.messageBoxAnswers.empty()) return 1;
  int answer = state.messageBoxAnswers.front();
  state.messageBoxAnswers.pop_front();
  return answer;
}

}  // namespace platform
