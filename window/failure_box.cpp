#include "window/failure_box.h"

#include "core/text_of.h"
#include "platform/native_path.h"
#include "ui/message_box.h"

const char kFailureTitle[] = "Tessaly KRN 2 HTML";

bool ShowFailure(void* owner, const ConversionFailure& failure) {
  if (!failure.Failed()) return false;
  StringBuffer text;
  if (!failure.FormatMessage(text)) return false;
  return ShowErrorMessage(owner, kFailureTitle, TextOf(text));
}

void TellTooLong(void* window, const StringBuffer& path) {
  if (path.Length() == 0) return;
  ConversionFailure failure;
  if (NativePathHasBackslashName(TextOf(path))) {
    failure.SetUserPath(ConversionFailureKind::kBackslashName, TextOf(path), "");
  } else {
    failure.Set(ConversionFailureKind::kPathTooLong, TextOf(path), 0);
  }
  ShowFailure(window, failure);
}
