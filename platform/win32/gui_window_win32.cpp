// Top-level windows from in-memory dialog templates, geometry, state and painting over USER32.
#include <windows.h>
// Needs <windows.h> first.
#include <shellapi.h>

#include <cstring>

#include "platform/gui_window.h"
#include "platform/win32/gui_frame_proc.h"

namespace platform {

namespace {

HWND AsWindow(void* window) {
  return static_cast<HWND>(window);
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

bool GetOuterRect(void* window, Rect* rect) {
  RECT r;
  if (!window || !rect || !GetWindowRect(AsWindow(window), &r)) return false;
  *rect = {r.left, r.top, r.right, r.bottom};
  return true;
}

bool GetClientArea(void* window, Rect* rect) {
  RECT r;
  if (!window || !rect || !GetClientRect(AsWindow(window), &r)) return false;
  *rect = {r.left, r.top, r.right, r.bottom};
  return true;
}

bool ClientToScreenPoint(void* window, int* x, int* y) {
  if (!window || !x || !y) return false;
  POINT point{*x, *y};
  if (!ClientToScreen(AsWindow(window), &point)) return false;
  *x = point.x;
  *y = point.y;
  return true;
}

bool ScreenToClientPoint(void* window, int* x, int* y) {
  if (!window || !x || !y) return false;
  POINT point{*x, *y};
  if (!ScreenToClient(AsWindow(window), &point)) return false;
  *x = point.x;
  *y = point.y;
  return true;
}

bool MoveNativeWindow(void* window, int x, int y, int width, int height, bool repaint) {
  return window && MoveWindow(AsWindow(window), x, y, width, height, repaint) != FALSE;
}

bool AdjustRectForStyle(uint32_t style, Rect* rect) {
  if (!rect) return false;
  RECT r{rect->left, rect->top, rect->right, rect->bottom};
  if (!AdjustWindowRectEx(&r, style, FALSE, 0)) return false;
  *rect = {r.left, r.top, r.right, r.bottom};
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
  if (rect) r = {rect->left, rect->top, rect->right, rect->bottom};
  return InvalidateRect(AsWindow(window), rect ? &r : nullptr, erase) != FALSE;
}

bool GetUpdateBounds(void* window, Rect* bounds) {
  if (!window || !bounds) return false;
  RECT r{};
  if (!GetUpdateRect(AsWindow(window), &r, FALSE)) return false;
  *bounds = {r.left, r.top, r.right, r.bottom};
  return true;
}

void* BeginNativePaint(void* window, Rect* paintRect) {
  if (!window || gPaintCount == kMaxNestedPaints) return nullptr;
  ActivePaint& active = gPaints[gPaintCount];
  active.window = AsWindow(window);
  active.dc = BeginPaint(active.window, &active.paint);
  if (!active.dc) return nullptr;
  if (paintRect) {
    const RECT& r = active.paint.rcPaint;
    *paintRect = {r.left, r.top, r.right, r.bottom};
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
