// The drawing seam: device contexts, pens, brushes, fonts, shapes and text.
//
// Handles are opaque:
//   DeviceContext  HDC on Windows, an FLTK-side surface record on Linux,
//                  headless::Surface* in tests.
//   DrawObject     HGDIOBJ (HPEN / HBRUSH / HFONT) on Windows, an FLTK-side
//                  pen/brush/font record on Linux, a headless object record.
//   window         HWND on Windows, the backend's window record elsewhere.
// Colours at this level are the platform's 0x00BBGGRR value (red in the low
// byte); the toolkit converts from its own 0x00RRGGBB before calling.
// Coordinates are pixels in the context's own space (client area for a
// window's context, the whole screen for the screen's), in units of a 96-DPI
// screen: the backend draws them at the display's scale, font and pen sizes
// included, and kCapsLogPixelsY answers the resolution in those units.
#pragma once

#include <cstdint>

#include "platform/gui_rect.h"

namespace platform {

using DeviceContext = void*;  // HDC / FLTK surface record / headless::Surface*
using DrawObject = void*;     // HGDIOBJ / FLTK object record / headless object

// Pen styles, numbered as PS_SOLID, PS_DASH and PS_DOT.
constexpr int kPenSolid = 0;
constexpr int kPenDash = 1;
constexpr int kPenDot = 2;

// Stock objects, numbered as GetStockObject's BLACK_BRUSH, NULL_BRUSH,
// BLACK_PEN and SYSTEM_FONT. Stock objects are never deleted.
constexpr int kStockBlackBrush = 4;
constexpr int kStockNullBrush = 5;
constexpr int kStockBlackPen = 7;
constexpr int kStockSystemFont = 13;

// Device capabilities, numbered as GetDeviceCaps's BITSPIXEL and LOGPIXELSY.
constexpr int kCapsBitsPixel = 12;
constexpr int kCapsLogPixelsY = 90;

// Text format flags, valued as DrawTextA's DT_* flags.
constexpr unsigned kTextLeft = 0x0000;        // DT_LEFT
constexpr unsigned kTextTop = 0x0000;         // DT_TOP
constexpr unsigned kTextCenter = 0x0001;      // DT_CENTER
constexpr unsigned kTextRight = 0x0002;       // DT_RIGHT
constexpr unsigned kTextVCenter = 0x0004;     // DT_VCENTER
constexpr unsigned kTextBottom = 0x0008;      // DT_BOTTOM
constexpr unsigned kTextWordBreak = 0x0010;   // DT_WORDBREAK
constexpr unsigned kTextSingleLine = 0x0020;  // DT_SINGLELINE
constexpr unsigned kTextNoClip = 0x0100;      // DT_NOCLIP
constexpr unsigned kTextNoPrefix = 0x0800;    // DT_NOPREFIX

// A rectangle; right and bottom are exclusive, as in Win32's RECT. The same
// type as the windows' rectangle.
using DrawRect = Rect;

// What CreateFontA needs. The Windows backend adds ANSI_CHARSET,
// OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS and PROOF_QUALITY; other backends
// map the face to the closest installed one.
struct FontSpec {
  int height;       // pixels; negative selects the character height
  int width;        // average character width, 0 for the face's own
  int escapement;   // tenths of a degree
  int orientation;  // tenths of a degree
  int weight;       // 100 (thin) to 900 (black), 400 normal, 700 bold
  bool italic;
  bool underline;
  bool strikeOut;
  bool fixedPitch;   // FIXED_PITCH when set, VARIABLE_PITCH otherwise
  const char* face;  // face name, at most 31 characters are used
};

// Creates a pen (style kPenSolid/kPenDash/kPenDot); null on failure.
DrawObject CreateDrawPen(int style, int width, uint32_t colorref);

// Creates a solid brush; null on failure.
DrawObject CreateDrawBrush(uint32_t colorref);

// Creates a font; null on failure.
DrawObject CreateDrawFont(const FontSpec& request);

// Returns a stock object (kStock*); null for an unknown index.
DrawObject GetStockDrawObject(int index);

// Selects an object into the context; returns the object it replaced, null on failure.
DrawObject SelectDrawObject(DeviceContext dc, DrawObject object);

// Deletes an object that is selected nowhere; false on failure (stock objects report true).
bool DeleteDrawObject(DrawObject object);

// Sets the colour of text; false on failure.
bool SetDrawTextColour(DeviceContext dc, uint32_t colorref);

// Makes text drawing leave the background untouched; false on failure.
bool SetDrawTransparent(DeviceContext dc);

// Moves the current position; false on failure.
bool DrawMoveTo(DeviceContext dc, int x, int y);

// Draws with the current pen from the current position to (x, y), excluding
// the end point, and makes (x, y) current; false on failure.
bool DrawLineTo(DeviceContext dc, int x, int y);

// Fills the rectangle with the given brush (the pen is not used); false on failure.
bool DrawFillRect(DeviceContext dc, const DrawRect& rect, DrawObject brush);

// Draws an ellipse inside the rectangle, outlined with the current pen and
// filled with the current brush; false on failure.
bool DrawEllipse(DeviceContext dc, const DrawRect& rect);

// Measures text in the current font, like GetTextExtentExPointA: fit receives
// how many leading characters fit in maxWidth pixels, width and height the
// extent of the whole text; false on failure.
bool MeasureDrawText(DeviceContext dc, const char* text, int length, int maxWidth, int* fit,
                     int* width, int* height);

// Draws text in the rectangle with DrawTextA's flags (kText*); returns the
// height of the drawn text, 0 on failure.
int DrawTextInRect(DeviceContext dc, const char* text, int length, const DrawRect& rect,
                   unsigned flags);

// Returns a device capability (kCaps*); 0 on failure.
int GetDrawCaps(DeviceContext dc, int index);

// Returns the window the context draws into; null for the screen or on failure.
void* WindowFromDrawContext(DeviceContext dc);

// Returns a context for a window's client area; null on failure. Release it
// with ReleaseWindowDrawContext.
DeviceContext GetWindowDrawContext(void* window);

// Gives back a context from GetWindowDrawContext.
void ReleaseWindowDrawContext(void* window, DeviceContext dc);

// Returns a context for the whole screen; null on failure. Release it with
// ReleaseScreenDrawContext.
DeviceContext GetScreenDrawContext();

// Gives back a context from GetScreenDrawContext.
void ReleaseScreenDrawContext(DeviceContext dc);

}  // namespace platform
