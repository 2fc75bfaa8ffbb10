// MenuWidget: the owner-drawn drop-down box. It paints the selected item in
// a rectangle of its host window; a press held on it opens a pop-up list of
// the enabled items beside the pointer, the pointer highlights an item and
// releasing the button chooses it. A click too short to open the list
// selects the next item.
#pragma once

#include <cstdint>

#include "platform/drawing.h"
#include "ui/value_widget.h"

// Size of the pop-up list's rows.
constexpr int kPopupWidth = 160;
constexpr int kPopupRowHeight = 20;

class MenuWidget : public ValueWidget {
 public:
  // The defaults of ValueWidget, no host, empty bounds, repainting on.
  MenuWidget();
  // Closes a pop-up list that is still open.
  ~MenuWidget() override;
  // Stores the value and repaints when it changed; returns whether it changed.
  virtual bool SetValue(float newValue);

  // Runs a press at the pointer in `bounds` of `host` until the primary button
  // is released; true when the press changed the value (a drag with flag
  // 0x08 never reports one). A disabled widget or one without a host
  // ignores the press and returns false; so do the slider kinds, which are
  // not built.
  bool TrackPress();

  // Paints the widget into `bounds` of `host` when `autoRepaint` is set.
  void Repaint();

  float curve = 0.0f;
  platform::DrawRect bounds = {0, 0, 0, 0};  // host client coordinates
  void* host = nullptr;                      // the toolkit window the widget is drawn in
  bool autoRepaint = true;

 private:
  // The press of the menu kind from the host client point (x, y).
  bool TrackMenuPress(int x, int y);
  // The press of the button kinds (pressed look while held) and of the
  // switch (toggles between 0 and 1 on release).
  bool TrackButtonPress();
  // Runs one drag step at a host client point; true when it reports a change.
  bool DragStep(int x, int y);
  // Opens the pop-up list beside the pointer; false when it cannot be created.
  bool OpenPopup();
  // Closes the pop-up list, if open, and gives back the registry use.
  void ClosePopup();
  // Paints every row of the open pop-up list.
  void PaintPopup();
  // Highlights the row under the pointer; true when the selection moved.
  bool TrackHover();
  // Number of enabled items, and the list row of an item (-1 when not listed).
  uint32_t ListedCount() const;
  int32_t RowOfItem(int32_t index) const;
  int32_t ItemAtRow(int32_t row) const;
};
