// Windows and controls without a display: none can be made, and every call on a handle fails
// as for a window that does not exist.
#include "platform/console/console_desktop.h"
#include "platform/gui_controls.h"
#include "platform/gui_window.h"

namespace platform {

void* CreateFrameWindow(void* /*owner*/, uint32_t /*style*/) {
  return nullptr;
}
bool DestroyNativeWindow(void* /*window*/) {
  return false;
}
bool IsNativeWindow(void* /*window*/) {
  return false;
}
uint32_t GetNativeWindowStyle(void* /*window*/) {
  return 0;
}
bool GetOuterRect(void* /*window*/, Rect* /*rect*/) {
  return false;
}
bool GetClientArea(void* /*window*/, Rect* /*rect*/) {
  return false;
}
bool ClientToScreenPoint(void* /*window*/, int* /*x*/, int* /*y*/) {
  return false;
}
bool ScreenToClientPoint(void* /*window*/, int* /*x*/, int* /*y*/) {
  return false;
}
bool MoveNativeWindow(void* /*window*/, int /*x*/, int /*y*/, int /*width*/, int /*height*/,
                      bool /*repaint*/) {
  return false;
}
bool AdjustRectForStyle(uint32_t /*style*/, Rect* /*rect*/) {
  return false;
}
bool SetNativeWindowTitle(void* /*window*/, const char* /*title*/) {
  return false;
}
bool ShowNativeWindow(void* /*window*/, bool /*show*/) {
  return false;
}
bool IsNativeWindowVisible(void* /*window*/) {
  return false;
}
bool UpdateNativeWindow(void* /*window*/) {
  return false;
}
bool BringToForeground(void* /*window*/) {
  return false;
}
void* GetFocusedWindow() {
  return nullptr;
}
bool FocusNativeWindow(void* /*window*/) {
  return false;
}
bool EnableNativeWindow(void* /*window*/, bool /*enable*/) {
  return false;
}
bool IsNativeWindowEnabled(void* /*window*/) {
  return false;
}
bool InvalidateNativeWindow(void* /*window*/, const Rect* /*rect*/, bool /*erase*/) {
  return false;
}
bool GetUpdateBounds(void* /*window*/, Rect* /*bounds*/) {
  return false;
}
void* BeginNativePaint(void* /*window*/, Rect* /*paintRect*/) {
  return nullptr;
}
void EndNativePaint(void* /*window*/, void* /*deviceContext*/) {}
bool AcceptDroppedFiles(void* /*window*/, bool /*accept*/) {
  return false;
}

void* CreateChildControl(void* /*parent*/, ControlClass /*controlClass*/, uint32_t /*style*/,
                         const Rect& /*rect*/, const char* /*text*/) {
  return nullptr;
}
bool SetControlId(void* /*control*/, int /*id*/) {
  return false;
}
int GetControlId(void* /*control*/) {
  return 0;
}
bool GetControlClassName(void* /*control*/, char* /*buffer*/, int /*size*/) {
  return false;
}
bool SetControlText(void* /*control*/, const char* /*text*/) {
  return false;
}
int GetControlTextLength(void* /*control*/) {
  return 0;
}
int GetControlText(void* control, char* buffer, int size) {
  (void)control;
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  return 0;
}

}  // namespace platform
