// Top-level windows and the geometry, state and painting calls of
// platform/gui_window.h over FLTK.
#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "platform/fltk/fltk_state.h"
#include "platform/fltk/fltk_window.h"
#include "platform/fltk/key_map.h"
#include "platform/fltk/uri_list.h"
#include "platform/gui_window.h"
#include "platform/native_path.h"

namespace fltk_backend {

namespace {

constexpr uintptr_t kWmDestroy = 0x0002;
constexpr uintptr_t kWmPaint = 0x000F;
constexpr uintptr_t kWmClose = 0x0010;

// The window manager's close box (and FLTK's Escape shortcut) end up here.
void CloseCallback(Fl_Widget* widget, void*) {
  NativeWindow* record = static_cast<KrnWindow*>(widget)->record();
  if (!record || record->destroying) return;
  // Escape does not close a window on the system this program comes from. It comes here when
  // a control has the focus and did not take it: it is the window's key, as on Windows.
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) {
    if (!record->enabled) return;
    platform::PlatformEvent key{};
    key.window = record;
    key.code = platform::kEventKeyDown;
    FillModifiers(&key);
    key.key = 0x1B;  // VK_ESCAPE
    key.character = 0x1B;
    key.rawMessage = 0x0100;  // WM_KEYDOWN
    Deliver(&key);
    return;
  }
  platform::PlatformEvent event{};
  event.window = record;
  event.code = platform::kEventCloseRequest;
  event.rawMessage = kWmClose;
  FillModifiers(&event);
  Deliver(&event);
}

bool IsInputEvent(int event) {
  switch (event) {
    case FL_PUSH:
    case FL_RELEASE:
    case FL_DRAG:
    case FL_MOUSEWHEEL:
    case FL_KEYBOARD:
    case FL_KEYUP:
    case FL_SHORTCUT:
      return true;
    default:
      return false;
  }
}

platform::PlatformEvent MouseEvent(NativeWindow* record, int32_t code, uintptr_t raw) {
  platform::PlatformEvent event{};
  event.window = record;
  event.code = code;
  // The pixel under the pointer, in the toolkit's units.
  event.x = UnitsAt(Fl::event_x());
  event.y = UnitsAt(Fl::event_y());
  FillModifiers(&event);
  // Mouse messages carry their own shift and control bits.
  event.shift = (Fl::event_state() & FL_SHIFT) != 0;
  event.control = (Fl::event_state() & FL_CTRL) != 0;
  event.rawMessage = raw;
  event.rawLParam = (uintptr_t(uint16_t(event.y)) << 16) | uint16_t(event.x);
  return event;
}

}  // namespace

KrnWindow::KrnWindow(NativeWindow* record) : Fl_Window(0, 0, 1, 1), record_(record) {
  end();
  resizable(nullptr);
  box(FL_FLAT_BOX);
  callback(CloseCallback);
}

int KrnWindow::HandleMouse(int event) {
  NativeWindow* record = record_;
  switch (event) {
    case FL_PUSH: {
      // A press on a control is the control's; only the window's own area is reported.
      if (Fl_Window::handle(event)) return 1;
      if (!record->enabled) return 1;
      int button = Fl::event_button();
      if (button != FL_LEFT_MOUSE && button != FL_RIGHT_MOUSE) return 1;
      bool left = button == FL_LEFT_MOUSE;
      bool twice = Fl::event_clicks() > 0;
      uintptr_t raw = left ? (twice ? 0x0203 : 0x0201) : (twice ? 0x0206 : 0x0204);
      platform::PlatformEvent e =
          MouseEvent(record, left ? platform::kEventLeftDown : platform::kEventRightDown, raw);
      e.doubleClick = twice;
      Deliver(&e);
      return 1;  // the window is now the pushed widget and sees drags and the release
    }
    case FL_RELEASE: {
      if (!record->enabled) return 1;
      int button = Fl::event_button();
      if (button != FL_LEFT_MOUSE && button != FL_RIGHT_MOUSE) return 1;
      bool left = button == FL_LEFT_MOUSE;
      platform::PlatformEvent e = MouseEvent(
          record, left ? platform::kEventLeftUp : platform::kEventRightUp, left ? 0x0202 : 0x0205);
      Deliver(&e);
      return 1;
    }
    case FL_DRAG: {
      platform::PlatformEvent e = MouseEvent(record, platform::kEventMouseMove, 0x0200);
      Deliver(&e);
      return 1;
    }
    case FL_MOVE: {
      Fl_Window::handle(event);
      // Moves over a control are the control's.
      Fl_Widget* below = Fl::belowmouse();
      if (below && below != this) return 1;
      platform::PlatformEvent e = MouseEvent(record, platform::kEventMouseMove, 0x0200);
      Deliver(&e);
      return 1;
    }
  }
  return Fl_Window::handle(event);
}

int KrnWindow::HandleKey(int event) {
  if (Fl_Window::handle(event)) return 1;
  NativeWindow* record = record_;
  // Keys reach the window only while no control of it has the focus.
  Fl_Widget* focus = Fl::focus();
  if (focus && focus != this && focus->window() == this) return 0;
  if (!record->enabled) return 1;
  platform::PlatformEvent e{};
  e.window = record;
  FillModifiers(&e);
  e.key = uint32_t(VirtualKeyForFltkKey(Fl::event_key()));
  e.character = int32_t(int8_t(e.key & 0xFF));
  e.systemKey = e.alt;
  if (event == FL_KEYUP) {
    e.code = platform::kEventKeyUp;
    e.rawMessage = e.systemKey ? 0x0105 : 0x0101;
    Deliver(&e);
    return 1;
  }
  e.code = platform::kEventKeyDown;
  e.rawMessage = e.systemKey ? 0x0104 : 0x0100;
  Deliver(&e);
  const char* text = Fl::event_text();
  if (AsWindow(record) && text && text[0]) {
    platform::PlatformEvent c = e;
    c.code = platform::kEventCharacter;
    c.character = int32_t(int8_t(text[0]));
    c.key = uint8_t(text[0]);
    c.rawMessage = c.systemKey ? 0x0106 : 0x0102;
    Deliver(&c);
  }
  return 1;
}

int KrnWindow::HandleDrop(int event) {
  NativeWindow* record = record_;
  switch (event) {
    case FL_DND_ENTER:
    case FL_DND_DRAG:
      if (!record->acceptDrops || !record->enabled) return 0;
      // Drops go to the window, wherever they land: the controls take no files.
      Fl::belowmouse(this);
      return 1;
    case FL_DND_LEAVE:
      return 1;
    case FL_DND_RELEASE:
      if (!record->acceptDrops || !record->enabled) return 0;
      dropPending_ = true;
      dropX_ = Fl::event_x();
      dropY_ = Fl::event_y();
      return 1;
    case FL_PASTE: {
      if (!dropPending_) return Fl_Window::handle(event);
      dropPending_ = false;
      std::vector<std::string> program;
      for (const std::string& native :
           DecodeUriList(Fl::event_text(), size_t(Fl::event_length()))) {
        // Names of any length travel; the toolkit decides what fits.
        std::vector<char> buffer(native.size() + 4);
        if (ProgramPathFromNative(native.c_str(), buffer.data(), uint32_t(buffer.size()))) {
          program.emplace_back(buffer.data());
        } else if (NativePathHasBackslashName(native.c_str())) {
          program.push_back(native);  // told as a name the program cannot carry
        }
      }
      // Delivered from the pump, after the drag source has been answered.
      if (!program.empty()) QueueDrop(record, dropX_, dropY_, std::move(program));
      return 1;
    }
  }
  return Fl_Window::handle(event);
}

int KrnWindow::handle(int event) {
  if (!record_ || record_->destroying) return Fl_Window::handle(event);
  switch (event) {
    case FL_PUSH:
    case FL_RELEASE:
    case FL_DRAG:
    case FL_MOVE:
      return HandleMouse(event);
    case FL_ENTER:
      Fl_Window::handle(event);
      return 1;  // so that moves over the window's own area arrive
    case FL_KEYBOARD:
    case FL_KEYUP:
      return HandleKey(event);
    case FL_DND_ENTER:
    case FL_DND_DRAG:
    case FL_DND_LEAVE:
    case FL_DND_RELEASE:
    case FL_PASTE:
      return HandleDrop(event);
    default:
      if (!record_->enabled && IsInputEvent(event)) return 1;
      return Fl_Window::handle(event);
  }
}

void KrnWindow::CorrectFrame(void* window) {
  auto* self = static_cast<KrnWindow*>(window);
  NativeWindow* record = self->record_;
  if (!record || record->destroying || !record->hasRequestedOuter) return;
  platform::Rect frame = FrameInsets(record->style, record);
  const platform::Rect& was = record->assumedFrame;
  if (frame.left == was.left && frame.top == was.top && frame.right == was.right &&
      frame.bottom == was.bottom) {
    return;
  }
  const platform::Rect& outer = record->requestedOuter;
  platform::MoveNativeWindow(record, outer.left, outer.top, outer.right - outer.left,
                             outer.bottom - outer.top, true);
}

void KrnWindow::draw() {
  Fl_Window::draw();  // the background and the controls
  NativeWindow* record = record_;
  if (!record || record->destroying) return;
  if (record->hasRequestedOuter && !IsPopupStyle(record->style)) {
    Fl::add_timeout(0.0, CorrectFrame, this);
  }
  // FLTK redraws the whole client area; the toolkit then paints its part.
  // The update area is kept in pixels.
  platform::Rect all{0, 0, w(), h()};
  if (record->hasUpdate) {
    record->update.left = std::min(record->update.left, all.left);
    record->update.top = std::min(record->update.top, all.top);
    record->update.right = std::max(record->update.right, all.right);
    record->update.bottom = std::max(record->update.bottom, all.bottom);
  } else {
    record->update = all;
  }
  record->hasUpdate = true;
  platform::PlatformEvent event{};
  event.window = record;
  event.code = platform::kEventPaint;
  event.rawMessage = kWmPaint;
  FillModifiers(&event);
  Deliver(&event);
  // The default handling validates whatever the handler did not paint.
  if (AsWindow(record)) record->hasUpdate = false;
}

void WaitUntilExposed(KrnWindow* window) {
  if (!window || !window->shown() || !EnsureDisplay()) return;
  Window xid = fl_xid(window);
  XSync(fl_display, False);
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (std::chrono::steady_clock::now() < end) {
    XEvent event;
    XEventsQueued(fl_display, QueuedAfterReading);
    if (XCheckTypedWindowEvent(fl_display, xid, Expose, &event)) {
      XPutBackEvent(fl_display, &event);  // FLTK still sees it later
      return;
    }
    pollfd p{ConnectionNumber(fl_display), POLLIN, 0};
    poll(&p, 1, 20);
  }
}

}  // namespace fltk_backend

namespace platform {

using fltk_backend::AllWindows;
using fltk_backend::AsWindow;
using fltk_backend::FrameInsets;
using fltk_backend::KrnWindow;
using fltk_backend::NativeWindow;
using fltk_backend::Px;
using fltk_backend::Units;

namespace {

// The window manager sets a window's frame extents once it has framed it, which may come after
// the window's last paint: the property change itself asks for the correction.
int WatchFrameExtents(void* xevent, void*) {
  const XEvent* event = static_cast<const XEvent*>(xevent);
  if (event->type != PropertyNotify) return 0;
  static const Atom extents = XInternAtom(fl_display, "_NET_FRAME_EXTENTS", False);
  if (event->xproperty.atom != extents) return 0;
  for (NativeWindow* record : AllWindows()) {
    if (!record->isControl && !record->destroying && record->window->shown() &&
        fl_xid(record->window) == event->xproperty.window) {
      Fl::add_timeout(0.0, KrnWindow::CorrectFrame, record->window);
    }
  }
  return 0;  // FLTK still handles the event
}

// The frame insets (pixels) in units.
Rect UnitsFrame(const Rect& frame) {
  return {Units(frame.left), Units(frame.top), Units(frame.right), Units(frame.bottom)};
}

}  // namespace

void* CreateFrameWindow(void* owner, uint32_t style) {
  if (owner && !AsWindow(owner)) return nullptr;
  if (!fltk_backend::EnsureDisplay()) {
    static bool told = false;
    if (!told)
      std::fprintf(stderr, "krn2html: cannot open the X display \"%s\"\n", XDisplayName(nullptr));
    told = true;
    return nullptr;
  }
  static const bool watchingFrames = (Fl::add_system_handler(WatchFrameExtents, nullptr), true);
  (void)watchingFrames;
  NativeWindow* record = new NativeWindow;
  record->owner = static_cast<NativeWindow*>(owner);
  record->style = style & ~kStyleVisible;
  record->window = new KrnWindow(record);
  if (fltk_backend::IsPopupStyle(style)) {
    // A pop-up list: no frame, and the window manager leaves it alone.
    record->window->clear_border();
    record->window->set_override();
  } else if (style & kStyleThickFrame) {
    record->window->size_range(1, 1);
  }
  record->surface = fltk_backend::CreateSurface(record);
  AllWindows().push_back(record);
  return record;
}

bool DestroyNativeWindow(void* handle) {
  NativeWindow* record = AsWindow(handle);
  if (!record) return false;
  if (record->destroying) return true;
  record->destroying = true;
  if (!record->isControl) {
    // Windows sends WM_DESTROY, which the toolkit reads as a close request.
    PlatformEvent event{};
    event.window = record;
    event.code = kEventCloseRequest;
    event.rawMessage = fltk_backend::kWmDestroy;
    fltk_backend::FillModifiers(&event);
    fltk_backend::Deliver(&event);
    // The controls go with their window.
    for (;;) {
      auto& all = AllWindows();
      auto child = std::find_if(all.begin(), all.end(), [record](NativeWindow* w) {
        return w->owner == record && w->isControl;
      });
      if (child == all.end()) break;
      NativeWindow* control = *child;
      all.erase(child);
      record->window->remove(control->widget);
      Fl::delete_widget(control->widget);
      delete control;
    }
  }
  auto& all = AllWindows();
  all.erase(std::remove(all.begin(), all.end(), record), all.end());
  if (record->isControl) {
    if (NativeWindow* parent = AsWindow(record->owner)) {
      parent->window->remove(record->widget);
      parent->window->damage(FL_DAMAGE_ALL);
    }
    Fl::delete_widget(record->widget);
  } else {
    Fl::remove_timeout(KrnWindow::CorrectFrame, record->window);
    record->window->Detach();
    record->window->hide();
    Fl::delete_widget(record->window);
    fltk_backend::DestroySurface(record->surface);
  }
  delete record;
  return true;
}

bool IsNativeWindow(void* handle) {
  return AsWindow(handle) != nullptr;
}

uint32_t GetNativeWindowStyle(void* handle) {
  NativeWindow* record = AsWindow(handle);
  if (!record) return 0;
  return record->style | (IsNativeWindowVisible(record) ? kStyleVisible : 0);
}

bool GetOuterRect(void* handle, Rect* rect) {
  NativeWindow* record = AsWindow(handle);
  if (!record || !rect) return false;
  if (record->isControl) {
    Fl_Widget* w = record->widget;
    NativeWindow* top = fltk_backend::TopLevelOf(record);
    Rect inside = fltk_backend::UnitsRect({w->x(), w->y(), w->x() + w->w(), w->y() + w->h()});
    int left = Units(top->window->x()), topY = Units(top->window->y());
    *rect = {left + inside.left, topY + inside.top, left + inside.right, topY + inside.bottom};
    return true;
  }
  KrnWindow* w = record->window;
  Rect frame = UnitsFrame(FrameInsets(record->style, record));
  int left = Units(w->x()), top = Units(w->y());
  *rect = {left - frame.left, top - frame.top, left + Units(w->w()) + frame.right,
           top + Units(w->h()) + frame.bottom};
  return true;
}

bool GetClientArea(void* handle, Rect* rect) {
  NativeWindow* record = AsWindow(handle);
  if (!record || !rect) return false;
  Fl_Widget* w = record->isControl ? record->widget : record->window;
  if (record->isControl) {
    Rect outer = fltk_backend::UnitsRect({w->x(), w->y(), w->x() + w->w(), w->y() + w->h()});
    *rect = {0, 0, outer.right - outer.left, outer.bottom - outer.top};
  } else {
    *rect = {0, 0, Units(w->w()), Units(w->h())};
  }
  return true;
}

bool ClientToScreenPoint(void* handle, int* x, int* y) {
  NativeWindow* record = AsWindow(handle);
  if (!record || !x || !y) return false;
  NativeWindow* top = fltk_backend::TopLevelOf(record);
  *x += Units(top->window->x());
  *y += Units(top->window->y());
  if (record->isControl) {
    *x += Units(record->widget->x());
    *y += Units(record->widget->y());
  }
  return true;
}

bool ScreenToClientPoint(void* handle, int* x, int* y) {
  NativeWindow* record = AsWindow(handle);
  if (!record || !x || !y) return false;
  NativeWindow* top = fltk_backend::TopLevelOf(record);
  *x -= Units(top->window->x());
  *y -= Units(top->window->y());
  if (record->isControl) {
    *x -= Units(record->widget->x());
    *y -= Units(record->widget->y());
  }
  return true;
}

bool MoveNativeWindow(void* handle, int x, int y, int width, int height, bool repaint) {
  NativeWindow* record = AsWindow(handle);
  if (!record) return false;
  if (record->isControl) {
    // Edges are scaled, so that neighbouring controls still meet.
    int left = Px(x), top = Px(y);
    record->widget->resize(left, top, std::max(Px(x + width) - left, 0),
                           std::max(Px(y + height) - top, 0));
    if (repaint) {
      if (NativeWindow* top = fltk_backend::TopLevelOf(record)) top->window->redraw();
    }
    return true;
  }
  Rect frame = FrameInsets(record->style, record);
  record->hasRequestedOuter = true;
  record->requestedOuter = {x, y, x + width, y + height};
  record->assumedFrame = frame;
  // The client area's place and size in units, then each in pixels: a
  // window's size is its size in units times the scale.
  Rect units = UnitsFrame(frame);
  int cw = std::max(Px(std::max(width - units.left - units.right, 1)), 1);
  int ch = std::max(Px(std::max(height - units.top - units.bottom, 1)), 1);
  record->window->KeepPosition();
  record->window->resize(Px(x + units.left), Px(y + units.top), cw, ch);
  if (!record->window->resizable() && !(record->style & kStyleThickFrame)) {
    // A fixed frame: the window manager must keep the size the program set.
    record->window->size_range(cw, ch, cw, ch);
  }
  if (repaint) record->window->redraw();
  return true;
}

bool AdjustRectForStyle(uint32_t style, Rect* rect) {
  if (!rect) return false;
  Rect frame = UnitsFrame(FrameInsets(style, nullptr));
  rect->left -= frame.left;
  rect->top -= frame.top;
  rect->right += frame.right;
  rect->bottom += frame.bottom;
  return true;
}

bool SetNativeWindowTitle(void* handle, const char* title) {
  NativeWindow* record = AsWindow(handle);
  if (!record) return false;
  if (record->isControl) return SetControlText(record, title);
  record->text = title ? title : "";
  record->window->copy_label(record->text.c_str());
  return true;
}

bool ShowNativeWindow(void* handle, bool show) {
  NativeWindow* record = AsWindow(handle);
  if (!record) return false;
  if (record->isControl) {
    if (show == (record->widget->visible() != 0)) return true;
    show ? record->widget->show() : record->widget->hide();
    if (NativeWindow* top = fltk_backend::TopLevelOf(record)) top->window->redraw();
    return true;
  }
  KrnWindow* w = record->window;
  if (!show) {
    if (w->shown()) w->hide();
    return true;
  }
  if (w->shown() && w->visible()) return true;
  w->show();
  // Pop-up lists are painted at once, without a trip through the pump.
  if (fltk_backend::IsPopupStyle(record->style)) fltk_backend::WaitUntilExposed(w);
  return true;
}

bool IsNativeWindowVisible(void* handle) {
  NativeWindow* record = AsWindow(handle);
  if (!record) return false;
  if (record->isControl) return record->widget->visible() != 0;
  return record->window->shown() && record->window->visible();
}

bool UpdateNativeWindow(void* handle) {
  NativeWindow* record = AsWindow(handle);
  if (!record) return false;
  if (IsNativeWindowVisible(record) && fltk_backend::TopLevelOf(record)->window->damage()) {
    Fl::flush();
  }
  return true;
}

bool BringToForeground(void* handle) {
  NativeWindow* record = AsWindow(handle);
  if (!record || record->isControl) return false;
  if (record->window->shown()) record->window->show();  // raises it
  return true;
}

void* GetFocusedWindow() {
  Fl_Widget* focus = Fl::focus();
  if (!focus) return nullptr;
  for (NativeWindow* w : AllWindows()) {
    if (w->widget == focus || w->window == focus) return w;
  }
  for (NativeWindow* w : AllWindows()) {
    if (!w->isControl && focus->window() == w->window) return w;
  }
  return nullptr;
}

bool FocusNativeWindow(void* handle) {
  NativeWindow* record = AsWindow(handle);
  if (!record) return false;
  if (record->isControl) return record->widget->take_focus() != 0;
  Fl::focus(record->window);
  return true;
}

bool EnableNativeWindow(void* handle, bool enable) {
  NativeWindow* record = AsWindow(handle);
  if (!record) return false;
  record->enabled = enable;
  // A disabled top-level window only stops taking input; a control also looks disabled.
  if (record->isControl) enable ? record->widget->activate() : record->widget->deactivate();
  return true;
}

bool IsNativeWindowEnabled(void* handle) {
  NativeWindow* record = AsWindow(handle);
  return record && record->enabled;
}

bool InvalidateNativeWindow(void* handle, const Rect* rect, bool /*erase*/) {
  NativeWindow* record = AsWindow(handle);
  if (!record) return false;
  if (record->isControl) {
    record->widget->redraw();
    return true;
  }
  KrnWindow* w = record->window;
  Rect area = rect ? fltk_backend::PxRect(*rect) : Rect{0, 0, w->w(), w->h()};
  area.left = std::max(area.left, 0);
  area.top = std::max(area.top, 0);
  area.right = std::min(area.right, w->w());
  area.bottom = std::min(area.bottom, w->h());
  if (area.left >= area.right || area.top >= area.bottom) return true;
  if (record->hasUpdate) {
    record->update.left = std::min(record->update.left, area.left);
    record->update.top = std::min(record->update.top, area.top);
    record->update.right = std::max(record->update.right, area.right);
    record->update.bottom = std::max(record->update.bottom, area.bottom);
  } else {
    record->update = area;
    record->hasUpdate = true;
  }
  w->damage(FL_DAMAGE_ALL, area.left, area.top, area.right - area.left, area.bottom - area.top);
  return true;
}

bool GetUpdateBounds(void* handle, Rect* bounds) {
  NativeWindow* record = AsWindow(handle);
  if (!record || !record->hasUpdate) return false;
  if (bounds) *bounds = fltk_backend::UnitsRect(record->update);
  return true;
}

void* BeginNativePaint(void* handle, Rect* paintRect) {
  NativeWindow* record = AsWindow(handle);
  if (!record || record->isControl) return nullptr;
  Rect area = record->hasUpdate ? record->update : Rect{0, 0, 0, 0};
  record->hasUpdate = false;
  if (paintRect) *paintRect = fltk_backend::UnitsRect(area);
  fltk_backend::Surface* surface = record->surface;
  surface->painting = true;
  surface->clip = area;
  if (fltk_backend::MakeSurfaceCurrent(surface)) {
    fl_push_clip(area.left, area.top, area.right - area.left, area.bottom - area.top);
  } else {
    surface->painting = false;
  }
  return surface;
}

void EndNativePaint(void* handle, void* deviceContext) {
  NativeWindow* record = AsWindow(handle);
  auto* surface = static_cast<fltk_backend::Surface*>(deviceContext);
  if (!record || !surface || surface != record->surface) return;
  if (surface->painting) fl_pop_clip();
  surface->painting = false;
}

bool AcceptDroppedFiles(void* handle, bool accept) {
  NativeWindow* record = AsWindow(handle);
  if (!record || record->isControl) return false;
  record->acceptDrops = accept;
  return true;
}

}  // namespace platform
