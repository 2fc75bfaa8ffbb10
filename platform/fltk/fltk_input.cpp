// Pointer, buttons, modifier keys, cursor and screen (platform/gui_input.h),
// and the machine facts and clock of platform/gui_system.h, read from X.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <time.h>
#include <unistd.h>

#include "platform/fltk/fltk_state.h"
#include "platform/fltk/fltk_window.h"
#include "platform/gui_input.h"
#include "platform/gui_system.h"

namespace {

bool QueryPointer(int* x, int* y, unsigned int* mask) {
  if (!fltk_backend::EnsureDisplay()) return false;
  Window root, child;
  int wx, wy;
  return XQueryPointer(fl_display, RootWindow(fl_display, fl_screen), &root, &child, x, y, &wx, &wy,
                       mask) != 0;
}

bool gPointerShown = true;

}  // namespace

namespace platform {

bool GetPointerPosition(int* x, int* y) {
  int px = 0, py = 0;
  unsigned int mask = 0;
  bool ok = QueryPointer(&px, &py, &mask);
  if (x) *x = ok ? fltk_backend::UnitsAt(px) : 0;
  if (y) *y = ok ? fltk_backend::UnitsAt(py) : 0;
  return ok && x && y;
}

bool SetPointerPosition(int x, int y) {
  if (!fltk_backend::EnsureDisplay()) return false;
  XWarpPointer(fl_display, None, RootWindow(fl_display, fl_screen), 0, 0, 0, 0, fltk_backend::Px(x),
               fltk_backend::Px(y));
  XFlush(fl_display);
  return true;
}

bool IsMouseButtonDown(int button) {
  // X reports logical buttons: a swapped mouse is already taken care of.
  if (button != 0 && button != 1) return false;
  int x, y;
  unsigned int mask = 0;
  if (!QueryPointer(&x, &y, &mask)) return false;
  return (mask & (button == 0 ? Button1Mask : Button3Mask)) != 0;
}

KeyState GetModifierKeys() {
  KeyState state{};
  int x, y;
  unsigned int mask = 0;
  if (!QueryPointer(&x, &y, &mask)) return state;
  state.shift = (mask & ShiftMask) != 0;
  state.control = (mask & ControlMask) != 0;
  state.alt = (mask & Mod1Mask) != 0;
  state.capsLock = (mask & LockMask) != 0;
  return state;
}

void ShowPointer(bool show) {
  if (show == gPointerShown) return;
  gPointerShown = show;
  for (fltk_backend::NativeWindow* w : fltk_backend::AllWindows()) {
    if (!w->isControl && w->window->shown()) {
      w->window->cursor(show ? FL_CURSOR_DEFAULT : FL_CURSOR_NONE);
    }
  }
}

int GetScreenWidth() {
  return fltk_backend::EnsureDisplay() ? fltk_backend::Units(Fl::w()) : 0;
}

int GetScreenHeight() {
  return fltk_backend::EnsureDisplay() ? fltk_backend::Units(Fl::h()) : 0;
}

bool GetSystemFacts(SystemFacts* facts) {
  if (!facts) return false;
  long processors = sysconf(_SC_NPROCESSORS_ONLN);
  facts->platform = 1;
  facts->processorCount = processors > 0 ? uint32_t(processors) : 1;
  facts->bitsPerPixel = GetScreenBitsPerPixel();
  return true;
}

uint32_t GetScreenBitsPerPixel() {
  if (!fltk_backend::EnsureDisplay()) return 0;
  return uint32_t(DefaultDepth(fl_display, fl_screen));
}

void* OpenVideoDraw() {
  return nullptr;
}  // there is no video-drawing library here

void CloseVideoDraw(void*) {}

uint32_t GetMilliseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return uint32_t(uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u);
}

}  // namespace platform
