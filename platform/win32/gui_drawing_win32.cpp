// Device contexts, pens, brushes, fonts, shapes and text over GDI32 and USER32.
#include <windows.h>

#include <cstring>

#include "platform/drawing.h"
#include "platform/win32/gui_display_dpi.h"

namespace platform {

namespace {

HDC AsDc(DeviceContext dc) {
  return static_cast<HDC>(dc);
}

RECT ToRect(const DrawRect& rect) {
  return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

DrawObject CreateDrawPen(int style, int width, uint32_t colorref) {
  if (style != kPenSolid && style != kPenDash && style != kPenDot) return nullptr;
  return CreatePen(style, width, colorref);
}

DrawObject CreateDrawBrush(uint32_t colorref) {
  return CreateSolidBrush(colorref);
}

DrawObject CreateDrawFont(const FontSpec& wanted) {
  // CreateFontA takes at most LF_FACESIZE - 1 characters of the face name.
  char face[LF_FACESIZE] = {};
  if (wanted.face) std::strncpy(face, wanted.face, LF_FACESIZE - 1);
  return CreateFontA(wanted.height, wanted.width, wanted.escapement, wanted.orientation,
                     wanted.weight, wanted.italic, wanted.underline, wanted.strikeOut, ANSI_CHARSET,
                     OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                     wanted.fixedPitch ? FIXED_PITCH : VARIABLE_PITCH, face);
}

DrawObject GetStockDrawObject(int index) {
  switch (index) {
    case kStockBlackBrush:
    case kStockNullBrush:
    case kStockBlackPen:
    case kStockSystemFont:
      return GetStockObject(index);
    default:
      return nullptr;
  }
}

DrawObject SelectDrawObject(DeviceContext dc, DrawObject object) {
  if (!dc || !object) return nullptr;
  HGDIOBJ previous = SelectObject(AsDc(dc), static_cast<HGDIOBJ>(object));
  return previous == HGDI_ERROR ? nullptr : previous;
}

bool DeleteDrawObject(DrawObject object) {
  return object && DeleteObject(static_cast<HGDIOBJ>(object)) != FALSE;
}

bool SetDrawTextColour(DeviceContext dc, uint32_t colorref) {
  return dc && SetTextColor(AsDc(dc), colorref) != CLR_INVALID;
}

bool SetDrawTransparent(DeviceContext dc) {
  return dc && SetBkMode(AsDc(dc), TRANSPARENT) != 0;
}

bool DrawMoveTo(DeviceContext dc, int x, int y) {
  return dc && MoveToEx(AsDc(dc), x, y, nullptr) != FALSE;
}

bool DrawLineTo(DeviceContext dc, int x, int y) {
  return dc && LineTo(AsDc(dc), x, y) != FALSE;
}

bool DrawFillRect(DeviceContext dc, const DrawRect& rect, DrawObject brush) {
  if (!dc || !brush) return false;
  RECT r = ToRect(rect);
  return FillRect(AsDc(dc), &r, static_cast<HBRUSH>(brush)) != 0;
}

bool DrawEllipse(DeviceContext dc, const DrawRect& rect) {
  return dc && Ellipse(AsDc(dc), rect.left, rect.top, rect.right, rect.bottom) != FALSE;
}

bool MeasureDrawText(DeviceContext dc, const char* text, int length, int maxWidth, int* fit,
                     int* width, int* height) {
  if (!dc || !text || length < 0) return false;
  INT fitted = 0;
  SIZE size{};
  if (!GetTextExtentExPointA(AsDc(dc), text, length, maxWidth, &fitted, nullptr, &size)) {
    return false;
  }
  if (fit) *fit = fitted;
  if (width) *width = size.cx;
  if (height) *height = size.cy;
  return true;
}

int DrawTextInRect(DeviceContext dc, const char* text, int length, const DrawRect& rect,
                   unsigned flags) {
  if (!dc || !text) return 0;
  RECT r = ToRect(rect);
  return DrawTextA(AsDc(dc), text, length, &r, flags);
}

int GetDrawCaps(DeviceContext dc, int index) {
  if (!dc) return 0;
  int value = GetDeviceCaps(AsDc(dc), index);
  // Font sizes are asked for in units: the resolution in units is the
  // system's over the context's scale (96 where both agree).
  if (index == kCapsLogPixelsY) value = MulDiv(value, kBaseDpi, win32::DrawContextDpi(AsDc(dc)));
  return value;
}

void* WindowFromDrawContext(DeviceContext dc) {
  if (!dc) return nullptr;
  // The screen's context belongs to the desktop window, which is not a window of ours.
  HWND window = WindowFromDC(AsDc(dc));
  return window == GetDesktopWindow() ? nullptr : window;
}

DeviceContext GetWindowDrawContext(void* window) {
  if (!window) return nullptr;
  HWND w = static_cast<HWND>(window);
  HDC dc = GetDC(w);
  win32::MapUnitsToPixels(dc, win32::WindowDpi(w));
  return dc;
}

void ReleaseWindowDrawContext(void* window, DeviceContext dc) {
  if (window && dc) ReleaseDC(static_cast<HWND>(window), AsDc(dc));
}

DeviceContext GetScreenDrawContext() {
  return GetDC(nullptr);
}

void ReleaseScreenDrawContext(DeviceContext dc) {
  if (dc) ReleaseDC(nullptr, AsDc(dc));
}

}  // namespace platform
