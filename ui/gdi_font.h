// A font selected into a device context for as long as the object lives.
#pragma once

#include "platform/drawing.h"

class GdiFont {
 public:
  // Creates the font and selects it into dc when dc is not null; with a
  // context, a failed creation falls back to the stock system font.
  GdiFont(platform::DeviceContext dc, const platform::FontSpec& request);
  // Selects the previous font back into the context and deletes this one.
  virtual ~GdiFont();

  GdiFont(const GdiFont&) = delete;
  GdiFont& operator=(const GdiFont&) = delete;

  bool ready = false;
  platform::DeviceContext dc = nullptr;
  platform::DrawObject handle = nullptr;    // HFONT
  platform::DrawObject previous = nullptr;  // HGDIOBJ selected before this font
};
