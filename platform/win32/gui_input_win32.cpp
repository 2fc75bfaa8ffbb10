// Pointer, mouse buttons, modifier keys, cursor visibility and screen size over USER32.
#include <windows.h>

#include "platform/gui_input.h"
#include "platform/win32/gui_display_dpi.h"

namespace platform {

bool GetPointerPosition(int* x, int* y) {
  if (!x || !y) return false;
  POINT point{};
  if (!GetCursorPos(&point)) {
    *x = 0;
    *y = 0;
    return false;
  }
  // The pixel under the pointer, in units of the system's DPI.
  *x = UnitAtPixel(point.x, win32::SystemDpi());
  *y = UnitAtPixel(point.y, win32::SystemDpi());
  return true;
}

bool SetPointerPosition(int x, int y) {
  return SetCursorPos(ScaleUp(x, win32::SystemDpi()), ScaleUp(y, win32::SystemDpi())) != FALSE;
}

bool IsMouseButtonDown(int button) {
  if (button != 0 && button != 1) return false;
  // With swapped buttons the primary button is the right one.
  bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
  int key = (button == 0) != swapped ? VK_LBUTTON : VK_RBUTTON;
  return GetAsyncKeyState(key) < 0;
}

KeyState GetKeyState() {
  KeyState state{};
  state.shift = ::GetKeyState(VK_SHIFT) < 0;
  state.control = ::GetKeyState(VK_CONTROL) < 0;
  state.alt = ::GetKeyState(VK_MENU) < 0;
  state.capsLock = (::GetKeyState(VK_CAPITAL) & 1) != 0;
  return state;
}

void ShowPointer(bool show) {
  ShowCursor(show ? TRUE : FALSE);
}

int GetScreenWidth() {
  return ScaleDown(GetSystemMetrics(SM_CXSCREEN), win32::SystemDpi());
}

int GetScreenHeight() {
  return ScaleDown(GetSystemMetrics(SM_CYSCREEN), win32::SystemDpi());
}

}  // namespace platform
