#include "ui/menu_widget.h"

#include <cstdlib>

#include "platform/gui_events.h"
#include "platform/gui_input.h"
#include "platform/gui_system.h"
#include "ui/draw_context.h"
#include "ui/toolkit_window.h"
#include "ui/window_registry.h"

namespace {

// Frame kind of the pop-up list: WS_POPUP, no border.
constexpr int kPopupFrameKind = 0;
// A drag step opens the list once the pointer has moved more than this.
constexpr int kDragSlop = 3;
// Milliseconds a drag step waits for input before it looks again.
constexpr uint32_t kDragWaitMs = 1;
// Weight of white in the colour of the list's rows.
constexpr int kPopupLightening = 128;

}  // namespace

MenuWidget::MenuWidget() = default;

MenuWidget::~MenuWidget() {
  ClosePopup();
}

bool MenuWidget::SetValue(float newValue) {
  if (GetValue() == newValue) return false;
  SetValueRaw(newValue);
  Repaint();
  return true;
}

void MenuWidget::Repaint() {
  if (!autoRepaint || !host) return;
  platform::DeviceContext dc = platform::GetWindowDrawContext(host);
  if (!dc) return;
  Paint(dc, bounds);
  platform::ReleaseWindowDrawContext(host, dc);
}

uint32_t MenuWidget::ListedCount() const {
  uint32_t listed = 0;
  for (uint32_t i = 0; i < ItemCount(); ++i) listed += IsItemEnabled(i) ? 1 : 0;
  return listed;
}

// Rows list the enabled items in order; a disabled item has no row.
int32_t MenuWidget::RowOfItem(int32_t index) const {
  if (index < 0 || !IsItemEnabled(static_cast<uint32_t>(index))) return -1;
  int32_t row = 0;
  for (int32_t i = 0; i < index; ++i) row += IsItemEnabled(static_cast<uint32_t>(i)) ? 1 : 0;
  return row;
}

int32_t MenuWidget::ItemAtRow(int32_t row) const {
  if (row < 0) return -1;
  for (uint32_t i = 0; i < ItemCount(); ++i) {
    if (!IsItemEnabled(i)) continue;
    if (row-- == 0) return static_cast<int32_t>(i);
  }
  return -1;
}

bool MenuWidget::TrackPress() {
  if (!host) return false;
  int x = 0, y = 0;
  GetCursorPosition(host, &x, &y);

  press.x = x;
  press.y = y;
  press.index = SelectedIndex();
  press.lastIndex = press.index;
  press.value = GetValue();
  press.time = platform::GetMilliseconds();
  if (state == kStateDisabled) return false;

  switch (kind) {
    case kWidgetMenu:
      return TrackMenuPress(x, y);
    case kWidgetButton:
    case kWidgetSwitch:
    case kWidgetButtonAlt:
    case kWidgetButtonAlt2:
      return TrackButtonPress();
    default:
      // Sliders and the drag value are not built: their presses change nothing.
      return false;
  }
}

bool MenuWidget::TrackMenuPress(int x, int y) {
  platform::DeviceContext dc = platform::GetWindowDrawContext(host);
  state = kStatePressed;
  Paint(dc, bounds);

  bool changed = false;
  bool opened = false;
  while (IsMouseButtonDown(0)) {
    if (DragStep(x, y)) changed = true;
    opened = opened || popup != nullptr;
    // Wait for the next input (or a moment) instead of spinning; a backend
    // may handle events in here, so the list gets painted.
    platform::WaitForMessages(kDragWaitMs);
    GetCursorPosition(host, &x, &y);
  }

  if (opened || SelectedIndex() != press.index) {
    ClosePopup();
  } else if (ItemCount() > 0) {
    // A click too short to open the list: the next item, wrapping.
    int32_t next = (press.index + 1) % static_cast<int32_t>(ItemCount());
    SetValueRaw(static_cast<float>(next < 0 ? 0 : next));
    Paint(dc, bounds);
    changed = true;
  }
  if (dc) platform::ReleaseWindowDrawContext(host, dc);
  return changed;
}

bool MenuWidget::TrackButtonPress() {
  platform::DeviceContext dc = platform::GetWindowDrawContext(host);
  int32_t before = state;
  state = kStatePressed;
  Paint(dc, bounds);
  while (IsMouseButtonDown(0)) platform::WaitForMessages(kDragWaitMs);
  state = before;
  bool changed = false;
  if (kind == kWidgetSwitch) {
    SetValueRaw(GetValue() != 0.0f ? 0.0f : 1.0f);
    changed = true;
  }
  Paint(dc, bounds);
  if (dc) platform::ReleaseWindowDrawContext(host, dc);
  return changed;
}

bool MenuWidget::DragStep(int x, int y) {
  uint32_t elapsed = platform::GetMilliseconds() - press.time;
  bool moved = std::abs(x - press.x) > kDragSlop || std::abs(y - press.y) > kDragSlop;
  if (!moved && elapsed < 1) return false;
  if (!popup && !OpenPopup()) return false;
  bool hovered = TrackHover();
  press.lastIndex = SelectedIndex();
  return hovered && !(flags & kWidgetDragSilent);
}

bool MenuWidget::OpenPopup() {
  uint32_t listed = ListedCount();
  if (listed == 0) return false;
  int32_t index = SelectedIndex();
  if (index < 0 || !IsItemEnabled(static_cast<uint32_t>(index))) {
    // The selected item is not listed: item 0 is chosen (or the first listed one).
    index = IsItemEnabled(0) ? 0 : ItemAtRow(0);
    SetValueRaw(static_cast<float>(index));
  }
  int32_t row = RowOfItem(index);

  int width = kPopupWidth;
  int height = kPopupRowHeight * static_cast<int>(listed);
  // The list is not registered, but holds a use of the registry while open.
  if (!AcquireWindowRegistry()) return false;
  popup = CreateToolkitWindow(host, 0, 0, width, height, kPopupFrameKind);
  if (!popup) {
    ReleaseWindowRegistry();
    return false;
  }

  // Beside the pointer, with the pointer in the middle of the selected row.
  int px = 0, py = 0;
  GetCursorPosition(nullptr, &px, &py);
  int left = px + 10;
  int top = py - kPopupRowHeight * row - 10;
  int placedTop = top;
  int screenWidth = platform::GetScreenWidth();
  int screenHeight = platform::GetScreenHeight();
  if (left + width > screenWidth) left -= left + width - screenWidth;
  if (placedTop + height > screenHeight) placedTop -= placedTop + height - screenHeight;
  if (left < 0) left = 0;
  if (placedTop < 0) placedTop = 0;
  if (placedTop != top) SetCursorPosition(nullptr, px, py + (placedTop - top));

  MoveWindowTo(popup, left, placedTop);
  ShowToolkitWindow(popup);
  PaintPopup();
  return true;
}

void MenuWidget::ClosePopup() {
  if (!popup) return;
  void* window = popup;
  popup = nullptr;
  DestroyToolkitWindow(window);
  ReleaseWindowRegistry();
}

void MenuWidget::PaintPopup() {
  if (!popup) return;
  platform::DeviceContext dc = platform::GetWindowDrawContext(popup);
  if (!dc) return;
  float savedValue = GetValue();
  int32_t savedState = state;
  uint32_t savedColour = colour;
  int32_t selected = SelectedIndex();
  colour = BlendColour(0xFFFFFF, savedColour, kPopupLightening);
  int32_t row = 0;
  for (uint32_t i = 0; i < ItemCount(); ++i) {
    if (!IsItemEnabled(i)) continue;
    SetValueRaw(static_cast<float>(i));
    state = static_cast<int32_t>(i) == selected ? kStateHighlighted : kStateNormal;
    platform::DrawRect rect = {0, row * kPopupRowHeight, kPopupWidth, (row + 1) * kPopupRowHeight};
    Paint(dc, rect);
    ++row;
  }
  SetValueRaw(savedValue);
  state = savedState;
  colour = savedColour;
  platform::ReleaseWindowDrawContext(popup, dc);
}

bool MenuWidget::TrackHover() {
  if (!popup) return false;
  int x = 0, y = 0;
  GetCursorPosition(popup, &x, &y);
  int height = kPopupRowHeight * static_cast<int>(ListedCount());
  if (x < 0 || y < 0 || x >= kPopupWidth || y >= height) return false;
  int32_t item = ItemAtRow(y / kPopupRowHeight);
  if (item < 0 || item == SelectedIndex()) return false;
  SetValueRaw(static_cast<float>(item));
  PaintPopup();
  return true;
}
