// Headless pointer, buttons, keys, cursor, screen, clock and system facts.
#include "platform/gui_input.h"
#include "platform/gui_system.h"
#include "platform/headless/headless_state.h"

namespace headless {

void SetScreenSize(int width, int height) {
  State().screenWidth = width;
  State().screenHeight = height;
}

uint32_t Now() {
  return State().now;
}
void AdvanceClock(uint32_t milliseconds) {
  State().now += milliseconds;
}

void SetPointer(int x, int y) {
  State().pointerX = x;
  State().pointerY = y;
}

std::pair<int, int> Pointer() {
  return {State().pointerX, State().pointerY};
}

void SetButton(int button, bool down) {
  if (button == 0 || button == 1) State().buttons[button] = down;
}

void SetModifiers(const platform::KeyState& keys) {
  State().keys = keys;
}
bool CursorVisible() {
  return State().cursorCount >= 0;
}
int CursorCalls() {
  return State().cursorCalls;
}
int OpenVideoDrawHandles() {
  return State().videoDrawOpen;
}

void FillModifiers(platform::PlatformEvent* event) {
  const platform::KeyState& keys = State().keys;
  event->shift = keys.shift;
  event->control = keys.control;
  event->alt = keys.alt;
  event->capsLock = keys.capsLock;
}

}  // namespace headless

namespace platform {

bool GetPointerPosition(int* x, int* y) {
  if (!x || !y) return false;
  *x = headless::State().pointerX;
  *y = headless::State().pointerY;
  return true;
}

bool SetPointerPosition(int x, int y) {
  headless::SetPointer(x, y);
  return true;
}

bool IsMouseButtonDown(int button) {
  return (button == 0 || button == 1) && headless::State().buttons[button];
}

KeyState GetModifierKeys() {
  return headless::State().keys;
}

void ShowPointer(bool show) {
  // Like ShowCursor: a display counter, visible while it is 0 or more.
  headless::DesktopState& state = headless::State();
  state.cursorCalls++;
  state.cursorCount += show ? 1 : -1;
}

int GetScreenWidth() {
  return headless::State().screenWidth;
}
int GetScreenHeight() {
  return headless::State().screenHeight;
}

bool GetSystemFacts(SystemFacts* facts) {
  if (!facts) return false;
  facts->platform = 1;
  facts->processorCount = 1;
  facts->bitsPerPixel = 24;
  return true;
}

uint32_t GetScreenBitsPerPixel() {
  return 24;
}

// The headless video-drawing "library" is a counter of open handles.
void* OpenVideoDraw() {
  headless::State().videoDrawOpen++;
  return &headless::State().videoDrawOpen;
}

void CloseVideoDraw(void* handle) {
  if (handle == &headless::State().videoDrawOpen) headless::State().videoDrawOpen--;
}

uint32_t GetMilliseconds() {
  return headless::State().now;
}

}  // namespace platform
