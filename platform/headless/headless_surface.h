// Headless drawing surfaces: the device contexts of the in-memory desktop.
//
// In the headless backend a platform::DeviceContext IS a headless::Surface*.
// The backend's windows create one surface per window (client-area size) and
// resize and destroy it with the window; the screen has a surface of its own.
//
// Implemented:
//  [X] every call of platform/drawing.h
//  [X] an RGB buffer per surface (0x00RRGGBB, white when created)
//  [X] a recorded list of drawing operations that tests inspect
//  [X] live-object and outstanding-context counts, to catch leaks
//  [X] injected creation failures for pens, brushes and fonts
//
// Text metrics are fixed so that tests can compute them: a font's line height
// is |height| pixels (16 for height 0 and for the system font) and every
// character advances TextAdvance(lineHeight) = max(1, lineHeight / 2) pixels.
// In the RGB buffer each non-blank character is a solid glyph box: its cell
// shrunk by 1 pixel left and right and by lineHeight / 5 (at least 1) top and
// bottom. Dashed (18 on, 6 off) and dotted (3 on, 3 off) pens apply to width
// 1 only, wider pens draw solid, as in GDI. DT_VCENTER and DT_BOTTOM apply to
// single-line text only, as in GDI. The screen's LOGPIXELSY is 96 and its
// BITSPIXEL 24.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/drawing.h"

namespace headless {

class Surface;

// Creates a surface of width x height pixels for a window (null for none); null on failure.
Surface* CreateSurface(void* window, int width, int height);

// Changes the size, keeping the overlapping pixels; new pixels are white.
void ResizeSurface(Surface* surface, int width, int height);

// Destroys the surface and deselects its objects; null is ignored.
void DestroySurface(Surface* surface);

// Kinds of recorded drawing operations.
enum class DrawOpKind { kLine, kFillRect, kEllipse, kText };

// One recorded drawing operation. Colours are 0x00RRGGBB.
struct DrawOp {
  DrawOpKind kind;
  // The rectangle; for a line, (left, top) is the start and (right, bottom) the end.
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  // Pen colour (lines, ellipse outlines), brush colour (rectangle fills) or text colour.
  uint32_t colour = 0;
  // Ellipses: the brush colour, and whether the brush fills at all.
  uint32_t fillColour = 0;
  bool filled = false;
  // The current pen.
  int penWidth = 0;
  int penStyle = 0;
  // The current font, and for text the drawn characters and the format flags.
  std::string fontFace;
  int fontHeight = 0;
  int fontWeight = 0;
  int fontEscapement = 0;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool fixedPitch = false;
  bool transparent = false;
  std::string text;
  unsigned flags = 0;
};

// Returns the operations recorded on the surface since creation or the last clear.
const std::vector<DrawOp>& SurfaceOps(const Surface* surface);

// Forgets the recorded operations.
void ClearSurfaceOps(Surface* surface);

// Returns the pixel at (x, y) as 0x00RRGGBB; kNoPixel outside the surface.
uint32_t SurfacePixel(const Surface* surface, int x, int y);
constexpr uint32_t kNoPixel = 0xFF000000u;

// Fills the whole buffer with one colour (0x00RRGGBB), recording nothing.
void FillSurface(Surface* surface, uint32_t rgb);

// Returns the width, the height and the window of the surface.
int SurfaceWidth(const Surface* surface);
int SurfaceHeight(const Surface* surface);
void* SurfaceWindow(const Surface* surface);

// Returns the surface of a window; null when the window has none.
Surface* FindSurface(void* window);

// Returns the current text colour of the surface as 0x00RRGGBB.
uint32_t SurfaceTextColour(const Surface* surface);

// Returns whether text leaves the background untouched on this surface.
bool SurfaceTransparent(const Surface* surface);

// Description of a drawing object, for tests.
struct DrawObjectInfo {
  enum Kind { kNone, kPen, kBrush, kFont } kind = kNone;
  bool stock = false;
  bool nullBrush = false;
  uint32_t colour = 0;  // 0x00RRGGBB of a pen or brush
  int penStyle = 0;
  int penWidth = 0;
  platform::FontSpec font{};  // font.face points into the object
};

// Returns the description of an object; kind kNone for an unknown handle.
DrawObjectInfo DescribeDrawObject(platform::DrawObject object);

// Returns the pen, brush or font currently selected into the surface.
platform::DrawObject SelectedPen(const Surface* surface);
platform::DrawObject SelectedBrush(const Surface* surface);
platform::DrawObject SelectedFont(const Surface* surface);

// Returns how many created (non-stock) objects are not yet deleted.
int LiveDrawObjects();

// Returns how many window and screen contexts were taken and not given back.
int OutstandingDrawContexts();

// Makes the next creations of pens, brushes or fonts fail while set.
void FailDrawObjectCreation(bool pens, bool brushes, bool fonts);

// Returns the pixels one character advances for a font of the given line height.
constexpr int TextAdvance(int lineHeight) {
  return lineHeight / 2 > 1 ? lineHeight / 2 : 1;
}

}  // namespace headless
