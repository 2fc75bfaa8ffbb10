#include "platform/fltk/font_map.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace fltk_backend {

namespace {

bool ContainsNoCase(const std::string& haystack, const char* needle) {
  std::string lower;
  for (char c : haystack) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find(needle) != std::string::npos;
}

}  // namespace

FontFamily FamilyForFace(const char* face) {
  if (face == nullptr) return FontFamily::kSans;
  std::string name = face;
  if (ContainsNoCase(name, "courier") || ContainsNoCase(name, "mono") ||
      ContainsNoCase(name, "fixed") || ContainsNoCase(name, "consol") ||
      ContainsNoCase(name, "terminal")) {
    return FontFamily::kMono;
  }
  if (ContainsNoCase(name, "sans")) return FontFamily::kSans;
  if (ContainsNoCase(name, "times") || ContainsNoCase(name, "serif") ||
      ContainsNoCase(name, "georgia") || ContainsNoCase(name, "garamond") ||
      ContainsNoCase(name, "roman")) {
    return FontFamily::kSerif;
  }
  return FontFamily::kSans;
}

int WeightForFraction(double fraction) {
  if (!(fraction > 0)) fraction = 0;  // also catches NaN
  if (fraction > 1) fraction = 1;
  return static_cast<int>(100 + fraction * 800);
}

bool IsBoldWeight(int weight) {
  return weight >= 600;
}

int PixelHeightForPoints(double points, int dpi) {
  if (!std::isfinite(points)) return 0;
  long long whole = std::llabs(static_cast<long long>(points));
  long long product = whole * std::llabs(static_cast<long long>(dpi));
  return static_cast<int>((product + 36) / 72);
}

int DpiFromScreenSize(int pixels, int millimetres) {
  if (pixels <= 0 || millimetres <= 0) return 96;
  int dpi = static_cast<int>(std::lround(pixels * 25.4 / millimetres));
  return dpi < 48 || dpi > 480 ? 96 : dpi;
}

}  // namespace fltk_backend
