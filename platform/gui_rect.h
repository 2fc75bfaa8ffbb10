// GUI seam: the rectangle type shared by windows, controls and events.
#pragma once

namespace platform {

// A rectangle in pixels of a 96-DPI screen (the toolkit's units: a backend
// scales them to the display, see platform/display_units.h); right and bottom
// are exclusive, as in Win32's RECT.
struct Rect {
  int left;
  int top;
  int right;
  int bottom;
};

}  // namespace platform
