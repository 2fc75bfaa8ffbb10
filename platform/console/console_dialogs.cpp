// Dialogs without a display: a message box is a line on standard error, a file dialog is
// never shown.
#include <cstring>

#include "platform/console.h"
#include "platform/console/console_desktop.h"
#include "platform/gui_dialogs.h"

namespace platform {

bool RunFileDialog(FileDialogRequest* /*request*/) {
  return false;
}

int ShowMessageBox(void* /*owner*/, const char* text, const char* title, uint32_t /*flags*/) {
  if (text == nullptr) text = "";
  bool written = true;
  if (title != nullptr && *title != '\0') {
    written = SysWriteStandard(kStandardError, title, uint32_t(std::strlen(title))) &&
              SysWriteStandard(kStandardError, ": ", 2);
  }
  written = written && SysWriteStandard(kStandardError, text, uint32_t(std::strlen(text))) &&
            SysWriteStandard(kStandardError, "\n", 1);
  // IDOK, as a user who read the box and pressed its one button.
  return written ? 1 : 0;
}

}  // namespace platform
