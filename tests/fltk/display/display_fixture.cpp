
#include "display_fixture.h"  // gtest before Xlib, whose macros clash with it

#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <thread>

#include "platform/fltk/fltk_state.h"
#include "platform/fltk/fltk_window.h"
#include "platform/gui_window.h"

namespace display_test {

namespace {

DisplayTest* gCurrent = nullptr;

intptr_t Record(platform::PlatformEvent* event) {
  if (!gCurrent) return 0;
  SeenEvent seen{event->window,    event->code,         event->x,      event->y,
                 event->commandId, event->notification, event->sender, {}};
  for (int i = 0; i < event->dropCount; ++i) seen.dropNames.emplace_back(event->dropNames[i]);
  seen.rawWParam = event->rawWParam;
  seen.rawLParam = event->rawLParam;
  gCurrent->events.push_back(seen);
  if (event->code == platform::kEventPaint && gCurrent->onPaint) gCurrent->onPaint(event);
  return 0;
}

}  // namespace

void DisplayTest::SetUp() {
  ASSERT_TRUE(fltk_backend::EnsureDisplay()) << "these tests need an X display (run under Xvfb)";
  gCurrent = this;
  platform::SetEventHandler(Record);
}

void DisplayTest::TearDown() {
  for (void* w : windows) platform::DestroyNativeWindow(w);
  Settle(50);
  platform::SetEventHandler(nullptr);
  gCurrent = nullptr;
}

bool DisplayTest::PumpUntil(const std::function<bool()>& done, int ms) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return done();
    platform::PumpThreadMessages();
    platform::WaitForMessages(10);
  }
  return true;
}

void DisplayTest::Settle(int ms) {
  XSync(fl_display, False);
  PumpUntil([] { return false; }, ms);
}

std::vector<SeenEvent> DisplayTest::Seen(int32_t code) const {
  std::vector<SeenEvent> result;
  for (const SeenEvent& e : events) {
    if (e.code == code) result.push_back(e);
  }
  return result;
}

uint32_t DisplayTest::PixelAt(void* window, int x, int y) {
  auto* record = fltk_backend::AsWindow(window);
  if (!record || !record->window || !record->window->shown()) return 0xFFFFFFFF;
  XSync(fl_display, False);
  XImage* image = XGetImage(fl_display, fl_xid(record->window), x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0xFFFFFFFF;
  unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return uint32_t(pixel & 0xFFFFFF);  // TrueColor 24-bit: 0xRRGGBB
}

void DisplayTest::ButtonAt(int x, int y, bool down) {
  XWarpPointer(fl_display, None, RootWindow(fl_display, fl_screen), 0, 0, 0, 0, x, y);
  XSync(fl_display, False);
  XTestFakeButtonEvent(fl_display, 1, down ? True : False, CurrentTime);
  XSync(fl_display, False);
}

void DisplayTest::PressKey(unsigned long keysym) {
  KeyCode code = XKeysymToKeycode(fl_display, keysym);
  XTestFakeKeyEvent(fl_display, code, True, CurrentTime);
  XTestFakeKeyEvent(fl_display, code, False, CurrentTime);
  XSync(fl_display, False);
}

void DisplayTest::ClickAt(int x, int y) {
  ButtonAt(x, y, true);
  ButtonAt(x, y, false);
}

void* DisplayTest::MakeWindow(uint32_t style, int x, int y, int w, int h) {
  void* window = platform::CreateFrameWindow(nullptr, style);
  if (!window) return nullptr;
  windows.push_back(window);
  platform::MoveNativeWindow(window, x, y, w, h, false);
  platform::ShowNativeWindow(window, true);
  auto* record = fltk_backend::AsWindow(window);
  PumpUntil([&] {
    XWindowAttributes a;
    return record->window->shown() &&
           XGetWindowAttributes(fl_display, fl_xid(record->window), &a) &&
           a.map_state == IsViewable;
  });
  Settle();
  return window;
}

}  // namespace display_test
