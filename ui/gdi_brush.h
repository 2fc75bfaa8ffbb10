// A solid brush selected into a device context for as long as the object lives.
#pragma once

#include <cstdint>

#include "platform/drawing.h"

class GdiBrush {
 public:
  // Creates a solid brush (colour 0x00BBGGRR) and selects it into dc when dc
  // is not null; falls back to the stock black brush.
  GdiBrush(platform::DeviceContext dc, uint32_t colorref);
  // Selects the previous brush back into the context and deletes this one.
  virtual ~GdiBrush();

  GdiBrush(const GdiBrush&) = delete;
  GdiBrush& operator=(const GdiBrush&) = delete;

  bool ready = false;
  platform::DeviceContext dc = nullptr;
  platform::DrawObject handle = nullptr;    // HBRUSH
  platform::DrawObject previous = nullptr;  // HGDIOBJ selected before this brush
};
