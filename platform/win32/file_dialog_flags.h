// The OPENFILENAME flags the file dialogs pass to COMDLG32.
#pragma once

#include <cstdint>

#include "platform/gui_dialogs.h"

namespace platform::win32 {

// The request's flags as given to GetOpenFileNameA / GetSaveFileNameA: a save dialog keeps
// OFN_PATHMUSTEXIST (a page goes into an existing folder) and drops OFN_FILEMUSTEXIST (a
// page is saved under a new name).
uint32_t NativeFileDialogFlags(const FileDialogRequest& request);

}  // namespace platform::win32
