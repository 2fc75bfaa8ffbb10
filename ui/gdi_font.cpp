#include "ui/gdi_font.h"

#include "ui/gdi_object_slot.h"

GdiFont::GdiFont(platform::DeviceContext dc, const platform::FontSpec& request) {
  handle = platform::CreateDrawFont(request);
  if (!handle && dc) handle = platform::GetStockDrawObject(platform::kStockSystemFont);
  ready = SelectIntoContext(dc, handle, &this->dc, &previous);
}

GdiFont::~GdiFont() {
  RestoreAndDelete(dc, handle, previous);
}
