#include "ui/progress_bar.h"

#include "ui/draw_context.h"

namespace {

void SetRgb(DrawContext& draw, uint32_t rgb) {
  draw.SetColour((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace

void ProgressBar::SetProgress(uint64_t done, uint64_t total) {
  if (total == 0) {
    permille_ = 0;
  } else if (done >= total) {
    permille_ = 1000;
  } else {
    // Divides first where done * 1000 could overflow.
    permille_ = total > (UINT64_MAX / 1000) ? uint32_t(done / (total / 1000))
                                            : uint32_t(done * 1000 / total);
    if (permille_ > 1000) permille_ = 1000;
  }
}

bool ProgressBar::SetCaption(const char* text) {
  return caption_.SetText(text != nullptr ? text : "", -1, 0);
}

const char* ProgressBar::Caption() const {
  return caption_.Length() != 0 ? caption_.Data() : "";
}

void ProgressBar::Paint(platform::DeviceContext dc) const {
  if (dc == nullptr || bounds.right <= bounds.left || bounds.bottom <= bounds.top) return;
  DrawContext draw(dc);
  const platform::DrawRect inner{bounds.left + 1, bounds.top + 1, bounds.right - 1,
                                 bounds.bottom - 1};
  const int split = inner.left + int((int64_t(inner.right - inner.left) * permille_) / 1000);
  if (split > inner.left) {
    SetRgb(draw, kProgressDoneColour);
    draw.FillRectangle(platform::DrawRect{inner.left, inner.top, split, inner.bottom});
  }
  if (split < inner.right) {
    SetRgb(draw, kProgressRestColour);
    draw.FillRectangle(platform::DrawRect{split, inner.top, inner.right, inner.bottom});
  }
  SetRgb(draw, kProgressFrameColour);
  draw.FrameRectangle(bounds);
  if (caption_.Length() != 0) {
    draw.SetFont("Arial", 8, 0.5f, 0, 0, false, false, false);
    SetRgb(draw, 0x00000000);
    draw.SetHorizontalAlign(1);
    draw.SetVerticalAlign(1);
    draw.SetTextMode(1);
    draw.DrawTextIn(inner, caption_.Data());
  }
  draw.Release();
}

bool ProgressBar::PaintNow(void* window) const {
  platform::DeviceContext dc = platform::GetWindowDrawContext(window);
  if (dc == nullptr) return false;
  Paint(dc);
  platform::ReleaseWindowDrawContext(window, dc);
  return true;
}
