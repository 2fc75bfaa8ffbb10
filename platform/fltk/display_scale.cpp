#include "platform/fltk/display_scale.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace fltk_backend {

namespace {

// A number at the start of `text` after blanks; false when there is none.
bool LeadingNumber(const char* text, double* value, const char** end) {
  if (!text) return false;
  while (*text == ' ' || *text == '\t') ++text;
  char* stop = nullptr;
  double v = std::strtod(text, &stop);
  if (stop == text || !std::isfinite(v)) return false;
  *value = v;
  *end = stop;
  return true;
}

bool OnlyBlanks(const char* text) {
  while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r') ++text;
  return *text == '\0';
}

long long RoundedQuotient(long long numerator, long long denominator) {
  long long magnitude = (std::llabs(numerator) * 2 + denominator) / (denominator * 2);
  return numerator < 0 ? -magnitude : magnitude;
}

long long FloorQuotient(long long numerator, long long denominator) {
  long long q = numerator / denominator;
  return (numerator % denominator != 0 && numerator < 0) ? q - 1 : q;
}

}  // namespace

int XftDpiFromResources(const char* resources) {
  if (!resources) return 0;
  const char* line = resources;
  while (*line) {
    const char* next = std::strchr(line, '\n');
    size_t length = next ? size_t(next - line) : std::strlen(line);
    static const char kName[] = "Xft.dpi:";
    if (length > sizeof kName - 1 && std::strncmp(line, kName, sizeof kName - 1) == 0) {
      double value = 0;
      const char* end = nullptr;
      if (LeadingNumber(line + sizeof kName - 1, &value, &end)) {
        int dpi = int(std::lround(value));
        return dpi < 48 || dpi > 960 ? 0 : dpi;
      }
      return 0;
    }
    if (!next) break;
    line = next + 1;
  }
  return 0;
}

int ScaleDpiFromFactor(const char* text) {
  double value = 0;
  const char* end = nullptr;
  if (!LeadingNumber(text, &value, &end)) return 0;
  if (*end == '%') {
    value /= 100;
    ++end;
  }
  if (!OnlyBlanks(end) || value < 0.5 || value > 4) return 0;
  return int(std::lround(value * kBaseDpi));
}

DesktopScale ScaleFromSettings(const DesktopScaleSettings& settings) {
  DesktopScale scale;
  int xftDpi = XftDpiFromResources(settings.xResources);
  if (int dpi = ScaleDpiFromFactor(settings.programOverride)) {
    scale.dpi = dpi;
  } else if (int gdk = ScaleDpiFromFactor(settings.gdkScale);
             gdk && gdk % kBaseDpi == 0) {  // GDK_SCALE takes whole factors only
    scale.dpi = gdk;
  } else if (xftDpi) {
    scale.dpi = xftDpi;
  }
  if (xftDpi) scale.fontDpi = int(RoundedQuotient(1LL * xftDpi * kBaseDpi, scale.dpi));
  return scale;
}

int ScaleUp(int units, int dpi) {
  if (dpi == kBaseDpi) return units;
  long long pixels = RoundedQuotient(1LL * units * dpi, kBaseDpi);
  return int(std::clamp<long long>(pixels, INT_MIN, INT_MAX));  // "no limit" widths stay so
}

int ScaleDown(int pixels, int dpi) {
  if (dpi == kBaseDpi || dpi <= 0) return pixels;
  return int(RoundedQuotient(1LL * pixels * kBaseDpi, dpi));
}

int ScaleDownFloor(int pixels, int dpi) {
  if (dpi == kBaseDpi || dpi <= 0) return pixels;
  return int(FloorQuotient(1LL * pixels * kBaseDpi, dpi));
}

int ScaleDownCeil(int pixels, int dpi) {
  if (dpi == kBaseDpi || dpi <= 0) return pixels;
  return int(-FloorQuotient(-1LL * pixels * kBaseDpi, dpi));
}

}  // namespace fltk_backend
