// Window and device-context DPI, the units-to-pixels mapping of device
// contexts and the answer to a move onto a monitor of another DPI.
#include <windows.h>

#include "platform/win32/gui_display_dpi.h"

namespace platform::win32 {

namespace {

// The property that holds the DPI a window's controls were laid out at.
constexpr char kLayoutDpiProperty[] = "krn2html.layoutDpi";

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// GetDpiForWindow from USER32 (Windows 10 1607 and later), or null: older
// systems and some import libraries lack it.
GetDpiForWindowFunction DpiForWindowCall() {
  static GetDpiForWindowFunction call = [] {
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? reinterpret_cast<GetDpiForWindowFunction>(
                      reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")))
                : nullptr;
  }();
  return call;
}

// The controls' font at a DPI other than 96, made once per DPI and kept for
// the process's life; null when it cannot be made.
HFONT ControlFont(int dpi) {
  struct Made {
    int dpi;
    HFONT font;
  };
  constexpr int kMost = 8;
  static Made made[kMost];
  static int count = 0;
  for (int i = 0; i < count; ++i) {
    if (made[i].dpi == dpi) return made[i].font;
  }
  LOGFONTA font{};
  if (count == kMost || !GetObjectA(GetStockObject(SYSTEM_FONT), sizeof font, &font))
    return nullptr;
  // The stock font's height is for the system's DPI; its average width is
  // reported for 96 DPI whatever the DPI (as Wine reports it), so each scales
  // from its own.
  font.lfHeight = MulDiv(font.lfHeight, dpi, SystemDpi());
  font.lfWidth = MulDiv(font.lfWidth, dpi, kBaseDpi);
  HFONT created = CreateFontIndirectA(&font);
  if (created) made[count++] = {dpi, created};
  return created;
}

BOOL CALLBACK RescaleControl(HWND control, LPARAM data) {
  const int* dpis = reinterpret_cast<const int*>(data);
  HWND parent = GetParent(control);
  RECT r;
  if (!parent || !GetWindowRect(control, &r)) return TRUE;
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  Rect units = UnitsRect({r.left, r.top, r.right, r.bottom}, dpis[0]);
  Rect pixels = PixelsRect(units, dpis[1]);
  MoveWindow(control, pixels.left, pixels.top, pixels.right - pixels.left,
             pixels.bottom - pixels.top, FALSE);
  SetControlFontForDpi(control, dpis[1]);
  return TRUE;
}

}  // namespace

int SystemDpi() {
  static int dpi = [] {
    HDC screen = GetDC(nullptr);
    int value = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return value > 0 ? value : kBaseDpi;
  }();
  return dpi;
}

int WindowDpi(HWND window) {
  if (window) {
    if (GetDpiForWindowFunction call = DpiForWindowCall()) {
      UINT dpi = call(window);
      if (dpi > 0) return int(dpi);
    }
  }
  return SystemDpi();
}

int DrawContextDpi(HDC dc) {
  HWND window = dc ? WindowFromDC(dc) : nullptr;
  return window && window != GetDesktopWindow() ? WindowDpi(window) : SystemDpi();
}

void MapUnitsToPixels(HDC dc, int dpi) {
  if (!dc || dpi == kBaseDpi) return;
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, kBaseDpi, kBaseDpi, nullptr);
  SetViewportExtEx(dc, dpi, dpi, nullptr);
}

Rect PixelsRect(const Rect& units, int dpi) {
  return {ScaleUp(units.left, dpi), ScaleUp(units.top, dpi), ScaleUp(units.right, dpi),
          ScaleUp(units.bottom, dpi)};
}

Rect UnitsRect(const Rect& pixels, int dpi) {
  return {UnitAtPixel(pixels.left, dpi), UnitAtPixel(pixels.top, dpi),
          UnitsCovering(pixels.right, dpi), UnitsCovering(pixels.bottom, dpi)};
}

void SetControlFontForDpi(HWND control, int dpi) {
  HFONT font = dpi == kBaseDpi ? static_cast<HFONT>(GetStockObject(SYSTEM_FONT)) : ControlFont(dpi);
  if (font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void RememberLayoutDpi(HWND window) {
  SetPropA(window, kLayoutDpiProperty,
           reinterpret_cast<HANDLE>(static_cast<INT_PTR>(WindowDpi(window))));
}

void ForgetLayoutDpi(HWND window) {
  RemovePropA(window, kLayoutDpiProperty);
}

void ApplyDpiChange(HWND window, int newDpi, const RECT* proposed) {
  int oldDpi = int(reinterpret_cast<INT_PTR>(GetPropA(window, kLayoutDpiProperty)));
  if (oldDpi <= 0) oldDpi = SystemDpi();
  if (oldDpi != newDpi) {
    int dpis[2] = {oldDpi, newDpi};
    EnumChildWindows(window, RescaleControl, reinterpret_cast<LPARAM>(dpis));
    SetPropA(window, kLayoutDpiProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(newDpi)));
  }
  if (proposed) {
    SetWindowPos(window, nullptr, proposed->left, proposed->top, proposed->right - proposed->left,
                 proposed->bottom - proposed->top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(window, nullptr, TRUE);
}

}  // namespace platform::win32
