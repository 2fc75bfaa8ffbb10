#include "ui/message_box.h"

#include "platform/gui_dialogs.h"

bool ShowMessage(void* owner, const char* title, const char* text) {
  if (!title || !text) return false;
  return platform::ShowMessageBox(owner, text, title, platform::kMessageIconInformation) != 0;
}

bool ShowErrorMessage(void* owner, const char* title, const char* text) {
  if (!title || !text) return false;
  return platform::ShowMessageBox(owner, text, title, platform::kMessageIconError) != 0;
}
