#include "ui/gdi_brush.h"

#include "ui/gdi_object_slot.h"

GdiBrush::GdiBrush(platform::DeviceContext dc, uint32_t colorref) {
  handle = platform::CreateDrawBrush(colorref);
  if (!handle) handle = platform::GetStockDrawObject(platform::kStockBlackBrush);
  ready = SelectIntoContext(dc, handle, &this->dc, &previous);
}

GdiBrush::~GdiBrush() {
  RestoreAndDelete(dc, handle, previous);
}
