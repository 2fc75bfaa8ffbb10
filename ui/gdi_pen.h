// A pen selected into a device context for as long as the object lives.
#pragma once

#include <cstdint>

#include "platform/drawing.h"

class GdiPen {
 public:
  // Creates a pen (style 0 solid, 1 dashed, 2 dotted; colour 0x00BBGGRR) and
  // selects it into dc when dc is not null; falls back to the stock black pen.
  GdiPen(platform::DeviceContext dc, int style, int width, uint32_t colorref);
  // Selects the previous pen back into the context and deletes this one.
  virtual ~GdiPen();

  GdiPen(const GdiPen&) = delete;
  GdiPen& operator=(const GdiPen&) = delete;

  bool ready = false;
  platform::DeviceContext dc = nullptr;
  platform::DrawObject handle = nullptr;    // HPEN
  platform::DrawObject previous = nullptr;  // HGDIOBJ selected before this pen
};
