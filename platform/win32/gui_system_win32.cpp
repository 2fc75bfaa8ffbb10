// Machine facts, the video-drawing library and the millisecond clock over
// KERNEL32, GDI32, MSVFW32 and WINMM.
#include <windows.h>
// Needs <windows.h> first.
#include <vfw.h>

#include "platform/gui_system.h"

namespace platform {

bool GetSystemFacts(SystemFacts* facts) {
  if (!facts) return false;
  *facts = {};
  // Top bit clear: the NT family; set: Windows 95 when the major version is above 3, else Win32s.
  DWORD version = GetVersion();
  if ((version & 0x80000000u) == 0) {
    facts->platform = 1;
  } else {
    facts->platform = (version & 0xFF) > 3 ? 3 : 2;
  }
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  facts->processorCount = info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1;
  facts->bitsPerPixel = GetScreenBitsPerPixel();
  return true;
}

uint32_t GetScreenBitsPerPixel() {
  HDC screen = GetDC(nullptr);
  if (!screen) return 0;
  int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return bits > 0 ? uint32_t(bits) : 0;
}

void* OpenVideoDraw() {
  return DrawDibOpen();
}

void CloseVideoDraw(void* handle) {
  if (handle) DrawDibClose(static_cast<HDRAWDIB>(handle));
}

uint32_t GetMilliseconds() {
  return timeGetTime();
}

}  // namespace platform
