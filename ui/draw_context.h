// DrawContext: a device context with the pen, brush and font selected into
// it, so that a painter sets one colour and draws lines, rectangles,
// ellipses and wrapped text. Colours here are 0x00RRGGBB; they become the
// platform's 0x00BBGGRR only when a pen, brush or text colour is set.
#pragma once

#include <cstdint>

#include "platform/drawing.h"

class GdiBrush;
class GdiFont;
class GdiPen;

class DrawContext {
 public:
  // Attaches dc and sets the colour to black; a null dc leaves the wrapper inactive.
  explicit DrawContext(platform::DeviceContext dc = nullptr);
  // Releases the wrapper.
  virtual ~DrawContext();

  DrawContext(const DrawContext&) = delete;
  DrawContext& operator=(const DrawContext&) = delete;

  // Destroys brush, pen and font (each restores what it replaced) and detaches;
  // the caller gives the device context back itself.
  void Release();

  // Sets transparent text background, the text colour and a brush and pen of
  // the colour (0-255 each); true when both brush and pen exist.
  bool SetColour(int red, int green, int blue);

  // Replaces the pen by one of the given width; false when no pen results.
  bool SetPenWidth(int width);

  // Replaces the pen by one of the given style (0 solid, 1 dashed, 2 dotted);
  // false for another style or when no pen results.
  bool SetPenStyle(int style);

  // Sets the horizontal text alignment (0 left, 1 centre, 2 right); always true.
  bool SetHorizontalAlign(int align);

  // Sets the vertical text alignment (0 top, 1 centre, 2 bottom); always true.
  bool SetVerticalAlign(int align);

  // Sets the text mode (2 wrapped runs, 0 runs without word breaks, other: one call); always true.
  bool SetTextMode(int mode);

  // Replaces the font: size in points, weight fraction 0 to 1 (weight 100 +
  // fraction x 800), character width, angle in degrees; false when no font results.
  bool SetFont(const char* face, float size, float weightFraction, int charWidth, float angle,
               bool italic, bool underline, bool strikeOut);

  // Moves the pen to (x, y).
  void MovePenTo(int x, int y);

  // Draws a line with the current pen to (x, y).
  void LineTo(int x, int y);

  // Fills the rectangle with the current brush; false (nothing drawn) without one.
  bool FillRectangle(const platform::DrawRect& rect);

  // Outlines the rectangle with the current pen along its inner edge; true.
  bool FrameRectangle(const platform::DrawRect& rect);

  // Draws an ellipse with the current pen and brush; false when inactive.
  bool FillEllipse(const platform::DrawRect& rect);

  // Outlines an ellipse with the current pen, not filled; false when inactive.
  bool FrameEllipse(const platform::DrawRect& rect);

  // Draws text in the rectangle by the text mode and alignments; false when
  // nothing is drawn (inactive, null or empty text).
  bool DrawTextIn(const platform::DrawRect& rect, const char* text);

  bool active = false;
  bool borrowed = false;
  void* window = nullptr;                // HWND / backend window of the context
  platform::DeviceContext dc = nullptr;  // HDC / backend surface
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  int32_t penWidth = 1;
  int32_t penStyle = 0;
  int32_t horizontalAlign = 0;
  int32_t verticalAlign = 0;
  int32_t textMode = 2;
  bool italic = false;
  float fontSize = 0.0f;
  GdiBrush* brush = nullptr;
  GdiPen* pen = nullptr;
  GdiFont* font = nullptr;

 private:
  bool ReplacePen();
};

// Blends colour a over b (0x00RRGGBB) by weight t: 0 gives b, 255 or more
// gives a, otherwise each channel is floor(b + (a - b) x t / 256).
uint32_t BlendColour(uint32_t a, uint32_t b, int t);

// The platform's colour value (0x00BBGGRR) of red, green and blue.
constexpr uint32_t PlatformColour(int red, int green, int blue) {
  return (static_cast<uint32_t>(blue & 0xFF) << 16) | (static_cast<uint32_t>(green & 0xFF) << 8) |
         static_cast<uint32_t>(red & 0xFF);
}
