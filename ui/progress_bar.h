// ProgressBar: a drawn bar that shows how much of a task is done, with a line of text over it,
// painted by the toolkit itself so that it looks the same on every backend.
#pragma once

#include <cstdint>

#include "base/string_buffer.h"
#include "platform/drawing.h"

class ProgressBar {
 public:
  // The bar's rectangle in its window's client coordinates.
  platform::DrawRect bounds{};

  // Sets the part done as done of total (total 0: nothing done); the fraction is held at 1.
  void SetProgress(uint64_t done, uint64_t total);
  // The part done in thousandths, 0 to 1000.
  uint32_t Permille() const { return permille_; }

  // Replaces the text drawn over the bar; false when it cannot be kept (the old text stays).
  bool SetCaption(const char* text);
  const char* Caption() const;

  // Paints the frame, the done part, the rest and the caption into dc; nothing for a null dc.
  void Paint(platform::DeviceContext dc) const;
  // Paints into the window's own drawing surface at once; false when it cannot be had.
  bool PaintNow(void* window) const;

 private:
  uint32_t permille_ = 0;
  StringBuffer caption_;
};

// The colours of the bar (0x00RRGGBB): its done part, the rest and the frame.
constexpr uint32_t kProgressDoneColour = 0x003070C0;
constexpr uint32_t kProgressRestColour = 0x00FFFFFF;
constexpr uint32_t kProgressFrameColour = 0x00404040;
