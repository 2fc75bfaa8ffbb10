// How the desktop backend turns a Windows font request (face name, points,
// weight, italic) into an FLTK font and pixel size.
#pragma once

namespace fltk_backend {

// The font families the backend offers.
enum class FontFamily { kSans, kSerif, kMono };

// The family of a face name: "Courier" and other fixed-pitch names give
// kMono, "Times" and other serif names kSerif, everything else ("Arial",
// "MS Sans Serif", an empty or null name) kSans. Matching ignores case.
FontFamily FamilyForFace(const char* face);

// The Windows weight of a weight fraction: 100 + fraction × 800, truncated,
// so 0.1 gives 180 and 0.5 gives 500. Fractions outside 0-1 are clamped.
int WeightForFraction(double fraction);

// Whether a weight is drawn with the bold face (600, semi-bold, and above).
bool IsBoldWeight(int weight);

// The character height in pixels of `points` on a screen of `dpi` dots per
// inch, as MulDiv(points, dpi, 72) gives it: points truncated to an integer,
// the quotient rounded half away from zero. Negative sizes count as their magnitude.
int PixelHeightForPoints(double points, int dpi);

// The screen's DPI from its height in pixels and millimetres, rounded; 96
// when the size in millimetres is missing or gives a value outside 48-480.
int DpiFromScreenSize(int pixels, int millimetres);

}  // namespace fltk_backend
