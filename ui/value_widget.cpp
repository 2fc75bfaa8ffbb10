#include "ui/value_widget.h"

#include <cstring>

#include "ui/draw_context.h"
#include "ui/toolkit_runtime.h"

namespace {

constexpr uint32_t kItemGrowthStep = 16;

// Applies f to each channel of a 0x00RRGGBB colour.
template <typename F>
uint32_t PerChannel(uint32_t rgb, F f) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t c = f((rgb >> shift) & 0xFF) & 0xFF;
    out |= c << shift;
  }
  return out;
}

void SetRgb(DrawContext& draw, uint32_t rgb) {
  draw.SetColour((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// A copy of text from the toolkit allocator; null for null text or on failure.
char* CopyText(const char* text) {
  if (!text) return nullptr;
  size_t length = std::strlen(text);
  char* copy = static_cast<char*>(ToolkitAlloc(static_cast<uint32_t>(length + 1), false));
  if (copy) std::memcpy(copy, text, length + 1);
  return copy;
}

bool SameText(const char* a, const char* b) {
  if (!a || !b) return a == b;
  return std::strcmp(a, b) == 0;
}

bool IsAltButton(int32_t kind) {
  return kind == kWidgetButtonAlt || kind == kWidgetButtonAlt2;
}

}  // namespace

WidgetColours ColoursForState(int32_t kind, int32_t state, uint32_t colour) {
  switch (state) {
    case kStateHighlighted:
      return {PerChannel(colour, [](uint32_t x) { return (x + 765) / 4; }), 0x000000};
    case kStatePressed:
      return {PerChannel(colour, [](uint32_t x) { return (x + 255) / 2; }),
              IsAltButton(kind) ? 0x000000u : 0xFFFFFFu};
    case kStateDisabled:
      return {PerChannel(colour, [](uint32_t x) { return x * 3 / 4; }),
              PerChannel(colour, [](uint32_t x) { return x * 176 / 256; })};
    default:
      return {colour, PerChannel(colour, [](uint32_t x) { return x * 3 / 8; })};
  }
}

ValueWidget::ValueWidget() {
  itemTexts.Init(sizeof(char*), 0, 0, kItemGrowthStep, true);
  itemEnabled.Init(sizeof(uint8_t), 0, 0, 0, true);
}

ValueWidget::~ValueWidget() {
  ToolkitFree(label);
  label = nullptr;
  SetItemCount(0);
  itemTexts.Release();
  itemEnabled.Release();
}

float ValueWidget::GetValue() const {
  return valueSlot ? *valueSlot : value;
}

void ValueWidget::SetValueRaw(float newValue) {
  if (valueSlot) {
    *valueSlot = newValue;
  } else {
    value = newValue;
  }
}

bool ValueWidget::SetItemCount(uint32_t itemCount) {
  char** texts = itemTexts.Items<char*>();
  for (uint32_t i = itemCount; i < itemTexts.count; ++i) {
    ToolkitFree(texts[i]);
    texts[i] = nullptr;
  }
  // Entries past the old count may hold stale bytes after an earlier shrink.
  uint32_t oldCount = itemTexts.count;
  if (!itemTexts.Resize(itemCount) || !itemEnabled.Resize(itemCount)) return false;
  for (uint32_t i = oldCount; i < itemCount; ++i) {
    itemTexts.Items<char*>()[i] = nullptr;
    itemEnabled.Items<uint8_t>()[i] = 0;
  }
  return true;
}

bool ValueWidget::SetItem(uint32_t index, const char* text, bool enabled) {
  if (index >= itemTexts.count || index >= itemEnabled.count) return false;
  char** slot = &itemTexts.Items<char*>()[index];
  ToolkitFree(*slot);
  *slot = CopyText(text);
  itemEnabled.Items<uint8_t>()[index] = enabled ? 1 : 0;
  return text == nullptr || *slot != nullptr;
}

const char* ValueWidget::GetItem(uint32_t index) const {
  if (index >= itemTexts.count) return nullptr;
  return itemTexts.Items<char*>()[index];
}

bool ValueWidget::IsItemEnabled(uint32_t index) const {
  if (index >= itemEnabled.count) return false;
  return itemEnabled.Items<uint8_t>()[index] != 0;
}

bool ValueWidget::SetLabel(const char* text, platform::DeviceContext dc,
                           const platform::DrawRect& rect) {
  if (SameText(text, label)) return false;
  char* copy = CopyText(text);
  if (text && !copy) return false;
  ToolkitFree(label);
  label = copy;
  if (dc) Paint(dc, rect);
  return true;
}

bool ValueWidget::SetState(int32_t newState, platform::DeviceContext dc,
                           const platform::DrawRect& rect) {
  if (newState == state) return false;
  if (state == kStateDisabled && newState != kStateNormal) return false;
  state = newState;
  if (dc) Paint(dc, rect);
  return true;
}

bool ValueWidget::SetIndex(int32_t index, platform::DeviceContext dc,
                           const platform::DrawRect& rect) {
  float newValue = static_cast<float>(index);
  if (GetValue() == newValue) return false;
  SetValueRaw(newValue);
  if (dc) Paint(dc, rect);
  return true;
}

int32_t ValueWidget::SelectedIndex() const {
  float v = GetValue();
  // Guards the truncation: NaN and values past the items select nothing.
  if (!(v > -1.0f) || v >= static_cast<float>(itemTexts.count)) return -1;
  return static_cast<int32_t>(v);
}

void ValueWidget::Paint(platform::DeviceContext dc, const platform::DrawRect& rect) {
  if (!dc) return;
  DrawContext draw(dc);
  WidgetColours colours = ColoursForState(kind, state, colour);
  bool bevel = state != kStateDisabled && !(flags & kWidgetFlat);
  platform::DrawRect adjusted = rect;
  if (bevel) {
    adjusted.top += 1;
    adjusted.bottom -= 1;
  }

  SetRgb(draw, colours.face);
  draw.FillRectangle(rect);
  draw.SetFont("Arial", 8, 0.1f, 0, 0, false, false, false);
  SetRgb(draw, colours.ink);

  if (bevel) {
    draw.SetPenWidth(2);
    SetRgb(draw, PerChannel(colours.face, [](uint32_t x) { return (3 * x + 255) / 4; }));
    draw.MovePenTo(rect.left + 1, adjusted.bottom);
    draw.LineTo(rect.left + 1, adjusted.top);
    draw.LineTo(rect.right - 1, adjusted.top);
    SetRgb(draw, PerChannel(colours.face, [](uint32_t x) { return x * 225 / 256; }));
    draw.MovePenTo(rect.right - 1, adjusted.top);
    draw.LineTo(rect.right - 1, adjusted.bottom - 1);
    draw.LineTo(rect.left + 1, adjusted.bottom - 1);
    draw.SetPenWidth(1);
    if (marker) {
      draw.SetColour(0, 0, 255);
      draw.FrameRectangle(adjusted);
    }
  } else if (!(flags & kWidgetFlat) || marker == 1) {
    adjusted = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    if (marker) {
      draw.SetColour(255, 0, 0);
    } else {
      SetRgb(draw, colours.ink);
    }
    draw.FrameRectangle(adjusted);
  }

  platform::DrawRect textRect = {adjusted.left + 7, adjusted.top + 2, adjusted.right - 7,
                                 adjusted.bottom};
  SetRgb(draw, colours.ink);

  if (state != kStateDisabled) {
    const char* shown = nullptr;
    if (kind == kWidgetMenu) {
      int32_t index = SelectedIndex();
      if (index >= 0) shown = GetItem(static_cast<uint32_t>(index));
    } else if (kind == kWidgetSwitch) {
      shown = GetValue() != 0.0f ? "On" : "Off";
    }
    if (shown) {
      draw.SetHorizontalAlign(label ? 2 : 0);
      draw.DrawTextIn(textRect, shown);
    }
  }

  if (label) {
    if (IsAltButton(kind)) {
      draw.SetFont("Times", 9, 0.5f, 0, 0, true, false, false);
    } else {
      draw.SetFont("Arial", 8, 0.5f, 0, 0, false, false, false);
    }
    SetRgb(draw, colours.ink);
    draw.SetHorizontalAlign(0);
    draw.DrawTextIn(textRect, label);
  }
  draw.Release();
}
