// GUI seam: child controls (push button, single-line edit, static label).
//
// Control handles are windows (`void*`: HWND on Windows, the FLTK backend's
// widget record on Linux, a headless::Window* in tests); destroy them with
// DestroyNativeWindow (platform/gui_window.h) or with their parent.
// A click on a push button reaches the parent's event entry point as a
// command event (code 23) with the control's id, notification 0, and the
// control as `sender`; a double-click has notification 5.
#pragma once

#include <cstdint>

#include "platform/gui_rect.h"

namespace platform {

// Classes of child control, after the Win32 classes "BUTTON", "EDIT", "STATIC".
enum class ControlClass { kButton, kEdit, kStatic };

// Control style bits the toolkit uses, valued as Win32's constants.
constexpr uint32_t kButtonPush = 0x00000000;       // BS_PUSHBUTTON
constexpr uint32_t kEditAutoHScroll = 0x00000080;  // ES_AUTOHSCROLL
constexpr uint32_t kStaticNotify = 0x00000100;     // SS_NOTIFY

// Notification codes of command events, valued as Win32's.
constexpr int kButtonClicked = 0;        // BN_CLICKED
constexpr int kButtonDoubleClicked = 5;  // BN_DOUBLECLICKED
constexpr int kStaticDoubleClicked = 1;  // STN_DBLCLK
constexpr int kEditChanged = 0x300;      // EN_CHANGE

// Creates a child control of `parent` with the class, the style double word
// (WS_CHILD, WS_VISIBLE, WS_BORDER, WS_TABSTOP and the class bits), the
// rectangle in the parent's client coordinates and the window text (null for
// none); the id is 0 until SetControlId. Returns null on failure.
void* CreateChildControl(void* parent, ControlClass controlClass, uint32_t style, const Rect& rect,
                         const char* text);

// Sets the control id that command events carry; false on failure.
bool SetControlId(void* control, int id);

// The control id; 0 on failure.
int GetControlId(void* control);

// Writes the class name, upper-cased ("BUTTON", "EDIT", "STATIC"; top-level
// windows report their own class), into `buffer`; false when it does not fit or on failure.
bool GetControlClassName(void* control, char* buffer, int size);

// Replaces the control's text (null sets the empty text); false on failure.
bool SetControlText(void* control, const char* text);

// Length of the control's text in characters; 0 on failure.
int GetControlTextLength(void* control);

// Copies at most size - 1 characters of the text and a terminating NUL
// (GetWindowTextA); returns the number of characters copied, 0 on failure.
int GetControlText(void* control, char* buffer, int size);

}  // namespace platform
