// Machine facts, pointer and keys without a display: the clock and the processor count are
// real; there is no screen, pointer or keyboard state.
#include <chrono>
#include <thread>

#include "platform/console/console_desktop.h"
#include "platform/gui_input.h"
#include "platform/gui_system.h"

namespace platform {

bool GetSystemFacts(SystemFacts* facts) {
  if (facts == nullptr) return false;
  const unsigned processors = std::thread::hardware_concurrency();
  facts->platform = 1;
  facts->processorCount = processors > 0 ? processors : 1;
  facts->bitsPerPixel = 0;
  return true;
}

uint32_t GetScreenBitsPerPixel() {
  return 0;
}

void* OpenVideoDraw() {
  return nullptr;
}

void CloseVideoDraw(void* /*handle*/) {}

uint32_t GetMilliseconds() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

bool GetPointerPosition(int* x, int* y) {
  if (x != nullptr) *x = 0;
  if (y != nullptr) *y = 0;
  return false;
}

bool SetPointerPosition(int /*x*/, int /*y*/) {
  return false;
}

bool IsMouseButtonDown(int /*button*/) {
  return false;
}

KeyState GetModifierKeys() {
  return KeyState{};
}

void ShowPointer(bool /*show*/) {}

int GetScreenWidth() {
  return 0;
}

int GetScreenHeight() {
  return 0;
}

}  // namespace platform
