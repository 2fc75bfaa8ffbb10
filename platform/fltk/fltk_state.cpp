#include "platform/fltk/fltk_state.h"

#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

#include "platform/fltk/fltk_window.h"
#include "platform/gui_window.h"

namespace fltk_backend {

namespace {

platform::EventHandler gHandler = nullptr;

struct QueuedDrop {
  NativeWindow* window;
  int x;
  int y;
  std::vector<std::string> names;
};

std::deque<QueuedDrop>& Drops() {
  static std::deque<QueuedDrop> drops;
  return drops;
}

DesktopScale gScale;

// The scale from the environment and the X resources of the open display.
DesktopScale ReadDesktopScale(Display* display) {
  DesktopScaleSettings settings;
  settings.programOverride = std::getenv("KRN2HTML_SCALE");
  settings.gdkScale = std::getenv("GDK_SCALE");
  settings.xResources = XResourceManagerString(display);
  return ScaleFromSettings(settings);
}

// Frame extents last reported by the window manager (left, top, right, bottom).
platform::Rect gKnownFrame{};

bool ReadFrameExtents(Window xid, platform::Rect* frame) {
  Atom extents = XInternAtom(fl_display, "_NET_FRAME_EXTENTS", True);
  if (extents == None) return false;
  Atom type;
  int format;
  unsigned long count = 0, rest;
  unsigned char* data = nullptr;
  bool ok = XGetWindowProperty(fl_display, xid, extents, 0, 4, False, XA_CARDINAL, &type, &format,
                               &count, &rest, &data) == Success &&
            data && format == 32 && count == 4;
  if (ok) {
    const long* v = reinterpret_cast<const long*>(data);
    *frame = {int(v[0]), int(v[2]), int(v[1]), int(v[3])};
  }
  if (data) XFree(data);
  return ok;
}

// The faces the drawing calls ask for, by family and style (see FontIndex).
void RegisterFonts() {
  static const char* const kFamilies[] = {"Liberation Sans", "Liberation Serif", "Liberation Mono"};
  static const char kStyles[] = {' ', 'B', 'I', 'P'};  // FLTK's Xft prefixes
  static std::string names[12];
  for (int family = 0; family < 3; ++family) {
    for (int style = 0; style < 4; ++style) {
      std::string& name = names[family * 4 + style];
      name = std::string(1, kStyles[style]) + kFamilies[family];
      Fl::set_font(Fl_Font(kFirstFont + family * 4 + style), name.c_str());
    }
  }
}

}  // namespace

int FontIndex(FontFamily family, bool bold, bool italic) {
  return kFirstFont + int(family) * 4 + (bold ? 1 : 0) + (italic ? 2 : 0);
}

bool EnsureDisplay() {
  static int state = 0;  // 0 not tried, 1 open, -1 failed
  if (state == 0) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
      state = -1;
    } else {
      fl_open_display(display);
      gScale = ReadDesktopScale(display);
      // FLTK's own file chooser and widgets take their look from here.
      Fl::scheme("gtk+");
      Fl::visible_focus(1);
      RegisterFonts();
      state = 1;
    }
  }
  return state == 1;
}

int ScaleDpi() {
  return gScale.dpi;
}

int DesktopFontDpi() {
  return gScale.fontDpi;
}

int Px(int units) {
  return ScaleUp(units, gScale.dpi);
}

int Units(int pixels) {
  return ScaleDown(pixels, gScale.dpi);
}

int UnitsAt(int pixels) {
  return UnitAtPixel(pixels, gScale.dpi);
}

platform::Rect PxRect(const platform::Rect& units) {
  return {Px(units.left), Px(units.top), Px(units.right), Px(units.bottom)};
}

platform::Rect UnitsRect(const platform::Rect& pixels) {
  return {UnitAtPixel(pixels.left, gScale.dpi), UnitAtPixel(pixels.top, gScale.dpi),
          UnitsCovering(pixels.right, gScale.dpi), UnitsCovering(pixels.bottom, gScale.dpi)};
}

std::vector<NativeWindow*>& AllWindows() {
  static std::vector<NativeWindow*> windows;
  return windows;
}

NativeWindow* AsWindow(const void* handle) {
  if (!handle) return nullptr;
  for (NativeWindow* w : AllWindows()) {
    if (w == handle) return w;
  }
  return nullptr;
}

NativeWindow* TopLevelOf(NativeWindow* record) {
  while (record && record->isControl) record = record->owner;
  return record;
}

intptr_t Deliver(platform::PlatformEvent* event) {
  return gHandler ? gHandler(event) : 0;
}

void SetHandler(platform::EventHandler handler) {
  gHandler = handler;
}

void FillModifiers(platform::PlatformEvent* event) {
  if (!EnsureDisplay()) return;
  Window root, child;
  int rx, ry, wx, wy;
  unsigned int mask = 0;
  XQueryPointer(fl_display, RootWindow(fl_display, fl_screen), &root, &child, &rx, &ry, &wx, &wy,
                &mask);
  event->shift = (mask & ShiftMask) != 0;
  event->control = (mask & ControlMask) != 0;
  event->alt = (mask & Mod1Mask) != 0;
  event->capsLock = (mask & LockMask) != 0;
}

bool IsPopupStyle(uint32_t style) {
  return (style & platform::kStyleCaption) == 0;
}

platform::Rect FrameInsets(uint32_t style, NativeWindow* window) {
  if (IsPopupStyle(style)) return {0, 0, 0, 0};
  if (window && window->window && window->window->shown() && EnsureDisplay()) {
    platform::Rect frame;
    if (ReadFrameExtents(fl_xid(window->window), &frame)) gKnownFrame = frame;
  }
  return gKnownFrame;
}

void QueueDrop(NativeWindow* window, int x, int y, std::vector<std::string> programNames) {
  Drops().push_back({window, x, y, std::move(programNames)});
}

bool HasQueuedDrops() {
  return !Drops().empty();
}

bool DeliverQueuedDrops() {
  bool any = false;
  while (!Drops().empty()) {
    QueuedDrop drop = std::move(Drops().front());
    Drops().pop_front();
    if (!AsWindow(drop.window) || drop.window->destroying) continue;
    std::vector<const char*> names;
    for (const std::string& name : drop.names) names.push_back(name.c_str());
    platform::PlatformEvent event{};
    event.window = drop.window;
    event.code = platform::kEventFilesDropped;
    event.x = UnitsAt(drop.x);
    event.y = UnitsAt(drop.y);
    event.dropCount = int32_t(names.size());
    event.dropNames = names.data();
    event.rawMessage = 0x0233;  // WM_DROPFILES
    FillModifiers(&event);
    Deliver(&event);
    any = true;
  }
  return any;
}

namespace {

std::vector<Surface*>& LiveSurfaces() {
  static std::vector<Surface*> surfaces;
  return surfaces;
}

}  // namespace

Surface* CreateSurface(NativeWindow* window) {
  Surface* surface = new Surface;
  surface->window = window;
  LiveSurfaces().push_back(surface);
  return surface;
}

void DestroySurface(Surface* surface) {
  auto& live = LiveSurfaces();
  live.erase(std::remove(live.begin(), live.end(), surface), live.end());
  delete surface;
}

bool IsLiveSurface(const void* handle) {
  auto& live = LiveSurfaces();
  return std::find(live.begin(), live.end(), handle) != live.end();
}

bool MakeSurfaceCurrent(Surface* surface) {
  if (!surface || !surface->window) return false;
  NativeWindow* record = AsWindow(surface->window);
  if (!record || !record->window || !record->window->shown()) return false;
  if (Fl_Window::current() != record->window || !fl_gc) record->window->make_current();
  return true;
}

}  // namespace fltk_backend
