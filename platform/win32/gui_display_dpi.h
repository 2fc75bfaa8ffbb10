// The DPI of windows and device contexts, for the GUI backend's scaling: the
// toolkit works in 96-DPI units, and the backend turns them into the pixels
// of a window's monitor (the program declares per-monitor awareness in its
// manifest, so the system does not stretch its windows).
#pragma once

#include <windows.h>

#include "platform/display_units.h"
#include "platform/gui_rect.h"

namespace platform::win32 {

// The system's DPI (LOGPIXELSX of the screen), read once; 96 when it cannot be read.
int SystemDpi();

// The DPI of a window's monitor: GetDpiForWindow where the system has it,
// else the system's DPI. For null, the system's DPI.
int WindowDpi(HWND window);

// The DPI a device context draws at: its window's, or the system's for the screen.
int DrawContextDpi(HDC dc);

// Makes drawing in units land on the pixels of a context at `dpi`
// (MM_ANISOTROPIC, 96 units to `dpi` pixels); leaves a 96-DPI context untouched.
void MapUnitsToPixels(HDC dc, int dpi);

// A rectangle in units as pixels at `dpi` (each edge scaled).
Rect PixelsRect(const Rect& units, int dpi);

// A rectangle of pixels at `dpi` as units, rounded outwards.
Rect UnitsRect(const Rect& pixels, int dpi);

// Gives a control the font for its window's DPI: at 96 the system font it
// has by default, elsewhere the system font's face with its height and
// width scaled to that DPI (the stock font keeps its 96-DPI width, which
// would squeeze the text).
void SetControlFontForDpi(HWND control, int dpi);

// Answers WM_DPICHANGED: moves the window into the rectangle the system
// proposes and rescales its controls' rectangles from the DPI they were laid
// out at to the new one.
void ApplyDpiChange(HWND window, int newDpi, const RECT* proposed);

// Remembers the DPI a window's controls are laid out at (on creation), and
// forgets it (on destruction).
void RememberLayoutDpi(HWND window);
void ForgetLayoutDpi(HWND window);

}  // namespace platform::win32
