// The frame windows' dialog procedure and the message pump over USER32 and SHELL32.
#include <windows.h>
// Needs <windows.h> first.
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/gui_events.h"
#include "platform/win32/gui_display_dpi.h"
#include "platform/win32/gui_frame_proc.h"

namespace platform {

namespace {

EventHandler gHandler = nullptr;

// The message PostWindowEvent posts: value in wParam, data in lParam.
constexpr UINT kPostedMessage = WM_APP + 0x23;

bool IsMouseMessage(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE:
      return true;
    default:
      return false;
  }
}

// The toolkit's event code of a message; kEventOther for any message it does not name.
int32_t CodeOf(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_CLOSE:
    case WM_DESTROY:
      return kEventCloseRequest;
    case WM_ACTIVATE:
      return LOWORD(wParam) == WA_INACTIVE ? kEventDeactivated : kEventActivated;
    case WM_SIZING:
      return kEventSizing;
    case WM_SIZE:
      switch (wParam) {
        case SIZE_MAXIMIZED:
          return kEventMaximised;
        case SIZE_MINIMIZED:
          return kEventMinimised;
        case SIZE_RESTORED:
          return kEventRestored;
        default:
          return kEventOther;
      }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return kEventLeftDown;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return kEventRightDown;
    case WM_LBUTTONUP:
      return kEventLeftUp;
    case WM_RBUTTONUP:
      return kEventRightUp;
    case WM_MOUSEMOVE:
      return kEventMouseMove;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return kEventKeyDown;
    case WM_CHAR:
    case WM_SYSCHAR:
      return kEventCharacter;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return kEventKeyUp;
    case WM_PAINT:
      return kEventPaint;
    case WM_COMMAND:
      return kEventCommand;
    case WM_DROPFILES:
      return kEventFilesDropped;
    case kPostedMessage:
      return kEventPosted;
    case WM_VSCROLL:
      return kEventVerticalScroll;
    default:
      return kEventOther;
  }
}

// Fills the record for one message; drop names are read by the caller.
void Translate(HWND window, UINT message, WPARAM wParam, LPARAM lParam, PlatformEvent* event) {
  event->window = window;
  event->code = CodeOf(message, wParam);
  event->rawWindow = reinterpret_cast<uintptr_t>(window);
  event->rawMessage = message;
  event->rawWParam = wParam;
  event->rawLParam = uintptr_t(lParam);
  event->displayChanged = message == WM_DISPLAYCHANGE;
  if (event->code == kEventOther) return;

  if (IsMouseMessage(message)) {
    // The pixel under the pointer, in units.
    int dpi = win32::WindowDpi(window);
    event->x = UnitAtPixel(LOWORD(lParam), dpi);
    event->y = UnitAtPixel(HIWORD(lParam), dpi);
    event->shift = (wParam & MK_SHIFT) != 0;
    event->control = (wParam & MK_CONTROL) != 0;
    event->doubleClick = message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
  } else {
    event->shift = ::GetKeyState(VK_SHIFT) < 0;
    event->control = ::GetKeyState(VK_CONTROL) < 0;
  }
  event->alt = ::GetKeyState(VK_MENU) < 0;
  event->capsLock = (::GetKeyState(VK_CAPITAL) & 1) != 0;

  switch (event->code) {
    case kEventKeyDown:
    case kEventCharacter:
    case kEventKeyUp:
      event->character = int32_t(int8_t(wParam & 0xFF));
      if (event->code != kEventCharacter) event->key = uint32_t(wParam);
      event->repeat = event->code != kEventKeyUp && (lParam & (1 << 30)) != 0;
      event->systemKey =
          message == WM_SYSKEYDOWN || message == WM_SYSCHAR || message == WM_SYSKEYUP;
      break;
    case kEventCommand:
      event->commandId = LOWORD(wParam);
      event->notification = HIWORD(wParam);
      event->sender = reinterpret_cast<void*>(lParam);
      break;
    case kEventSizing:
      if (lParam) {
        const RECT* r = reinterpret_cast<const RECT*>(lParam);
        event->sizing =
            win32::UnitsRect({r->left, r->top, r->right, r->bottom}, win32::WindowDpi(window));
      }
      break;
    default:
      break;
  }
}

// Reads the dropped names and the drop point, then releases the drop.
void ReadDrop(HWND window, HDROP drop, PlatformEvent* event, std::vector<std::string>* names) {
  POINT point{};
  DragQueryPoint(drop, &point);
  int dpi = win32::WindowDpi(window);
  event->x = UnitAtPixel(point.x, dpi);
  event->y = UnitAtPixel(point.y, dpi);
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  names->resize(count);
  for (UINT i = 0; i < count; ++i) {
    UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::string& name = (*names)[i];
    name.assign(length + 1, '\0');
    UINT got = DragQueryFileA(drop, i, name.data(), length + 1);
    name.resize(got <= length ? got : length);
  }
  DragFinish(drop);
}

}  // namespace

namespace win32 {

INT_PTR CALLBACK FrameDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return TRUE;
  PlatformEvent event{};
  Translate(window, message, wParam, lParam, &event);

  std::vector<std::string> names;
  std::vector<const char*> pointers;
  if (message == WM_DROPFILES) {
    // The drop is released here whether or not anyone takes it.
    ReadDrop(window, reinterpret_cast<HDROP>(wParam), &event, &names);
    for (const std::string& name : names) pointers.push_back(name.c_str());
    event.dropCount = int32_t(pointers.size());
    event.dropNames = pointers.empty() ? nullptr : pointers.data();
  }

  intptr_t answer = gHandler ? gHandler(&event) : 0;

  if (message == WM_SIZING && answer && lParam) {
    RECT* r = reinterpret_cast<RECT*>(lParam);
    Rect pixels = win32::PixelsRect(event.sizing, win32::WindowDpi(window));
    *r = {pixels.left, pixels.top, pixels.right, pixels.bottom};
  }
  // Moved onto a monitor of another DPI: the system's proposed rectangle and
  // the controls rescaled, so the window keeps its size in units.
  if (message == WM_DPICHANGED) {
    win32::ApplyDpiChange(window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
    return TRUE;
  }
  if (message == WM_DESTROY) win32::ForgetLayoutDpi(window);
  // Closing is the toolkit's decision alone: the default dialog handling of
  // WM_CLOSE would send a command with id 2 (IDCANCEL), which is an ordinary
  // control id of the toolkit's windows.
  if (message == WM_CLOSE) return TRUE;
  return answer;
}

}  // namespace win32

void SetEventHandler(EventHandler handler) {
  gHandler = handler;
}

bool PostWindowEvent(void* window, uintptr_t value, uintptr_t data) {
  // PostMessage is thread-safe and wakes WaitMessage / MsgWaitForMultipleObjects on the
  // thread that created the window; it fails for a window that no longer exists.
  return window && PostMessageA(static_cast<HWND>(window), kPostedMessage, WPARAM(value),
                                LPARAM(data)) != FALSE;
}

namespace {

// Escape is not handed to dialog handling: it would send a command with id 2
// (IDCANCEL), the id of an ordinary control in the toolkit's windows.
bool IsEscape(const MSG& message) {
  return (message.message == WM_KEYDOWN || message.message == WM_KEYUP ||
          message.message == WM_CHAR) &&
         message.wParam == VK_ESCAPE;
}

}  // namespace

bool PumpWindowMessages(void* window, bool dialogNavigation) {
  if (!window) return false;
  HWND filter = static_cast<HWND>(window);
  MSG message;
  while (PeekMessageA(&message, filter, 0, 0, PM_REMOVE)) {
    // Escape pressed in a control is the window's key (it stops a conversion); an edit box
    // has no use for it.
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE && message.hwnd != filter &&
        IsChild(filter, message.hwnd)) {
      message.hwnd = filter;
    }
    if (dialogNavigation && GetFocus() != filter && !IsEscape(message) &&
        IsDialogMessageA(filter, &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

void PumpThreadMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void PumpPaintMessages() {
  // WM_PAINT is made while a window has an update region, and painting empties it; the bound
  // keeps a window that leaves its region from holding the caller here.
  constexpr int kMostPaints = 64;
  MSG message;
  for (int i = 0; i < kMostPaints && PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE);
       ++i) {
    DispatchMessageA(&message);
  }
}

bool HasPendingMessages() {
  MSG message;
  return PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}

void WaitForMessages(uint32_t timeoutMs) {
  if (HasPendingMessages()) return;
  if (timeoutMs == kWaitForever) {
    WaitMessage();
  } else {
    // A timer is pending: wake for input or when it is due, whichever comes first.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_ALLINPUT);
  }
}

}  // namespace platform
