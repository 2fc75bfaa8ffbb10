// GUI seam: facts about the machine and the screen read at toolkit start, the
// video-drawing library and the millisecond clock of timers and press timing.
// Implemented by each GUI backend (win32, fltk, headless).
#pragma once

#include <cstdint>

namespace platform {

// Machine facts as the toolkit records them at start.
struct SystemFacts {
  uint32_t platform;        // 1 NT family, 2 Win32s, 3 Windows 95 family (others report 1)
  uint32_t processorCount;  // at least 1
  uint32_t bitsPerPixel;    // colour depth of the screen; 0 when it cannot be queried
};

// Fills `facts`; returns false (and zeros) when `facts` is null.
bool GetSystemFacts(SystemFacts* facts);

// Colour depth of the screen in bits per pixel; 0 when it cannot be queried.
uint32_t GetScreenBitsPerPixel();

// Opens the video-drawing library; returns its handle (HDRAWDIB on Windows), or
// null when it is not available (not an error).
void* OpenVideoDraw();

// Closes a handle from `OpenVideoDraw`; null is ignored.
void CloseVideoDraw(void* handle);

// Milliseconds of a monotonic clock that wraps at 2^32 (timeGetTime on Windows).
uint32_t GetMilliseconds();

}  // namespace platform
