// Drawing without a display: there is no surface to draw on, so no context, object or shape
// can be made.
#include "platform/console/console_desktop.h"
#include "platform/drawing.h"

namespace platform {

DrawObject CreateDrawPen(int /*style*/, int /*width*/, uint32_t /*colorref*/) {
  return nullptr;
}
DrawObject CreateDrawBrush(uint32_t /*colorref*/) {
  return nullptr;
}
DrawObject CreateDrawFont(const FontSpec& /*request*/) {
  return nullptr;
}
DrawObject GetStockDrawObject(int /*index*/) {
  return nullptr;
}
DrawObject SelectDrawObject(DeviceContext /*dc*/, DrawObject /*object*/) {
  return nullptr;
}
bool DeleteDrawObject(DrawObject /*object*/) {
  return false;
}
bool SetDrawTextColour(DeviceContext /*dc*/, uint32_t /*colorref*/) {
  return false;
}
bool SetDrawTransparent(DeviceContext /*dc*/) {
  return false;
}
bool DrawMoveTo(DeviceContext /*dc*/, int /*x*/, int /*y*/) {
  return false;
}
bool DrawLineTo(DeviceContext /*dc*/, int /*x*/, int /*y*/) {
  return false;
}
bool DrawFillRect(DeviceContext /*dc*/, const DrawRect& /*rect*/, DrawObject /*brush*/) {
  return false;
}
bool DrawEllipse(DeviceContext /*dc*/, const DrawRect& /*rect*/) {
  return false;
}
bool MeasureDrawText(DeviceContext /*dc*/, const char* /*text*/, int /*length*/, int /*maxWidth*/,
                     int* fit, int* width, int* height) {
  if (fit != nullptr) *fit = 0;
  if (width != nullptr) *width = 0;
  if (height != nullptr) *height = 0;
  return false;
}
int DrawTextInRect(DeviceContext /*dc*/, const char* /*text*/, int /*length*/,
                   const DrawRect& /*rect*/, unsigned /*flags*/) {
  return 0;
}
int GetDrawCaps(DeviceContext /*dc*/, int /*index*/) {
  return 0;
}
void* WindowFromDrawContext(DeviceContext /*dc*/) {
  return nullptr;
}
DeviceContext GetWindowDrawContext(void* /*window*/) {
  return nullptr;
}
void ReleaseWindowDrawContext(void* /*window*/, DeviceContext /*dc*/) {}
DeviceContext GetScreenDrawContext() {
  return nullptr;
}
void ReleaseScreenDrawContext(DeviceContext /*dc*/) {}

}  // namespace platform
