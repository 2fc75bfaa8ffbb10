// The desktop's display scale, and the arithmetic that turns the toolkit's
// 96-DPI units into the screen's pixels and back. The scale is kept as the
// DPI the desktop asks for: 96 is 100 %, 144 is 150 %, 192 is 200 %.
#pragma once

namespace fltk_backend {

// The DPI of 100 %: the toolkit's own unit.
constexpr int kBaseDpi = 96;

// What the desktop says about its scale; every field may be missing.
struct DesktopScaleSettings {
  const char* programOverride = nullptr;  // KRN2HTML_SCALE: "1.5", "150%", "2"
  const char* gdkScale = nullptr;         // GDK_SCALE: a whole factor
  const char* xResources = nullptr;       // the X resources (XResourceManagerString)
};

// The scale and the font resolution that follow from the settings.
struct DesktopScale {
  int dpi = kBaseDpi;  // the scale as a DPI (96 = 100 %)
  int fontDpi = 0;     // the desktop's font DPI in 96-DPI units; 0 when it names none
};

// Reads Xft.dpi from X resources text ("Xft.dpi:\t144" lines); 0 when it is
// missing or outside 48-960.
int XftDpiFromResources(const char* resources);

// The scale of a factor such as "1.5", "2" or "150%" as a DPI, rounded; 0
// when the text is not a number or the factor lies outside 0.5-4.
int ScaleDpiFromFactor(const char* text);

// The scale the settings ask for: the program's override first, then
// GDK_SCALE, then Xft.dpi, else 100 %. The font DPI is Xft.dpi divided by
// the scale (the desktop's text size in the toolkit's units), 0 without Xft.dpi.
DesktopScale ScaleFromSettings(const DesktopScaleSettings& settings);

// A length or coordinate in 96-DPI units as pixels at `dpi`, rounded half away from zero.
int ScaleUp(int units, int dpi);

// Pixels at `dpi` as 96-DPI units, rounded half away from zero.
int ScaleDown(int pixels, int dpi);

// Pixels at `dpi` as 96-DPI units, rounded towards minus infinity (a
// rectangle's left and top edges) or plus infinity (its right and bottom
// edges), so that a rectangle converted down still covers all its pixels.
int ScaleDownFloor(int pixels, int dpi);
int ScaleDownCeil(int pixels, int dpi);

}  // namespace fltk_backend
