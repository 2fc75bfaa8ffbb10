// ValueWidget: the toolkit's owner-drawn control record. It holds a value,
// a state, a base colour, an optional label and a list of items, and paints
// itself with DrawContext into a rectangle of a window's device context.
#pragma once

#include <cstdint>

#include "platform/drawing.h"
#include "ui/toolkit_array.h"

// Widget kinds.
constexpr int32_t kWidgetButton = 0;
constexpr int32_t kWidgetMenu = 1;
constexpr int32_t kWidgetSwitch = 2;
constexpr int32_t kWidgetButtonAlt = 3;
constexpr int32_t kWidgetButtonAlt2 = 4;
constexpr int32_t kWidgetSlider = 5;
constexpr int32_t kWidgetSlider2 = 6;
constexpr int32_t kWidgetSliderAbsolute = 7;
constexpr int32_t kWidgetDragValue = 8;

// Widget states.
constexpr int32_t kStateNormal = 0;
constexpr int32_t kStateHighlighted = 1;
constexpr int32_t kStatePressed = 2;
constexpr int32_t kStateDisabled = 3;

// Bits of `flags`.
constexpr uint8_t kWidgetFlat = 0x02;         // no bevel
constexpr uint8_t kWidgetSwatch = 0x04;       // colour swatch at the right end
constexpr uint8_t kWidgetDragSilent = 0x08;   // a drag over the pop-up list reports no change
constexpr uint8_t kWidgetLightSlider = 0x20;  // slider bar in the light bevel colour

// Face (fill) and ink (lines and text) colours, 0x00RRGGBB, of a widget.
struct WidgetColours {
  uint32_t face;
  uint32_t ink;
};

// Colours of a widget of the given kind, state and base colour (0x00RRGGBB).
WidgetColours ColoursForState(int32_t kind, int32_t state, uint32_t colour);

// What a press remembers while it is tracked.
struct PressRecord {
  int32_t x = 0;  // press point, host client coordinates
  int32_t y = 0;
  int32_t toggleHit = -1;  // toggle box under the press, -1 for none
  uint8_t savedToggles = 0;
  int32_t index = 0;      // item index at the press
  int32_t lastIndex = 0;  // item index at the last drag step
  float value = 0.0f;     // value at the press
  uint32_t time = 0;      // milliseconds at the press
};

class ValueWidget {
 public:
  // Sets the defaults: kind 0, grey 0x808080, state 0, range 0-100 step 0.5,
  // no label and no items.
  ValueWidget();
  // Frees the label, the item texts and both item arrays.
  virtual ~ValueWidget();
  // The value where `valueSlot` points.
  virtual float GetValue() const;
  // Stores the value where `valueSlot` points.
  virtual void SetValueRaw(float newValue);

  ValueWidget(const ValueWidget&) = delete;
  ValueWidget& operator=(const ValueWidget&) = delete;

  // Frees the texts from index count on and resizes both item lists; false
  // when the lists cannot be resized.
  bool SetItemCount(uint32_t itemCount);

  // Stores a copy of the text (null for none) and the enabled flag; false for
  // an index past the count, or when the copy fails (the item is left empty).
  bool SetItem(uint32_t index, const char* text, bool enabled);

  // The item's text, or null for none or an index past the count.
  const char* GetItem(uint32_t index) const;

  // Whether the item is enabled; false past the count.
  bool IsItemEnabled(uint32_t index) const;

  // Number of items.
  uint32_t ItemCount() const { return itemTexts.count; }

  // Replaces the label (null for none) and repaints into dc (when given) at
  // rect; false when equal to the current label or when the copy fails.
  bool SetLabel(const char* text, platform::DeviceContext dc, const platform::DrawRect& rect);

  // Sets the state and repaints into dc (when given) at rect; false when it
  // equals the current state, or when disabled and the new state is not 0.
  bool SetState(int32_t newState, platform::DeviceContext dc, const platform::DrawRect& rect);

  // Selects an item by index and repaints into dc (when given) at rect;
  // false when it is already selected.
  bool SetIndex(int32_t index, platform::DeviceContext dc, const platform::DrawRect& rect);

  // The selected item's index: `value` truncated; -1 when not a valid index.
  int32_t SelectedIndex() const;

  // Paints the widget into rect of dc; nothing for a null dc.
  void Paint(platform::DeviceContext dc, const platform::DrawRect& rect);

  uint8_t toggleBoxes = 0;
  uint8_t toggleStates = 0;
  uint8_t flags = 0;
  int32_t kind = kWidgetButton;
  uint32_t colour = 0x808080;
  int32_t state = kStateNormal;
  float* valueSlot = &value;
  int32_t marker = 0;
  float value = 0.0f;
  float minimum = 0.0f;
  float maximum = 100.0f;
  float step = 0.5f;
  uint32_t swatchColour = 0xFFFFFFFF;
  char* label = nullptr;     // owned, from the toolkit allocator
  ToolkitArray itemTexts;    // char* per item, owned texts from the toolkit allocator
  ToolkitArray itemEnabled;  // uint8_t per item
  PressRecord press;
  void* popup = nullptr;  // the open pop-up list window, or null
};
