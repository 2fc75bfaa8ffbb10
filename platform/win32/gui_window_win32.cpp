// Top-level windows from in-memory dialog templates, geometry, state and painting over USER32.
#include <windows.h>
// Needs <windows.h> first.
#include <shellapi.h>

#include <cstring>

#include "platform/gui_window.h"
#include "platform/win32/gui_display_dpi.h"
#include "platform/win32/gui_frame_proc.h"

namespace platform {

namespace {

HWND AsWindow(void* window) {
  return static_cast<HWND>(window);
}

using win32::PixelsRect;
using win32::UnitsRect;
using win32::WindowDpi;

bool IsControl(HWND window) {
  return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0;
}

// The screen place of a window's client area in units: a top-level window's
// scales on its own; a control's is its parent's plus its own place in the
// parent, so that controls and their parent agree to the unit.
bool ClientOriginUnits(HWND window, int dpi, int* x, int* y) {
  POINT origin{0, 0};
  if (!ClientToScreen(window, &origin)) return false;
  HWND parent = IsControl(window) ? GetParent(window) : nullptr;
  if (!parent) {
    *x = ScaleDown(origin.x, dpi);
    *y = ScaleDown(origin.y, dpi);
    return true;
  }
  POINT inParent = origin;
  if (!ScreenToClient(parent, &inParent) || !ClientOriginUnits(parent, dpi, x, y)) return false;
  *x += UnitAtPixel(inParent.x, dpi);
  *y += UnitAtPixel(inParent.y, dpi);
  return true;
}

// A frame's insets (pixels at `dpi`) in units.
Rect UnitsInsets(const Rect& insets, int dpi) {
  return {ScaleDown(insets.left, dpi), ScaleDown(insets.top, dpi), ScaleDown(insets.right, dpi),
          ScaleDown(insets.bottom, dpi)};
}

// Keeps the dialog manager from rescaling the controls when the window
// changes monitors (Windows 10 1703 and later): the backend rescales them itself.
void KeepDialogScalingOff(HWND window) {
  using Call = BOOL(WINAPI*)(HWND, int, int);
  static Call call = [] {
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? reinterpret_cast<Call>(
                      reinterpret_cast<void*>(GetProcAddress(user, "SetDialogDpiChangeBehavior")))
                : nullptr;
  }();
  constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
  if (call) call(window, kDisableAll, kDisableAll);
}

// The size of the template block: a DLGTEMPLATE (18 bytes), its empty menu,
// class and title words, and room to spare, all zero.
constexpr size_t kTemplateSize = 58;

// Paints in progress: EndPaint needs the PAINTSTRUCT that BeginPaint filled.
struct ActivePaint {
  HWND window;
  HDC dc;
  PAINTSTRUCT paint;
};
constexpr int kMaxNestedPaints = 8;
ActivePaint gPaints[kMaxNestedPaints];
int gPaintCount = 0;

}  // namespace

void* CreateFrameWindow(void* owner, uint32_t style) {
  // DLGTEMPLATE is read as 16-bit words and must be DWORD-aligned.
  alignas(4) unsigned char block[kTemplateSize] = {};
  DLGTEMPLATE* dialog = reinterpret_cast<DLGTEMPLATE*>(block);
  dialog->style = style;
  HWND window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialog, AsWindow(owner),
                                           &win32::FrameDialogProc, 0);
  if (window) {
    KeepDialogScalingOff(window);
    win32::RememberLayoutDpi(window);
  }
  return window;
}

bool DestroyNativeWindow(void* window) {
  return window && DestroyWindow(AsWindow(window)) != FALSE;
}

bool IsNativeWindow(void* window) {
  return window && IsWindow(AsWindow(window)) != FALSE;
}

uint32_t GetNativeWindowStyle(void* window) {
  if (!IsNativeWindow(window)) return 0;
  return uint32_t(GetWindowLongA(AsWindow(window), GWL_STYLE));
}

// Geometry is in units: a window's place and size scale on their own, and
// its client area is what the system's frame leaves, in units.

bool GetOuterRect(void* window, Rect* rect) {
  HWND w = AsWindow(window);
  RECT r;
  if (!window || !rect || !GetWindowRect(w, &r)) return false;
  int dpi = WindowDpi(w);
  if (dpi == kBaseDpi) {
    *rect = {r.left, r.top, r.right, r.bottom};
    return true;
  }
  if (HWND parent = IsControl(w) ? GetParent(w) : nullptr) {
    int left = 0, top = 0;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    if (!ClientOriginUnits(parent, dpi, &left, &top)) return false;
    Rect inside = UnitsRect({r.left, r.top, r.right, r.bottom}, dpi);
    *rect = {left + inside.left, top + inside.top, left + inside.right, top + inside.bottom};
    return true;
  }
  int left = ScaleDown(r.left, dpi), top = ScaleDown(r.top, dpi);
  *rect = {left, top, left + ScaleDown(r.right - r.left, dpi),
           top + ScaleDown(r.bottom - r.top, dpi)};
  return true;
}

bool GetClientArea(void* window, Rect* rect) {
  HWND w = AsWindow(window);
  RECT r;
  if (!window || !rect || !GetClientRect(w, &r)) return false;
  int dpi = WindowDpi(w);
  *rect = {0, 0, ScaleDown(r.right, dpi), ScaleDown(r.bottom, dpi)};
  return true;
}

bool ClientToScreenPoint(void* window, int* x, int* y) {
  if (!window || !x || !y) return false;
  int left = 0, top = 0;
  if (!ClientOriginUnits(AsWindow(window), WindowDpi(AsWindow(window)), &left, &top)) return false;
  *x += left;
  *y += top;
  return true;
}

bool ScreenToClientPoint(void* window, int* x, int* y) {
  if (!window || !x || !y) return false;
  int left = 0, top = 0;
  if (!ClientOriginUnits(AsWindow(window), WindowDpi(AsWindow(window)), &left, &top)) return false;
  *x -= left;
  *y -= top;
  return true;
}

bool MoveNativeWindow(void* window, int x, int y, int width, int height, bool repaint) {
  HWND w = AsWindow(window);
  if (!window) return false;
  int dpi = WindowDpi(w);
  if (dpi == kBaseDpi) return MoveWindow(w, x, y, width, height, repaint) != FALSE;
  if (IsControl(w)) {
    // Edges are scaled, so that neighbouring controls still meet.
    Rect r = PixelsRect({x, y, x + width, y + height}, dpi);
    return MoveWindow(w, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint) != FALSE;
  }
  // A window's size is its size in units times the scale; the system's frame
  // takes its own pixels of it.
  return MoveWindow(w, ScaleUp(x, dpi), ScaleUp(y, dpi), ScaleUp(width, dpi), ScaleUp(height, dpi),
                    repaint) != FALSE;
}

bool AdjustRectForStyle(uint32_t style, Rect* rect) {
  if (!rect) return false;
  int dpi = win32::SystemDpi();
  RECT r{0, 0, 0, 0};
  if (!AdjustWindowRectEx(&r, style, FALSE, 0)) return false;
  Rect frame = UnitsInsets({-r.left, -r.top, r.right, r.bottom}, dpi);
  *rect = {rect->left - frame.left, rect->top - frame.top, rect->right + frame.right,
           rect->bottom + frame.bottom};
  return true;
}

bool SetNativeWindowTitle(void* window, const char* title) {
  return window && SetWindowTextA(AsWindow(window), title ? title : "") != FALSE;
}

bool ShowNativeWindow(void* window, bool show) {
  // ShowWindow answers the previous visibility, not success.
  if (!IsNativeWindow(window)) return false;
  ShowWindow(AsWindow(window), show ? SW_SHOW : SW_HIDE);
  return true;
}

bool IsNativeWindowVisible(void* window) {
  return window && IsWindowVisible(AsWindow(window)) != FALSE;
}

bool UpdateNativeWindow(void* window) {
  return window && UpdateWindow(AsWindow(window)) != FALSE;
}

bool BringToForeground(void* window) {
  return window && SetForegroundWindow(AsWindow(window)) != FALSE;
}

void* GetFocusedWindow() {
  return GetFocus();
}

bool FocusNativeWindow(void* window) {
  // SetFocus answers the previous focus, which may be null on success.
  if (!IsNativeWindow(window)) return false;
  SetFocus(AsWindow(window));
  return GetFocus() == AsWindow(window);
}

bool EnableNativeWindow(void* window, bool enable) {
  // EnableWindow answers the previous state, not success.
  if (!IsNativeWindow(window)) return false;
  EnableWindow(AsWindow(window), enable ? TRUE : FALSE);
  return true;
}

bool IsNativeWindowEnabled(void* window) {
  return window && IsWindowEnabled(AsWindow(window)) != FALSE;
}

bool InvalidateNativeWindow(void* window, const Rect* rect, bool erase) {
  if (!window) return false;
  RECT r;
  if (rect) {
    Rect pixels = PixelsRect(*rect, WindowDpi(AsWindow(window)));
    r = {pixels.left, pixels.top, pixels.right, pixels.bottom};
  }
  return InvalidateRect(AsWindow(window), rect ? &r : nullptr, erase) != FALSE;
}

bool GetUpdateBounds(void* window, Rect* bounds) {
  if (!window || !bounds) return false;
  RECT r{};
  if (!GetUpdateRect(AsWindow(window), &r, FALSE)) return false;
  *bounds = UnitsRect({r.left, r.top, r.right, r.bottom}, WindowDpi(AsWindow(window)));
  return true;
}

void* BeginNativePaint(void* window, Rect* paintRect) {
  if (!window || gPaintCount == kMaxNestedPaints) return nullptr;
  ActivePaint& active = gPaints[gPaintCount];
  active.window = AsWindow(window);
  active.dc = BeginPaint(active.window, &active.paint);
  if (!active.dc) return nullptr;
  int dpi = WindowDpi(active.window);
  win32::MapUnitsToPixels(active.dc, dpi);
  if (paintRect) {
    const RECT& r = active.paint.rcPaint;
    *paintRect = UnitsRect({r.left, r.top, r.right, r.bottom}, dpi);
  }
  ++gPaintCount;
  return active.dc;
}

void EndNativePaint(void* window, void* deviceContext) {
  for (int i = gPaintCount - 1; i >= 0; --i) {
    if (gPaints[i].window == AsWindow(window) && gPaints[i].dc == deviceContext) {
      EndPaint(gPaints[i].window, &gPaints[i].paint);
      // Keep the table packed: later (nested) entries move down one place.
      for (int j = i; j + 1 < gPaintCount; ++j) gPaints[j] = gPaints[j + 1];
      --gPaintCount;
      return;
    }
  }
}

bool AcceptDroppedFiles(void* window, bool accept) {
  if (!IsNativeWindow(window)) return false;
  DragAcceptFiles(AsWindow(window), accept ? TRUE : FALSE);
  return true;
}

}  // namespace platform
