// The arithmetic of display scaling, shared by the backends: the toolkit
// works in units of a 96-DPI screen, and a backend turns them into the
// pixels of a screen at another DPI (144 at 150 %, 192 at 200 %) and back.
// Not a seam call: pure arithmetic with no system behind it.
#pragma once

#include <climits>

namespace platform {

// The DPI of 100 %: the toolkit's unit.
constexpr int kBaseDpi = 96;

namespace display_units_detail {

constexpr long long RoundedQuotient(long long numerator, long long denominator) {
  long long magnitude =
      ((numerator < 0 ? -numerator : numerator) * 2 + denominator) / (denominator * 2);
  return numerator < 0 ? -magnitude : magnitude;
}

constexpr long long FloorQuotient(long long numerator, long long denominator) {
  long long q = numerator / denominator;
  return (numerator % denominator != 0 && numerator < 0) ? q - 1 : q;
}

}  // namespace display_units_detail

// A length or coordinate in units as pixels at `dpi`, rounded half away from
// zero (as MulDiv rounds); clamped to the range of int.
constexpr int ScaleUp(int units, int dpi) {
  if (dpi == kBaseDpi || dpi <= 0) return units;
  long long pixels = display_units_detail::RoundedQuotient(1LL * units * dpi, kBaseDpi);
  return pixels > INT_MAX ? INT_MAX : pixels < INT_MIN ? INT_MIN : int(pixels);
}

// Pixels at `dpi` as units, rounded half away from zero: the inverse of
// ScaleUp for sizes and places the program set itself.
constexpr int ScaleDown(int pixels, int dpi) {
  if (dpi == kBaseDpi || dpi <= 0) return pixels;
  return int(display_units_detail::RoundedQuotient(1LL * pixels * kBaseDpi, dpi));
}

// The unit whose pixels at `dpi` hold pixel `pixel`: the largest unit u with
// ScaleUp(u) <= pixel (a point's pixel, a rectangle's left or top edge).
constexpr int UnitAtPixel(int pixel, int dpi) {
  if (dpi == kBaseDpi || dpi <= 0) return pixel;
  // The quotient is off by at most one either way because of the rounding.
  long long unit = display_units_detail::FloorQuotient(1LL * pixel * kBaseDpi, dpi);
  while (ScaleUp(int(unit + 1), dpi) <= pixel) ++unit;
  while (ScaleUp(int(unit), dpi) > pixel) --unit;
  return int(unit);
}

// The fewest units that cover `pixels` pixels at `dpi`: the smallest u with
// ScaleUp(u) >= pixels (a rectangle's right or bottom edge, a text's extent).
constexpr int UnitsCovering(int pixels, int dpi) {
  if (dpi == kBaseDpi || dpi <= 0) return pixels;
  return UnitAtPixel(pixels - 1, dpi) + 1;
}

}  // namespace platform
