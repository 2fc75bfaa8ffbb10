// GUI seam: the event entry point and the event pump.
//
// Each backend turns its native messages for the windows it created with
// CreateFrameWindow into PlatformEvent records and hands every one of them to
// the single handler that the toolkit installs with SetEventHandler (on
// Windows from the dialog procedure; elsewhere from the backend's dispatch).
// Codes, flags and coordinates are the toolkit's and identical on every
// backend. The toolkit side finds the window's record, delivers, runs the
// paint loop through BeginNativePaint/EndNativePaint, converts sizing
// rectangles and builds the list of dropped files.
//
// Notes for backends:
//  - Windows: the dialog procedure answers WM_INITDIALOG with 1 itself and
//    returns the handler's answer for everything else (0 = default dialog
//    handling). WM_PAINT arrives as kEventPaint; the toolkit then loops on
//    GetUpdateBounds / BeginNativePaint / EndNativePaint itself.
//  - A window that is being destroyed sends one kEventCloseRequest (as
//    WM_DESTROY does) before it goes, so a still-registered window is
//    unregistered by the toolkit.
//  - Names of dropped files are handed over whatever their length; the
//    toolkit leaves names over 259 characters empty.
#pragma once

#include <cstdint>

#include "platform/gui_rect.h"

namespace platform {

// Event codes of the toolkit.
enum EventCode : int32_t {
  kEventOther = 0,            // any other native message
  kEventOpen = 4,             // registration (made by the toolkit, never by a backend)
  kEventCloseRequest = 5,     // WM_CLOSE, WM_DESTROY: the user asks to close
  kEventClosing = 6,          // unregistration (made by the toolkit)
  kEventActivated = 7,        // WM_ACTIVATE with WA_ACTIVE or WA_CLICKACTIVE
  kEventDeactivated = 8,      // WM_ACTIVATE with WA_INACTIVE
  kEventSizing = 9,           // WM_SIZING: `sizing` holds the proposed outer rectangle
  kEventMaximised = 10,       // WM_SIZE with SIZE_MAXIMIZED
  kEventMinimised = 11,       // WM_SIZE with SIZE_MINIMIZED
  kEventRestored = 12,        // WM_SIZE with SIZE_RESTORED
  kEventLeftDown = 13,        // WM_LBUTTONDOWN; WM_LBUTTONDBLCLK with doubleClick
  kEventRightDown = 14,       // WM_RBUTTONDOWN; WM_RBUTTONDBLCLK with doubleClick
  kEventLeftUp = 15,          // WM_LBUTTONUP
  kEventRightUp = 16,         // WM_RBUTTONUP
  kEventMouseMove = 17,       // WM_MOUSEMOVE
  kEventKeyDown = 18,         // WM_KEYDOWN; WM_SYSKEYDOWN with systemKey
  kEventCharacter = 19,       // WM_CHAR; WM_SYSCHAR with systemKey
  kEventKeyUp = 20,           // WM_KEYUP; WM_SYSKEYUP with systemKey
  kEventPaint = 21,           // WM_PAINT: the window has an update region
  kEventTimer = 22,           // the toolkit's timer emulation (never a backend)
  kEventCommand = 23,         // WM_COMMAND from a child control
  kEventFilesDropped = 24,    // WM_DROPFILES: `dropCount` names in `dropNames`
  kEventVerticalScroll = 27,  // WM_VSCROLL
  kEventPosted = 28           // PostWindowEvent from any thread: rawWParam and rawLParam as posted
};

// One native message as the backend hands it to the toolkit.
struct PlatformEvent {
  void* window;  // the top-level window the message is for (HWND / FLTK record / headless)
  int32_t code;  // an EventCode
  int32_t x;     // mouse events: client coordinates; drops: the drop point
  int32_t y;
  int32_t character;  // key events: low byte of the key parameter, sign-extended
  uint32_t key;       // key-down and key-up: the full key parameter (virtual-key code)
  // Modifiers: for mouse events as carried by the message, otherwise the key
  // state at the time (shift, control, alt pressed; capsLock toggled).
  bool shift;
  bool control;
  bool alt;
  bool capsLock;
  bool repeat;          // key-down and character events: the auto-repeat bit
  bool systemKey;       // WM_SYS* key messages
  bool doubleClick;     // mouse double-click messages
  bool displayChanged;  // the screen's colour depth may have changed (WM_DISPLAYCHANGE)
  // Command events.
  int32_t commandId;     // the control's id (low word of wParam)
  int32_t notification;  // notification code (high word of wParam)
  void* sender;          // the sending control, or null
  // Sizing events: the proposed outer rectangle in screen coordinates; the
  // handler may change it, and the backend applies it when the answer is non-zero.
  Rect sizing;
  // Dropped files: names in the program's view, any length, owned by the
  // backend until the handler returns; a file whose path has no program view
  // (Linux: a '\' in a name) is handed over in its native form.
  int32_t dropCount;
  const char* const* dropNames;
  // The native message as received (zero where a backend has none).
  uintptr_t rawWindow;
  uintptr_t rawMessage;
  uintptr_t rawWParam;
  uintptr_t rawLParam;
};

// A command event from a control of the top-level window: id and notification
// packed as WM_COMMAND packs them, for backends that have no native message.
// The caller adds the modifiers.
inline PlatformEvent MakeCommandEvent(void* window, void* control, int32_t id,
                                      int32_t notification) {
  PlatformEvent event{};
  event.window = window;
  event.code = kEventCommand;
  event.commandId = id;
  event.notification = notification;
  event.sender = control;
  event.rawMessage = 0x0111;  // WM_COMMAND
  event.rawWParam = (uintptr_t(uint16_t(notification)) << 16) | uint16_t(id);
  event.rawLParam = reinterpret_cast<uintptr_t>(control);
  return event;
}

// The toolkit's entry point: returns the toolkit's answer (0 lets the backend's
// default handling apply).
using EventHandler = intptr_t (*)(PlatformEvent* event);

// Installs the handler that receives every event (null removes it).
void SetEventHandler(EventHandler handler);

// Dispatches every queued message of one top-level window (and its
// controls). With dialog navigation, and while the window itself does not
// have the focus, keyboard messages first get dialog handling (Tab moves the
// focus between tab-stop controls, IsDialogMessageA on Windows). Returns
// false for a null window.
bool PumpWindowMessages(void* window, bool dialogNavigation);

// Dispatches every remaining queued message of the thread, with no dialog handling.
void PumpThreadMessages();

// Lets the thread's windows repaint what needs it (uncovered or changed) and dispatches
// nothing else: input and every other message stay queued, in order, for the next pump. For
// a long task on the thread that serves the windows, so that they keep their pictures.
void PumpPaintMessages();

// Whether a message (including a pending repaint) is waiting, without removing it.
bool HasPendingMessages();

// Thread-safe, for any thread: queues a kEventPosted event for a top-level window, carrying
// `value` and `data` in rawWParam and rawLParam, and wakes the thread that serves the windows
// if it waits. Posted events are delivered in the order posted by that thread's pumps; one
// for a window that is gone by then is dropped. False when it cannot be queued (no such
// window where the system can tell, or no room).
bool PostWindowEvent(void* window, uintptr_t value, uintptr_t data);

// Timeout for WaitForMessages that never ends by itself.
constexpr uint32_t kWaitForever = 0xFFFFFFFF;

// Blocks until a message arrives or `timeoutMs` milliseconds have passed;
// returns at once when a message is already waiting.
void WaitForMessages(uint32_t timeoutMs);

}  // namespace platform
