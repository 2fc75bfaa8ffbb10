// The drawing calls of platform/drawing.h over FLTK's drawing functions:
// pens, brushes and fonts as records selected into a window's surface.
#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>

#include "platform/drawing.h"
#include "platform/fltk/fltk_state.h"
#include "platform/fltk/fltk_window.h"
#include "platform/fltk/font_map.h"
#include "platform/fltk/text_layout.h"

namespace fltk_backend {

namespace {

struct DrawRecord {
  enum Kind { kPen, kBrush, kFont } kind;
  bool stock = false;
  uint32_t colour = 0;  // 0x00BBGGRR
  int penStyle = platform::kPenSolid;
  int penWidth = 1;
  bool nullBrush = false;
  int font = 0;  // FLTK font number
  int pixelSize = 13;
  bool underline = false;
  bool strikeOut = false;
};

std::set<DrawRecord*>& LiveObjects() {
  static std::set<DrawRecord*> objects;
  return objects;
}

DrawRecord* AsObject(void* handle) {
  auto* record = static_cast<DrawRecord*>(handle);
  return record && LiveObjects().count(record) ? record : nullptr;
}

DrawRecord* MakeStock(DrawRecord record) {
  auto* stock = new DrawRecord(record);
  stock->stock = true;
  LiveObjects().insert(stock);
  return stock;
}

DrawRecord* StockBlackPen() {
  static DrawRecord* pen = MakeStock({DrawRecord::kPen});
  return pen;
}
DrawRecord* StockBlackBrush() {
  static DrawRecord* brush = MakeStock({DrawRecord::kBrush});
  return brush;
}
DrawRecord* StockWhiteBrush() {  // what a fresh device context holds
  static DrawRecord* brush = [] {
    DrawRecord r{DrawRecord::kBrush};
    r.colour = 0xFFFFFF;
    return MakeStock(r);
  }();
  return brush;
}
DrawRecord* StockNullBrush() {
  static DrawRecord* brush = [] {
    DrawRecord r{DrawRecord::kBrush};
    r.nullBrush = true;
    return MakeStock(r);
  }();
  return brush;
}
DrawRecord* StockSystemFont() {
  static DrawRecord* font = [] {
    DrawRecord r{DrawRecord::kFont};
    r.font = FontIndex(FontFamily::kSans, true, false);
    r.pixelSize = 13;
    return MakeStock(r);
  }();
  return font;
}

Surface* ScreenSurface();

// The surface behind a handle, or null for a handle whose window is gone.
Surface* AsSurface(platform::DeviceContext dc) {
  auto* surface = static_cast<Surface*>(dc);
  if (!surface) return nullptr;
  if (surface == ScreenSurface()) return surface;
  return IsLiveSurface(surface) ? surface : nullptr;
}

DrawRecord* Pen(Surface* s) {
  return s->pen ? static_cast<DrawRecord*>(s->pen) : StockBlackPen();
}
DrawRecord* Brush(Surface* s) {
  return s->brush ? static_cast<DrawRecord*>(s->brush) : StockWhiteBrush();
}
DrawRecord* Font(Surface* s) {
  return s->font ? static_cast<DrawRecord*>(s->font) : StockSystemFont();
}

void SetColour(uint32_t colorref) {
  fl_color(uchar(colorref & 0xFF), uchar((colorref >> 8) & 0xFF), uchar((colorref >> 16) & 0xFF));
}

// Pens wider than one unit are always solid, as on Windows. The width is
// scaled to the display's pixels.
void ApplyPen(DrawRecord* pen) {
  SetColour(pen->colour);
  int style = FL_SOLID;
  if (pen->penWidth <= 1) {
    if (pen->penStyle == platform::kPenDash) style = FL_DASH;
    if (pen->penStyle == platform::kPenDot) style = FL_DOT;
  }
  int width = Px(std::max(pen->penWidth, 1));
  fl_line_style(style | FL_CAP_FLAT, width == 1 ? 0 : width);
}

// Font sizes are in units; FLTK's are pixels.
void ApplyFont(Surface* s) {
  DrawRecord* font = Font(s);
  fl_font(Fl_Font(font->font), Fl_Fontsize(std::max(Px(std::max(font->pixelSize, 1)), 1)));
}

// A straight line of a scaled display, from (x0, y0) to (x, y) in units
// without the end point: the pixels of the units the line covers are
// filled, so that it meets the scaled rectangles beside it.
void DrawScaledLine(DrawRecord* pen, int x0, int y0, int x, int y) {
  int width = std::max(pen->penWidth, 1);
  bool patterned = width == 1 && pen->penStyle != platform::kPenSolid;
  if (x0 != x && y0 != y) {  // slanting: FLTK's line between the scaled points
    ApplyPen(pen);
    fl_line(Px(x0), Px(y0), Px(x), Px(y));
    fl_line_style(0);
    return;
  }
  // The covered units: along the line up to the end point, across it the pen's width.
  int along0 = x0 != x ? x0 : y0, along1 = x0 != x ? x : y;
  int first = along1 > along0 ? along0 : along1 + 1;
  int last = along1 > along0 ? along1 : along0 + 1;  // exclusive
  int across = (x0 != x ? y0 : x0) - (width == 1 ? 0 : width / 2);
  int a0 = Px(first), a1 = Px(last), c0 = Px(across), c1 = Px(across + width);
  SetColour(pen->colour);
  if (!patterned) {
    if (x0 != x)
      fl_rectf(a0, c0, a1 - a0, c1 - c0);
    else
      fl_rectf(c0, a0, c1 - c0, a1 - a0);
    return;
  }
  // Dashes and dots: FLTK's pattern along the middle of the band.
  ApplyPen(pen);
  int middle = (c0 + c1 - 1) / 2;
  if (x0 != x)
    fl_line(a0, middle, a1 - 1, middle);
  else
    fl_line(middle, a0, middle, a1 - 1);
  fl_line_style(0);
}

int MeasureWith(const char* text, int length) {
  return length > 0 ? int(fl_width(text, length) + 0.5) : 0;
}

// The font resolution in units: the desktop's font DPI where it names one,
// else the screen's from its physical size.
int ScreenDpi() {
  if (!EnsureDisplay()) return 96;
  if (int dpi = DesktopFontDpi()) return dpi;
  return DpiFromScreenSize(DisplayHeight(fl_display, fl_screen),
                           DisplayHeightMM(fl_display, fl_screen));
}

Surface* ScreenSurface() {
  static Surface screen;
  return &screen;
}

}  // namespace

}  // namespace fltk_backend

namespace platform {

using fltk_backend::AsObject;
using fltk_backend::AsSurface;
using fltk_backend::DrawRecord;
using fltk_backend::Surface;

DrawObject CreateDrawPen(int style, int width, uint32_t colorref) {
  if (style < kPenSolid || style > kPenDot) return nullptr;
  auto* pen = new DrawRecord{DrawRecord::kPen};
  pen->penStyle = style;
  pen->penWidth = std::max(width, 1);
  pen->colour = colorref & 0xFFFFFF;
  fltk_backend::LiveObjects().insert(pen);
  return pen;
}

DrawObject CreateDrawBrush(uint32_t colorref) {
  auto* brush = new DrawRecord{DrawRecord::kBrush};
  brush->colour = colorref & 0xFFFFFF;
  fltk_backend::LiveObjects().insert(brush);
  return brush;
}

DrawObject CreateDrawFont(const FontSpec& wanted) {
  auto* font = new DrawRecord{DrawRecord::kFont};
  fltk_backend::FontFamily family = wanted.fixedPitch ? fltk_backend::FontFamily::kMono
                                                      : fltk_backend::FamilyForFace(wanted.face);
  font->font =
      fltk_backend::FontIndex(family, fltk_backend::IsBoldWeight(wanted.weight), wanted.italic);
  // A negative height is the character height, which is FLTK's size; a
  // positive one is the cell height, of which the characters take about 7/8.
  int height = wanted.height < 0 ? -wanted.height : wanted.height * 7 / 8;
  font->pixelSize = height > 0 ? height : 13;
  font->underline = wanted.underline;
  font->strikeOut = wanted.strikeOut;
  fltk_backend::LiveObjects().insert(font);
  return font;
}

DrawObject GetStockDrawObject(int index) {
  switch (index) {
    case kStockBlackBrush:
      return fltk_backend::StockBlackBrush();
    case kStockNullBrush:
      return fltk_backend::StockNullBrush();
    case kStockBlackPen:
      return fltk_backend::StockBlackPen();
    case kStockSystemFont:
      return fltk_backend::StockSystemFont();
    default:
      return nullptr;
  }
}

DrawObject SelectDrawObject(DeviceContext dc, DrawObject object) {
  Surface* s = AsSurface(dc);
  DrawRecord* record = AsObject(object);
  if (!s || !record) return nullptr;
  void** slot = record->kind == DrawRecord::kPen     ? &s->pen
                : record->kind == DrawRecord::kBrush ? &s->brush
                                                     : &s->font;
  void* previous = *slot;
  if (!previous) {
    previous = record->kind == DrawRecord::kPen     ? fltk_backend::StockBlackPen()
               : record->kind == DrawRecord::kBrush ? fltk_backend::StockWhiteBrush()
                                                    : fltk_backend::StockSystemFont();
  }
  *slot = record;
  return previous;
}

bool DeleteDrawObject(DrawObject object) {
  DrawRecord* record = AsObject(object);
  if (!record) return false;
  if (record->stock) return true;
  // An object still selected somewhere is not deleted.
  auto selectedIn = [record](Surface* s) {
    return s && (s->pen == record || s->brush == record || s->font == record);
  };
  if (selectedIn(fltk_backend::ScreenSurface())) return false;
  for (fltk_backend::NativeWindow* w : fltk_backend::AllWindows()) {
    if (selectedIn(w->surface)) return false;
  }
  fltk_backend::LiveObjects().erase(record);
  delete record;
  return true;
}

bool SetDrawTextColour(DeviceContext dc, uint32_t colorref) {
  Surface* s = AsSurface(dc);
  if (!s) return false;
  s->textColour = colorref & 0xFFFFFF;
  return true;
}

bool SetDrawTransparent(DeviceContext dc) {
  Surface* s = AsSurface(dc);
  if (!s) return false;
  s->transparent = true;
  return true;
}

bool DrawMoveTo(DeviceContext dc, int x, int y) {
  Surface* s = AsSurface(dc);
  if (!s) return false;
  s->penX = x;
  s->penY = y;
  return true;
}

bool DrawLineTo(DeviceContext dc, int x, int y) {
  Surface* s = AsSurface(dc);
  if (!s) return false;
  int x0 = s->penX, y0 = s->penY;
  s->penX = x;
  s->penY = y;
  if (!fltk_backend::MakeSurfaceCurrent(s)) return false;
  if (x0 == x && y0 == y) return true;
  if (fltk_backend::ScaleDpi() != fltk_backend::kBaseDpi) {
    fltk_backend::DrawScaledLine(fltk_backend::Pen(s), x0, y0, x, y);
    return true;
  }
  // The end point is not drawn: straight lines stop one pixel short.
  int x1 = x, y1 = y;
  if (y0 == y) x1 -= x > x0 ? 1 : -1;
  if (x0 == x) y1 -= y > y0 ? 1 : -1;
  fltk_backend::ApplyPen(fltk_backend::Pen(s));
  fl_line(x0, y0, x1, y1);
  fl_line_style(0);
  return true;
}

bool DrawFillRect(DeviceContext dc, const DrawRect& rect, DrawObject brush) {
  Surface* s = AsSurface(dc);
  DrawRecord* b = AsObject(brush);
  if (!s || !b || b->kind != DrawRecord::kBrush) return false;
  if (!fltk_backend::MakeSurfaceCurrent(s)) return false;
  if (b->nullBrush || rect.right <= rect.left || rect.bottom <= rect.top) return true;
  fltk_backend::SetColour(b->colour);
  DrawRect px = fltk_backend::PxRect(rect);
  fl_rectf(px.left, px.top, px.right - px.left, px.bottom - px.top);
  return true;
}

bool DrawEllipse(DeviceContext dc, const DrawRect& rect) {
  Surface* s = AsSurface(dc);
  if (!s || !fltk_backend::MakeSurfaceCurrent(s)) return false;
  DrawRect px = fltk_backend::PxRect(rect);
  int w = px.right - px.left, h = px.bottom - px.top;
  if (w <= 0 || h <= 0) return true;
  DrawRecord* brush = fltk_backend::Brush(s);
  if (!brush->nullBrush) {
    fltk_backend::SetColour(brush->colour);
    fl_pie(px.left, px.top, w, h, 0, 360);
  }
  fltk_backend::ApplyPen(fltk_backend::Pen(s));
  fl_arc(px.left, px.top, w, h, 0, 360);
  fl_line_style(0);
  return true;
}

bool MeasureDrawText(DeviceContext dc, const char* text, int length, int maxWidth, int* fit,
                     int* width, int* height) {
  Surface* s = AsSurface(dc);
  if (!s || !text || length < 0 || !fltk_backend::EnsureDisplay()) return false;
  fltk_backend::ApplyFont(s);
  // Measured in pixels; extents in units are rounded up, so the text fits what is sized from them.
  const int dpi = fltk_backend::ScaleDpi();
  if (fit) {
    *fit = fltk_backend::CountFittingCharacters(text, length, fltk_backend::Px(maxWidth),
                                                fltk_backend::MeasureWith);
  }
  if (width) *width = fltk_backend::UnitsCovering(fltk_backend::MeasureWith(text, length), dpi);
  if (height) *height = fltk_backend::UnitsCovering(fl_height(), dpi);
  return true;
}

int DrawTextInRect(DeviceContext dc, const char* text, int length, const DrawRect& units,
                   unsigned flags) {
  Surface* s = AsSurface(dc);
  if (!s || !text || !fltk_backend::MakeSurfaceCurrent(s)) return 0;
  if (length < 0) length = int(std::strlen(text));
  fltk_backend::ApplyFont(s);
  const DrawRect px = fltk_backend::PxRect(units);
  const DrawRect& rect = px;  // laid out and drawn in pixels
  const bool singleLine = (flags & kTextSingleLine) != 0;
  auto lines = fltk_backend::LayoutTextLines(text, length, rect.right - rect.left,
                                             (flags & kTextWordBreak) != 0, singleLine,
                                             fltk_backend::MeasureWith);
  const int lineHeight = fl_height(), descent = fl_descent();
  const int total = int(lines.size()) * lineHeight;
  int y = rect.top;
  // Vertical centring and bottom alignment apply to single lines only, as with DrawTextA.
  if (singleLine && (flags & kTextVCenter))
    y = rect.top + (rect.bottom - rect.top - lineHeight) / 2;
  if (singleLine && (flags & kTextBottom)) y = rect.bottom - lineHeight;
  const bool clip = !(flags & kTextNoClip);
  if (clip) fl_push_clip(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  DrawRecord* font = fltk_backend::Font(s);
  for (const fltk_backend::TextLine& line : lines) {
    int x = rect.left;
    if (flags & kTextCenter) x = rect.left + (rect.right - rect.left - line.width) / 2;
    if (flags & kTextRight) x = rect.right - line.width;
    if (!s->transparent) {
      fl_color(FL_WHITE);  // the default opaque background
      fl_rectf(x, y, line.width, lineHeight);
    }
    fltk_backend::SetColour(s->textColour);
    fl_draw(text + line.start, line.length, x, y + lineHeight - descent);
    const int thick = fltk_backend::Px(1);  // one unit of line, in pixels
    if (thick == 1) {
      if (font->underline) fl_xyline(x, y + lineHeight - descent + 1, x + line.width - 1);
      if (font->strikeOut) fl_xyline(x, y + (lineHeight - descent) * 2 / 3, x + line.width - 1);
    } else {
      if (font->underline) fl_rectf(x, y + lineHeight - descent + thick, line.width, thick);
      if (font->strikeOut) fl_rectf(x, y + (lineHeight - descent) * 2 / 3, line.width, thick);
    }
    y += lineHeight;
  }
  if (clip) fl_pop_clip();
  return fltk_backend::UnitsCovering(total, fltk_backend::ScaleDpi());
}

int GetDrawCaps(DeviceContext dc, int index) {
  if (!AsSurface(dc) || !fltk_backend::EnsureDisplay()) return 0;
  if (index == kCapsLogPixelsY) return fltk_backend::ScreenDpi();
  if (index == kCapsBitsPixel) return DefaultDepth(fl_display, fl_screen);
  return 0;
}

void* WindowFromDrawContext(DeviceContext dc) {
  Surface* s = AsSurface(dc);
  return s ? s->window : nullptr;
}

DeviceContext GetWindowDrawContext(void* window) {
  fltk_backend::NativeWindow* record = fltk_backend::AsWindow(window);
  if (!record || record->isControl) return nullptr;
  return record->surface;
}

void ReleaseWindowDrawContext(void* /*window*/, DeviceContext dc) {
  if (AsSurface(dc) && fltk_backend::EnsureDisplay()) XFlush(fl_display);
}

DeviceContext GetScreenDrawContext() {
  return fltk_backend::EnsureDisplay() ? fltk_backend::ScreenSurface() : nullptr;
}

void ReleaseScreenDrawContext(DeviceContext /*dc*/) {}

}  // namespace platform
