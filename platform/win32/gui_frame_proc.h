// The dialog procedure of every window made by CreateFrameWindow: it turns the
// window's messages into PlatformEvent records for the toolkit's handler.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Dialog procedure of the frame windows; WM_INITDIALOG answers 1 here, every
// other message answers what the installed handler answers (0 without one).
INT_PTR CALLBACK FrameDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform::win32
