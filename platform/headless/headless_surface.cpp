#include "platform/headless/headless_surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <set>

namespace headless {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kSystemFontHeight = 16;

struct Object {
  DrawObjectInfo::Kind kind = DrawObjectInfo::kNone;
  bool stock = false;
  bool nullBrush = false;
  uint32_t rgb = 0;
  int penStyle = 0;
  int penWidth = 1;
  platform::FontSpec font{};
  std::string face;
  int selections = 0;  // how many surfaces have it selected
};

uint32_t RgbFromColorref(uint32_t colorref) {
  return ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}

Object* MakeStock(DrawObjectInfo::Kind kind) {
  static std::vector<Object*> stocks;  // lives for the process, like GDI's stock objects
  Object* object = new Object;
  object->kind = kind;
  object->stock = true;
  stocks.push_back(object);
  return object;
}

Object* StockBlackPen() {
  static Object* pen = MakeStock(DrawObjectInfo::kPen);
  return pen;
}
Object* StockBlackBrush() {
  static Object* brush = MakeStock(DrawObjectInfo::kBrush);
  return brush;
}
Object* StockNullBrush() {
  static Object* brush = [] {
    Object* b = MakeStock(DrawObjectInfo::kBrush);
    b->nullBrush = true;
    return b;
  }();
  return brush;
}
// The default brush of a fresh context (GDI's WHITE_BRUSH); not reachable through the seam.
Object* StockWhiteBrush() {
  static Object* brush = [] {
    Object* b = MakeStock(DrawObjectInfo::kBrush);
    b->rgb = kWhite;
    return b;
  }();
  return brush;
}
Object* StockSystemFont() {
  static Object* font = [] {
    Object* f = MakeStock(DrawObjectInfo::kFont);
    f->face = "System";
    f->font.height = kSystemFontHeight;
    f->font.weight = 700;
    f->font.face = f->face.c_str();
    return f;
  }();
  return font;
}

std::set<Object*>& LiveObjects() {
  static std::set<Object*> live;
  return live;
}

bool failPens = false;
bool failBrushes = false;
bool failFonts = false;
int outstandingContexts = 0;

Object* AsObject(platform::DrawObject handle) {
  Object* object = static_cast<Object*>(handle);
  if (!object) return nullptr;
  if (object == StockBlackPen() || object == StockBlackBrush() || object == StockNullBrush() ||
      object == StockWhiteBrush() || object == StockSystemFont()) {
    return object;
  }
  return LiveObjects().count(object) ? object : nullptr;
}

}  // namespace

class Surface {
 public:
  void* window = nullptr;
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  std::vector<DrawOp> ops;
  Object* pen = nullptr;
  Object* brush = nullptr;
  Object* font = nullptr;
  uint32_t textRgb = 0;
  uint32_t backRgb = kWhite;
  bool transparent = false;
  int x = 0;
  int y = 0;
  int uses = 0;  // window contexts handed out and not given back
};

namespace {

std::set<Surface*>& LiveSurfaces() {
  static std::set<Surface*> live;
  return live;
}

Surface* AsSurface(platform::DeviceContext dc) {
  Surface* surface = static_cast<Surface*>(dc);
  return surface && LiveSurfaces().count(surface) ? surface : nullptr;
}

Surface* ScreenSurface() {
  static Surface* screen = CreateSurface(nullptr, 0, 0);
  return screen;
}

int LineHeight(const Object* font) {
  int h = std::abs(font->font.height);
  return h ? h : kSystemFontHeight;
}

void Select(Object*& slot, Object* object) {
  if (slot) slot->selections--;
  slot = object;
  if (slot) slot->selections++;
}

void Plot(Surface* s, int x, int y, uint32_t rgb, const platform::DrawRect* clip) {
  if (x < 0 || y < 0 || x >= s->width || y >= s->height) return;
  if (clip && (x < clip->left || x >= clip->right || y < clip->top || y >= clip->bottom)) return;
  s->pixels[static_cast<size_t>(y) * s->width + x] = rgb;
}

void FillBox(Surface* s, int left, int top, int right, int bottom, uint32_t rgb,
             const platform::DrawRect* clip) {
  for (int y = std::max(top, 0); y < std::min(bottom, s->height); ++y) {
    for (int x = std::max(left, 0); x < std::min(right, s->width); ++x) Plot(s, x, y, rgb, clip);
  }
}

void StampPen(Surface* s, int x, int y, const Object* pen) {
  int w = std::max(pen->penWidth, 1);
  int from = -(w - 1) / 2;
  FillBox(s, x + from, y + from, x + from + w, y + from + w, pen->rgb, nullptr);
}

bool PenOnAt(const Object* pen, int step) {
  if (pen->penWidth > 1) return true;
  if (pen->penStyle == platform::kPenDash) return step % 24 < 18;
  if (pen->penStyle == platform::kPenDot) return step % 6 < 3;
  return true;
}

DrawOp MakeOp(const Surface* s, DrawOpKind kind) {
  DrawOp op;
  op.kind = kind;
  op.penWidth = s->pen->penWidth;
  op.penStyle = s->pen->penStyle;
  op.fontFace = s->font->face;
  op.fontHeight = s->font->font.height;
  op.fontWeight = s->font->font.weight;
  op.fontEscapement = s->font->font.escapement;
  op.italic = s->font->font.italic;
  op.underline = s->font->font.underline;
  op.strikeOut = s->font->font.strikeOut;
  op.fixedPitch = s->font->font.fixedPitch;
  op.transparent = s->transparent;
  return op;
}

// Paints one line of text with glyph boxes starting at (x, y).
void PaintTextLine(Surface* s, const char* text, int length, int x, int y,
                   const platform::DrawRect* clip) {
  int lh = LineHeight(s->font);
  int adv = TextAdvance(lh);
  int inset = std::max(lh / 5, 1);
  for (int i = 0; i < length; ++i, x += adv) {
    if (!s->transparent) FillBox(s, x, y, x + adv, y + lh, s->backRgb, clip);
    if (text[i] == ' ' || text[i] == '\t') continue;
    FillBox(s, x + 1, y + inset, x + adv - 1, y + lh - inset, s->textRgb, clip);
  }
}

struct TextLine {
  int start;
  int length;
};

// Splits text into lines at line feeds and, with word breaks, at blanks so
// that each line fits in width pixels; a word wider than the line is cut.
std::vector<TextLine> LayOutText(const char* text, int length, int width, int adv, unsigned flags) {
  std::vector<TextLine> lines;
  bool single = flags & platform::kTextSingleLine;
  bool wrap = (flags & platform::kTextWordBreak) && !single;
  int maxChars = std::max(width / adv, 1);
  int pos = 0;
  while (pos <= length) {
    int end = pos;
    while (end < length && (single || (text[end] != '\n' && text[end] != '\r'))) ++end;
    if (!wrap || end - pos <= maxChars) {
      lines.push_back({pos, end - pos});
    } else {
      int p = pos;
      while (end - p > maxChars) {
        int cut = p + maxChars;
        int blank = cut;
        while (blank > p && text[blank] != ' ') --blank;
        if (blank > p) {
          lines.push_back({p, blank - p});
          p = blank + 1;
        } else {
          lines.push_back({p, cut - p});
          p = cut;
        }
      }
      lines.push_back({p, end - p});
    }
    if (end >= length) break;
    pos = end + 1;
    if (text[end] == '\r' && pos < length && text[pos] == '\n') ++pos;
  }
  return lines;
}

}  // namespace

Surface* CreateSurface(void* window, int width, int height) {
  Surface* s = new (std::nothrow) Surface;
  if (!s) return nullptr;
  s->window = window;
  s->width = std::max(width, 0);
  s->height = std::max(height, 0);
  s->pixels.assign(static_cast<size_t>(s->width) * s->height, kWhite);
  Select(s->pen, StockBlackPen());
  Select(s->brush, StockWhiteBrush());
  Select(s->font, StockSystemFont());
  LiveSurfaces().insert(s);
  return s;
}

void ResizeSurface(Surface* surface, int width, int height) {
  Surface* s = AsSurface(surface);
  if (!s) return;
  width = std::max(width, 0);
  height = std::max(height, 0);
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, kWhite);
  for (int y = 0; y < std::min(height, s->height); ++y) {
    for (int x = 0; x < std::min(width, s->width); ++x) {
      pixels[static_cast<size_t>(y) * width + x] = s->pixels[static_cast<size_t>(y) * s->width + x];
    }
  }
  s->pixels.swap(pixels);
  s->width = width;
  s->height = height;
}

void DestroySurface(Surface* surface) {
  Surface* s = AsSurface(surface);
  if (!s) return;
  outstandingContexts -= s->uses;
  Select(s->pen, nullptr);
  Select(s->brush, nullptr);
  Select(s->font, nullptr);
  LiveSurfaces().erase(s);
  delete s;
}

const std::vector<DrawOp>& SurfaceOps(const Surface* surface) {
  return surface->ops;
}

void ClearSurfaceOps(Surface* surface) {
  if (AsSurface(surface)) surface->ops.clear();
}

uint32_t SurfacePixel(const Surface* s, int x, int y) {
  if (!s || x < 0 || y < 0 || x >= s->width || y >= s->height) return kNoPixel;
  return s->pixels[static_cast<size_t>(y) * s->width + x];
}

void FillSurface(Surface* surface, uint32_t rgb) {
  if (AsSurface(surface)) std::fill(surface->pixels.begin(), surface->pixels.end(), rgb);
}

int SurfaceWidth(const Surface* surface) {
  return surface ? surface->width : 0;
}
int SurfaceHeight(const Surface* surface) {
  return surface ? surface->height : 0;
}
void* SurfaceWindow(const Surface* surface) {
  return surface ? surface->window : nullptr;
}

Surface* FindSurface(void* window) {
  if (!window) return nullptr;
  for (Surface* s : LiveSurfaces()) {
    if (s->window == window) return s;
  }
  return nullptr;
}

uint32_t SurfaceTextColour(const Surface* surface) {
  return surface ? surface->textRgb : 0;
}
bool SurfaceTransparent(const Surface* surface) {
  return surface && surface->transparent;
}

DrawObjectInfo DescribeDrawObject(platform::DrawObject handle) {
  DrawObjectInfo info;
  Object* o = AsObject(handle);
  if (!o) return info;
  info.kind = o->kind;
  info.stock = o->stock;
  info.nullBrush = o->nullBrush;
  info.colour = o->rgb;
  info.penStyle = o->penStyle;
  info.penWidth = o->penWidth;
  info.font = o->font;
  info.font.face = o->face.c_str();
  return info;
}

platform::DrawObject SelectedPen(const Surface* surface) {
  return surface ? surface->pen : nullptr;
}
platform::DrawObject SelectedBrush(const Surface* surface) {
  return surface ? surface->brush : nullptr;
}
platform::DrawObject SelectedFont(const Surface* surface) {
  return surface ? surface->font : nullptr;
}

int LiveDrawObjects() {
  return static_cast<int>(LiveObjects().size());
}

int OutstandingDrawContexts() {
  return outstandingContexts;
}

void FailDrawObjectCreation(bool pens, bool brushes, bool fonts) {
  failPens = pens;
  failBrushes = brushes;
  failFonts = fonts;
}

}  // namespace headless

namespace platform {

using headless::AsObject;
using headless::AsSurface;
using headless::Object;
using headless::Surface;

DrawObject CreateDrawPen(int style, int width, uint32_t colorref) {
  if (headless::failPens || style < kPenSolid || style > kPenDot) return nullptr;
  Object* o = new (std::nothrow) Object;
  if (!o) return nullptr;
  o->kind = headless::DrawObjectInfo::kPen;
  o->penStyle = style;
  o->penWidth = std::max(width, 1);  // GDI draws a width of 0 as one pixel
  o->rgb = headless::RgbFromColorref(colorref);
  headless::LiveObjects().insert(o);
  return o;
}

DrawObject CreateDrawBrush(uint32_t colorref) {
  if (headless::failBrushes) return nullptr;
  Object* o = new (std::nothrow) Object;
  if (!o) return nullptr;
  o->kind = headless::DrawObjectInfo::kBrush;
  o->rgb = headless::RgbFromColorref(colorref);
  headless::LiveObjects().insert(o);
  return o;
}

DrawObject CreateDrawFont(const FontSpec& request) {
  if (headless::failFonts) return nullptr;
  Object* o = new (std::nothrow) Object;
  if (!o) return nullptr;
  o->kind = headless::DrawObjectInfo::kFont;
  o->font = request;
  // LOGFONT keeps at most 31 characters of the face name.
  o->face = request.face ? std::string(request.face, strnlen(request.face, 31)) : std::string();
  o->font.face = o->face.c_str();
  headless::LiveObjects().insert(o);
  return o;
}

DrawObject GetStockDrawObject(int index) {
  switch (index) {
    case kStockBlackPen:
      return headless::StockBlackPen();
    case kStockBlackBrush:
      return headless::StockBlackBrush();
    case kStockNullBrush:
      return headless::StockNullBrush();
    case kStockSystemFont:
      return headless::StockSystemFont();
    default:
      return nullptr;
  }
}

DrawObject SelectDrawObject(DeviceContext dc, DrawObject object) {
  Surface* s = AsSurface(dc);
  Object* o = AsObject(object);
  if (!s || !o) return nullptr;
  Object** slot = nullptr;
  switch (o->kind) {
    case headless::DrawObjectInfo::kPen:
      slot = &s->pen;
      break;
    case headless::DrawObjectInfo::kBrush:
      slot = &s->brush;
      break;
    case headless::DrawObjectInfo::kFont:
      slot = &s->font;
      break;
    default:
      return nullptr;
  }
  Object* previous = *slot;
  headless::Select(*slot, o);
  return previous;
}

bool DeleteDrawObject(DrawObject object) {
  Object* o = AsObject(object);
  if (!o) return false;
  if (o->stock) return true;
  // Deleting an object that a context still uses is refused, so that a
  // wrapper that forgot to restore the previous object shows up as a leak.
  if (o->selections > 0) return false;
  headless::LiveObjects().erase(o);
  delete o;
  return true;
}

bool SetDrawTextColour(DeviceContext dc, uint32_t colorref) {
  Surface* s = AsSurface(dc);
  if (!s) return false;
  s->textRgb = headless::RgbFromColorref(colorref);
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
  s->x = x;
  s->y = y;
  return true;
}

bool DrawLineTo(DeviceContext dc, int x, int y) {
  Surface* s = AsSurface(dc);
  if (!s) return false;
  headless::DrawOp op = headless::MakeOp(s, headless::DrawOpKind::kLine);
  op.left = s->x;
  op.top = s->y;
  op.right = x;
  op.bottom = y;
  op.colour = s->pen->rgb;
  s->ops.push_back(op);
  // Bresenham from the current position, leaving out the end point.
  int x0 = s->x, y0 = s->y;
  int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
  int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
  int err = dx + dy;
  for (int step = 0; x0 != x || y0 != y; ++step) {
    if (headless::PenOnAt(s->pen, step)) headless::StampPen(s, x0, y0, s->pen);
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
  s->x = x;
  s->y = y;
  return true;
}

bool DrawFillRect(DeviceContext dc, const DrawRect& rect, DrawObject brush) {
  Surface* s = AsSurface(dc);
  Object* b = AsObject(brush);
  if (!s || !b || b->kind != headless::DrawObjectInfo::kBrush) return false;
  headless::DrawOp op = headless::MakeOp(s, headless::DrawOpKind::kFillRect);
  op.left = rect.left;
  op.top = rect.top;
  op.right = rect.right;
  op.bottom = rect.bottom;
  op.colour = b->rgb;
  op.fillColour = b->rgb;
  op.filled = !b->nullBrush;
  s->ops.push_back(op);
  if (!b->nullBrush) {
    headless::FillBox(s, rect.left, rect.top, rect.right, rect.bottom, b->rgb, nullptr);
  }
  return true;
}

bool DrawEllipse(DeviceContext dc, const DrawRect& rect) {
  Surface* s = AsSurface(dc);
  if (!s) return false;
  headless::DrawOp op = headless::MakeOp(s, headless::DrawOpKind::kEllipse);
  op.left = rect.left;
  op.top = rect.top;
  op.right = rect.right;
  op.bottom = rect.bottom;
  op.colour = s->pen->rgb;
  op.fillColour = s->brush->rgb;
  op.filled = !s->brush->nullBrush;
  s->ops.push_back(op);
  double cx = (rect.left + rect.right) / 2.0, cy = (rect.top + rect.bottom) / 2.0;
  double rx = (rect.right - rect.left) / 2.0, ry = (rect.bottom - rect.top) / 2.0;
  if (rx <= 0 || ry <= 0) return true;
  double w = std::max(s->pen->penWidth, 1);
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      double px = x + 0.5 - cx, py = y + 0.5 - cy;
      if ((px * px) / (rx * rx) + (py * py) / (ry * ry) > 1.0) continue;
      double irx = rx - w, iry = ry - w;
      bool inner = irx > 0 && iry > 0 && (px * px) / (irx * irx) + (py * py) / (iry * iry) <= 1.0;
      if (!inner) {
        headless::Plot(s, x, y, s->pen->rgb, nullptr);
      } else if (!s->brush->nullBrush) {
        headless::Plot(s, x, y, s->brush->rgb, nullptr);
      }
    }
  }
  return true;
}

bool MeasureDrawText(DeviceContext dc, const char* text, int length, int maxWidth, int* fit,
                     int* width, int* height) {
  Surface* s = AsSurface(dc);
  if (!s || (!text && length > 0) || length < 0) return false;
  int lh = headless::LineHeight(s->font);
  int adv = headless::TextAdvance(lh);
  if (fit) *fit = std::clamp(maxWidth / adv, 0, length);
  if (width) *width = length * adv;
  if (height) *height = lh;
  return true;
}

int DrawTextInRect(DeviceContext dc, const char* text, int length, const DrawRect& rect,
                   unsigned flags) {
  Surface* s = AsSurface(dc);
  if (!s || !text) return 0;
  if (length < 0) length = static_cast<int>(strlen(text));
  headless::DrawOp op = headless::MakeOp(s, headless::DrawOpKind::kText);
  op.left = rect.left;
  op.top = rect.top;
  op.right = rect.right;
  op.bottom = rect.bottom;
  op.colour = s->textRgb;
  op.text.assign(text, length);
  op.flags = flags;
  s->ops.push_back(op);

  int lh = headless::LineHeight(s->font);
  int adv = headless::TextAdvance(lh);
  std::vector<headless::TextLine> lines =
      headless::LayOutText(text, length, rect.right - rect.left, adv, flags);
  int total = static_cast<int>(lines.size()) * lh;
  int y = rect.top;
  if (flags & kTextSingleLine) {
    if (flags & kTextBottom) {
      y = rect.bottom - lh;
    } else if (flags & kTextVCenter) {
      y = rect.top + (rect.bottom - rect.top - lh) / 2;
    }
  }
  const DrawRect* clip = (flags & kTextNoClip) ? nullptr : &rect;
  for (const headless::TextLine& line : lines) {
    int w = line.length * adv;
    int x = rect.left;
    if (flags & kTextRight) {
      x = rect.right - w;
    } else if (flags & kTextCenter) {
      x = rect.left + (rect.right - rect.left - w) / 2;
    }
    headless::PaintTextLine(s, text + line.start, line.length, x, y, clip);
    y += lh;
  }
  return total;
}

int GetDrawCaps(DeviceContext dc, int index) {
  if (!AsSurface(dc)) return 0;
  switch (index) {
    case kCapsLogPixelsY:
      return 96;
    case kCapsBitsPixel:
      return 24;
    default:
      return 0;
  }
}

void* WindowFromDrawContext(DeviceContext dc) {
  Surface* s = AsSurface(dc);
  return s ? s->window : nullptr;
}

DeviceContext GetWindowDrawContext(void* window) {
  Surface* s = headless::FindSurface(window);
  if (!s) return nullptr;
  s->uses++;
  headless::outstandingContexts++;
  return s;
}

void ReleaseWindowDrawContext(void* window, DeviceContext dc) {
  Surface* s = AsSurface(dc);
  if (!s || s->window != window || s->uses <= 0) return;
  s->uses--;
  headless::outstandingContexts--;
}

DeviceContext GetScreenDrawContext() {
  Surface* s = headless::ScreenSurface();
  if (!s) return nullptr;
  s->uses++;
  headless::outstandingContexts++;
  return s;
}

void ReleaseScreenDrawContext(DeviceContext dc) {
  Surface* s = AsSurface(dc);
  if (!s || s != headless::ScreenSurface() || s->uses <= 0) return;
  s->uses--;
  headless::outstandingContexts--;
}

}  // namespace platform
