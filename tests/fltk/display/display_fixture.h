// Shared fixture of the desktop backend's tests on a real X display (run
// under a private Xvfb by tests/e2e/with_xvfb.sh): records every event the
// backend hands to the toolkit, pumps until a condition holds, reads pixels
// back from the X server and presses mouse buttons through XTest.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/gui_events.h"

namespace display_test {

// What the handler saw of one event.
struct SeenEvent {
  void* window;
  int32_t code;
  int32_t x;
  int32_t y;
  int32_t commandId;
  int32_t notification;
  void* sender;
  std::vector<std::string> dropNames;
  uintptr_t rawWParam = 0;  // posted events: the posted value
  uintptr_t rawLParam = 0;  // posted events: the posted data
};

class DisplayTest : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;

  // Pumps the backend until `done` holds or `ms` milliseconds pass; returns `done()`.
  bool PumpUntil(const std::function<bool()>& done, int ms = 3000);
  // Pumps for a while to let the server and FLTK settle.
  void Settle(int ms = 150);
  // The events of one code seen so far.
  std::vector<SeenEvent> Seen(int32_t code) const;
  // The colour (0xRRGGBB) of a pixel of a window's client area, read from the server.
  uint32_t PixelAt(void* window, int x, int y);
  // Moves the pointer to a screen point and presses/releases the left button.
  void ClickAt(int x, int y);
  void ButtonAt(int x, int y, bool down);
  // Presses and releases a key (an X keysym) through XTest.
  void PressKey(unsigned long keysym);
  // A shown top-level window of the given style, client area at (x, y) w × h, with a control
  // painted nowhere; destroyed in TearDown.
  void* MakeWindow(uint32_t style, int x, int y, int w, int h);

  // Called for every paint event, with the event; tests paint through it.
  std::function<void(platform::PlatformEvent*)> onPaint;
  std::vector<SeenEvent> events;
  std::vector<void*> windows;
};

// The frame kinds' styles as the toolkit passes them.
constexpr uint32_t kMainStyle = 0x86CB0000;   // kind 4: caption, system menu, boxes
constexpr uint32_t kPopupStyle = 0x86000000;  // kind 0: borderless pop-up

}  // namespace display_test
