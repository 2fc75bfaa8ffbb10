#include "platform/fltk/display_scale.h"

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
  // The desktop's DPI holds its text size and its scale together: in units
  // its text is at 96 DPI, and grows with the boxes by the scale alone.
  if (xftDpi) scale.fontDpi = kBaseDpi;
  return scale;
}

}  // namespace fltk_backend
