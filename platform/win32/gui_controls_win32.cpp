// Child controls of the classes "BUTTON", "EDIT" and "STATIC" over USER32.
#include <windows.h>

#include <cctype>
#include <cstring>

#include "platform/gui_controls.h"
#include "platform/win32/gui_display_dpi.h"

namespace platform {

namespace {

HWND AsWindow(void* window) {
  return static_cast<HWND>(window);
}

const char* ClassNameOf(ControlClass controlClass) {
  switch (controlClass) {
    case ControlClass::kButton:
      return "BUTTON";
    case ControlClass::kEdit:
      return "EDIT";
    case ControlClass::kStatic:
      return "STATIC";
  }
  return nullptr;
}

}  // namespace

void* CreateChildControl(void* parent, ControlClass controlClass, uint32_t style, const Rect& rect,
                         const char* text) {
  const char* className = ClassNameOf(controlClass);
  if (!parent || !className) return nullptr;
  HINSTANCE instance =
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(AsWindow(parent), GWLP_HINSTANCE));
  // Edges are scaled, so that neighbouring controls still meet.
  int dpi = win32::WindowDpi(AsWindow(parent));
  Rect r = win32::PixelsRect(rect, dpi);
  HWND control = CreateWindowExA(0, className, text, style, r.left, r.top, r.right - r.left,
                                 r.bottom - r.top, AsWindow(parent), nullptr, instance, nullptr);
  if (control && dpi != kBaseDpi) win32::SetControlFontForDpi(control, dpi);
  return control;
}

bool SetControlId(void* control, int id) {
  if (!control) return false;
  // The previous id may be 0, so a zero answer is a failure only with an error set.
  SetLastError(0);
  LONG previous = SetWindowLongA(AsWindow(control), GWL_ID, id);
  return previous != 0 || GetLastError() == 0;
}

int GetControlId(void* control) {
  return control ? GetDlgCtrlID(AsWindow(control)) : 0;
}

bool GetControlClassName(void* control, char* buffer, int size) {
  if (!control || !buffer || size <= 0) return false;
  char name[256];
  int length = GetClassNameA(AsWindow(control), name, sizeof(name));
  if (length <= 0 || length + 1 > size) return false;
  for (int i = 0; i < length; ++i) {
    buffer[i] = char(std::toupper(static_cast<unsigned char>(name[i])));
  }
  buffer[length] = '\0';
  return true;
}

bool SetControlText(void* control, const char* text) {
  return control && SetWindowTextA(AsWindow(control), text ? text : "") != FALSE;
}

int GetControlTextLength(void* control) {
  return control ? GetWindowTextLengthA(AsWindow(control)) : 0;
}

int GetControlText(void* control, char* buffer, int size) {
  if (!control || !buffer || size <= 0) return 0;
  return GetWindowTextA(AsWindow(control), buffer, size);
}

}  // namespace platform
