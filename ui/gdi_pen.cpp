#include "ui/gdi_pen.h"

#include "ui/gdi_object_slot.h"

GdiPen::GdiPen(platform::DeviceContext dc, int style, int width, uint32_t colorref) {
  handle = platform::CreateDrawPen(style, width, colorref);
  if (!handle) handle = platform::GetStockDrawObject(platform::kStockBlackPen);
  ready = SelectIntoContext(dc, handle, &this->dc, &previous);
}

GdiPen::~GdiPen() {
  RestoreAndDelete(dc, handle, previous);
}
