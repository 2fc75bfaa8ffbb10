#include "ui/draw_context.h"

#include <cstring>

#include "ui/gdi_brush.h"
#include "ui/gdi_font.h"
#include "ui/gdi_pen.h"
#include "ui/toolkit_object.h"
#include "ui/toolkit_runtime.h"

namespace {

// Platform id of the Windows 95 family in the display state.
constexpr uint32_t kPlatformWindows95 = 3;

// MulDiv: a x b / c rounded to the nearest integer, halves away from zero; -1 for c = 0.
int MulDivRounded(int a, int b, int c) {
  if (c == 0) return -1;
  long long product = static_cast<long long>(a) * b;
  long long half = (c > 0 ? c : -c) / 2;
  bool negative = (product < 0) != (c < 0);
  long long magnitude = (product < 0 ? -product : product) + half;
  long long result = magnitude / (c > 0 ? c : -c);
  return static_cast<int>(negative ? -result : result);
}

}  // namespace

DrawContext::DrawContext(platform::DeviceContext dc) {
  if (!dc) return;
  active = true;
  borrowed = true;
  this->dc = dc;
  window = platform::WindowFromDrawContext(dc);
  SetColour(0, 0, 0);
}

DrawContext::~DrawContext() {
  Release();
}

void DrawContext::Release() {
  ToolkitDelete(brush);
  brush = nullptr;
  ToolkitDelete(pen);
  pen = nullptr;
  ToolkitDelete(font);
  font = nullptr;
  active = false;
  dc = nullptr;
  window = nullptr;
}

bool DrawContext::SetColour(int r, int g, int b) {
  red = static_cast<uint8_t>(r);
  green = static_cast<uint8_t>(g);
  blue = static_cast<uint8_t>(b);
  if (!active) return false;
  uint32_t colorref = PlatformColour(red, green, blue);
  platform::SetDrawTransparent(dc);
  platform::SetDrawTextColour(dc, colorref);
  ToolkitDelete(brush);
  brush = ToolkitNew<GdiBrush>(dc, colorref);
  bool havePen = ReplacePen();
  return brush != nullptr && havePen;
}

bool DrawContext::ReplacePen() {
  ToolkitDelete(pen);
  pen = nullptr;
  if (!active) return false;
  pen = ToolkitNew<GdiPen>(dc, penStyle, penWidth, PlatformColour(red, green, blue));
  return pen != nullptr;
}

bool DrawContext::SetPenWidth(int width) {
  penWidth = width;
  return ReplacePen();
}

bool DrawContext::SetPenStyle(int style) {
  if (style < platform::kPenSolid || style > platform::kPenDot) return false;
  penStyle = style;
  return ReplacePen();
}

bool DrawContext::SetHorizontalAlign(int align) {
  horizontalAlign = align;
  return true;
}

bool DrawContext::SetVerticalAlign(int align) {
  verticalAlign = align;
  return true;
}

bool DrawContext::SetTextMode(int mode) {
  textMode = mode;
  return true;
}

bool DrawContext::SetFont(const char* face, float size, float weightFraction, int charWidth,
                          float angle, bool italicFont, bool underline, bool strikeOut) {
  ToolkitDelete(font);
  font = nullptr;

  // Points to pixels on the attached context, or on the screen's.
  int pixelsPerInch = 0;
  if (active) {
    pixelsPerInch = platform::GetDrawCaps(dc, platform::kCapsLogPixelsY);
  } else if (platform::DeviceContext screen = platform::GetScreenDrawContext()) {
    pixelsPerInch = platform::GetDrawCaps(screen, platform::kCapsLogPixelsY);
    platform::ReleaseScreenDrawContext(screen);
  }

  platform::FontSpec request{};
  request.height = -MulDivRounded(static_cast<int>(size), pixelsPerInch, 72);
  request.width = charWidth;
  request.escapement = static_cast<int>(angle * 10.0f);
  request.orientation = request.escapement;
  request.weight = static_cast<int>(100.0f + weightFraction * 800.0f);
  request.italic = italicFont;
  request.underline = underline;
  request.strikeOut = strikeOut;
  request.face = face ? face : "";
  request.fixedPitch = false;
  // The Windows 95 family has no usable fixed-pitch Courier of this kind:
  // a fixed-pitch Arial stands in for it there.
  DisplayState* display = GetDisplayState();
  if (face && std::strstr(face, "Courier") && display && display->platform == kPlatformWindows95) {
    request.face = "Arial";
    request.fixedPitch = true;
  }

  italic = italicFont;
  fontSize = size;
  font = ToolkitNew<GdiFont>(active ? dc : nullptr, request);
  if (font && !font->ready) {
    ToolkitDelete(font);
    font = nullptr;
  }
  return font != nullptr;
}

void DrawContext::MovePenTo(int x, int y) {
  if (active) platform::DrawMoveTo(dc, x, y);
}

void DrawContext::LineTo(int x, int y) {
  if (active) platform::DrawLineTo(dc, x, y);
}

bool DrawContext::FillRectangle(const platform::DrawRect& rect) {
  if (!active || !brush || !brush->handle) return false;
  return platform::DrawFillRect(dc, rect, brush->handle);
}

bool DrawContext::FrameRectangle(const platform::DrawRect& rect) {
  MovePenTo(rect.left, rect.top);
  LineTo(rect.right - 1, rect.top);
  LineTo(rect.right - 1, rect.bottom - 1);
  LineTo(rect.left, rect.bottom - 1);
  LineTo(rect.left, rect.top);
  return true;
}

bool DrawContext::FillEllipse(const platform::DrawRect& rect) {
  if (!active) return false;
  return platform::DrawEllipse(dc, rect);
}

bool DrawContext::FrameEllipse(const platform::DrawRect& rect) {
  if (!active) return false;
  platform::DrawObject hollow = platform::GetStockDrawObject(platform::kStockNullBrush);
  platform::DrawObject previous = platform::SelectDrawObject(dc, hollow);
  bool drawn = platform::DrawEllipse(dc, rect);
  if (previous) platform::SelectDrawObject(dc, previous);
  return drawn;
}

bool DrawContext::DrawTextIn(const platform::DrawRect& rect, const char* text) {
  if (!active || !text || !*text) return false;

  unsigned flags = platform::kTextNoPrefix;
  if (textMode == 2) flags |= platform::kTextWordBreak;
  if (horizontalAlign == 1) flags |= platform::kTextCenter;
  if (horizontalAlign == 2) flags |= platform::kTextRight;
  if (verticalAlign == 1) flags |= platform::kTextVCenter;
  if (verticalAlign == 2) flags |= platform::kTextBottom;
  if (horizontalAlign == 2 && italic) flags |= platform::kTextNoClip;

  platform::DrawRect run = rect;
  const char* rest = text;
  int remaining = static_cast<int>(std::strlen(text));
  while (remaining > 0 && run.top <= run.bottom) {
    int fit = 0, width = 0, height = 0;
    if (!platform::MeasureDrawText(dc, rest, remaining, run.right - run.left, &fit, &width,
                                   &height)) {
      return false;
    }
    if (textMode != 0 && textMode != 2) {
      platform::DrawTextInRect(dc, rest, remaining, run, flags);
      return true;
    }
    // A rectangle too narrow for one character, or a font without height,
    // would never use up the text: stop instead of stepping on forever.
    if (fit <= 0 || height <= 0) break;
    platform::DrawTextInRect(dc, rest, fit, run, flags);
    run.top += height;
    rest += fit;
    remaining -= fit;
  }
  return true;
}

uint32_t BlendColour(uint32_t a, uint32_t b, int t) {
  if (t <= 0) return b;
  if (t >= 255) return a;
  // Red and blue in one word, green in another, 16 bits apart. The word
  // arithmetic wraps: a lane whose difference is negative borrows from the
  // lane above, and adding b back carries it again because every final lane
  // lies in 0-255; so each lane is exactly floor(b + (a - b) x t / 256).
  uint32_t weight = static_cast<uint32_t>(t);
  uint32_t redBlueA = a & 0x00FF00FF, redBlueB = b & 0x00FF00FF;
  uint32_t greenA = (a >> 8) & 0x00FF00FF, greenB = (b >> 8) & 0x00FF00FF;
  uint32_t redBlue = ((((redBlueA - redBlueB) * weight) >> 8) + redBlueB) & 0x00FF00FF;
  uint32_t green = ((((greenA - greenB) * weight) >> 8) + greenB) & 0x000000FF;
  return redBlue | (green << 8);
}
