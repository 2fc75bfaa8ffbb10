// The desktop's display scale, from the program's override, GDK_SCALE and
// Xft.dpi. The scale is kept as the DPI the desktop asks for: 96 is 100 %,
// 144 is 150 %, 192 is 200 % (platform/display_units.h does the arithmetic).
#pragma once

#include "platform/display_units.h"

namespace fltk_backend {

using platform::kBaseDpi;
using platform::ScaleDown;
using platform::ScaleUp;
using platform::UnitAtPixel;
using platform::UnitsCovering;

// What the desktop says about its scale; every field may be missing.
struct DesktopScaleSettings {
  const char* programOverride = nullptr;  // KRN2HTML_SCALE: "1.5", "150%", "2"
  const char* gdkScale = nullptr;         // GDK_SCALE: a whole factor
  const char* xResources = nullptr;       // the X resources (XResourceManagerString)
};

// The scale and the font resolution that follow from the settings.
struct DesktopScale {
  int dpi = kBaseDpi;  // the scale as a DPI (96 = 100 %)
  int fontDpi = 0;     // the font DPI in units: 96 when the desktop names Xft.dpi, else 0
};

// Reads Xft.dpi from X resources text ("Xft.dpi:\t144" lines); 0 when it is
// missing or outside 48-960.
int XftDpiFromResources(const char* resources);

// The scale of a factor such as "1.5", "2" or "150%" as a DPI, rounded; 0
// when the text is not a number or the factor lies outside 0.5-4.
int ScaleDpiFromFactor(const char* text);

// The scale the settings ask for: the program's override first, then
// GDK_SCALE, then Xft.dpi, else 100 %. Where the desktop names Xft.dpi the
// font DPI is 96 (text grows with the boxes by the scale alone); without it
// 0, and fonts keep the screen's own DPI as at 100 %.
DesktopScale ScaleFromSettings(const DesktopScaleSettings& settings);

}  // namespace fltk_backend
