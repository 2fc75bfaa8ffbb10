#include "window/main_window.h"

#include <cstring>
#include <memory>
#include <new>

#include "core/conversion_failure.h"
#include "core/text_of.h"
#include "platform/drawing.h"
#include "settings/prefs.h"
#include "settings/templates.h"
#include "ui/child_control.h"
#include "ui/menu_widget.h"
#include "ui/toolkit_array.h"
#include "ui/toolkit_event.h"
#include "ui/toolkit_window.h"
#include "ui/window_registry.h"
#include "window/conversion.h"
#include "window/conversion_run.h"
#include "window/failure_box.h"
#include "window/window_globals.h"

const char kMainWindowTitle[] =
    "Tessaly KRN 2 HTML (Drag and drop files on this window to convert)";

namespace {

const char kConvertCaption[] = "Convert KRN/KRQ File to HTML...";
const char kResetCaption[] = "Reset Defaults";
const char kTemplateLabel[] = "HTML template menu:";
const char kNoTemplatesItem[] = "(no templates)";

// Appends a control pointer (null for one that could not be made) to the list;
// a control that finds no room in the list is destroyed.
void AppendControl(ToolkitArray* controls, ChildControl* control) {
  const uint32_t index = controls->count;
  if (!controls->Resize(index + 1)) {
    DeleteControl(control);
    return;
  }
  controls->Items<ChildControl*>()[index] = control;
}

ChildControl* ControlAt(ToolkitArray* controls, uint32_t index) {
  if (controls == nullptr || index >= controls->count) return nullptr;
  return controls->Items<ChildControl*>()[index];
}

// Reads a control's whole text, however long; an empty box reads as "".
bool ReadControlText(const ChildControl* control, StringBuffer& text) {
  uint32_t size = 1024;
  for (;;) {
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
    if (!buffer) return false;
    buffer[0] = '\0';
    control->GetText(buffer.get(), size);
    const size_t length = std::strlen(buffer.get());
    if (length + 1 < size || size >= 0x10000000u) return text.SetText(buffer.get(), -1, 0);
    size *= 2;
  }
}

void SetupSelector(void* window, WindowState* state, int a) {
  MenuWidget& selector = state->selector;
  selector.bounds = platform::DrawRect{a + 1, 25, a + 197, 50};
  selector.host = window;
  const int count = state->templates.count;
  selector.kind = kWidgetMenu;
  if (count == 0) {
    // An empty catalogue shows one item that cannot be chosen.
    selector.SetItemCount(1);
    selector.SetItem(0, kNoTemplatesItem, false);
    selector.value = 0.0f;
    return;
  }
  selector.SetItemCount(static_cast<uint32_t>(count));
  for (int i = 0; i < count; ++i) {
    selector.SetItem(static_cast<uint32_t>(i), TextOf(state->templates.items[i]), true);
  }
  const int current = state->templates.IndexOf(TextOf(state->templateName));
  if (current >= 0) selector.value = static_cast<float>(current);
}

// Paints the selector in its pressed look, the way the window always shows it.
void PaintSelector(WindowState* state, platform::DeviceContext dc) {
  state->selector.SetState(kStatePressed, dc, state->selector.bounds);
  state->selector.Repaint();
}

// Tells the first failed save of the settings in a run, while the window and
// its values are still there; later ones stay silent.
void TellSettingsFailure(void* window, const ConversionFailure& failure) {
  if (!failure.Failed() || settingsFailureTold) return;
  settingsFailureTold = true;
  ShowFailure(window, failure);
}

}  // namespace

int LabelColumnWidth(int maxNameLength) {
  const int a = ((maxNameLength + 1) * 25) / 2;
  return a < 150 ? 150 : a;
}

// True when a field's value differs from the one the window opened with.
bool ValuesChanged(const WindowState* state) {
  if (state->fieldValues.count != state->shownValues.count) return true;
  for (int i = 0; i < state->fieldValues.count; ++i) {
    if (!state->fieldValues.items[i].Equals(TextOf(state->shownValues.items[i]))) return true;
  }
  return false;
}

// Saves the typed values of the current template; while it stands in for a remembered
// template that is missing, only values the user changed.
void SaveTypedValues(WindowState* state, ConversionFailure& failure) {
  if (state->rememberedMissing && !ValuesChanged(state)) return;
  SavePrefs(state, &failure);
}

void DestroyControls(ToolkitArray* controls) {
  if (controls == nullptr) return;
  for (uint32_t i = 0; i < controls->count; ++i) {
    ChildControl*& control = controls->Items<ChildControl*>()[i];
    DeleteControl(control);
    control = nullptr;
  }
  controls->Resize(0);
}

bool LayoutMainWindow(void* window, WindowState* state, ToolkitArray* controls) {
  if (state == nullptr || window == nullptr || controls == nullptr) return false;
  DestroyControls(controls);

  const int a = LabelColumnWidth(state->maxNameLength);
  const int n = state->fieldNames.count;
  ToolkitRect client{};
  GetWindowBounds(window, false, &client);
  ClientToScreenRect(window, &client);
  const ToolkitRect outer{client.left, client.top, client.left + a + 331, client.top + 25 * n + 75};
  SetWindowRect(window, &outer);

  for (int i = 0; i < n; ++i) {
    const int y = 50 + 25 * i;
    const char* value = i < state->fieldValues.count ? TextOf(state->fieldValues.items[i]) : "";
    AppendControl(controls, NewControl<TextLabel>(window, kFirstLabelId + 2 * i,
                                                  ToolkitRect{0, y, a - 1, y + 24},
                                                  TextOf(state->fieldNames.items[i])));
    AppendControl(controls, NewControl<EditField>(window, kFirstEditId + 2 * i,
                                                  ToolkitRect{a + 1, y, a + 325, y + 24}, value));
  }
  AppendControl(controls, NewControl<PushButton>(window, kConvertButtonId,
                                                 ToolkitRect{21, 1, a + 304, 23}, kConvertCaption));
  AppendControl(controls,
                NewControl<PushButton>(window, kResetButtonId,
                                       ToolkitRect{a + 199, 26, a + 325, 48}, kResetCaption));
  AppendControl(controls, NewControl<TextLabel>(window, kFirstLabelId + 2 * n,
                                                ToolkitRect{0, 25, a - 1, 49}, kTemplateLabel));
  SetupSelector(window, state, a);
  return true;
}

bool ReadFieldEdits(void* window, ConverterState* state, ToolkitArray* controls) {
  (void)window;
  if (state == nullptr || controls == nullptr) return false;
  for (int i = 0; i < state->fieldNames.count && i < state->fieldValues.count; ++i) {
    ChildControl* edit = ControlAt(controls, static_cast<uint32_t>(2 * i + 1));
    // A box that could not be created keeps the value it would have shown.
    if (edit == nullptr || !edit->IsValid()) continue;
    StringBuffer text;
    if (ReadControlText(edit, text)) state->fieldValues.items[i].Swap(text);
  }
  return true;
}

void RebuildMainWindow(void* window, WindowState* state, ToolkitArray* controls) {
  if (state == nullptr) return;
  platform::DeviceContext dc = platform::GetWindowDrawContext(window);
  PaintSelector(state, dc);

  ReadFieldEdits(window, state, controls);
  ConversionFailure failure;
  SaveTypedValues(state, failure);
  const char* chosen =
      state->selector.GetItem(static_cast<uint32_t>(state->selector.SelectedIndex()));
  bool choseOther = false;
  if (state->selector.SelectedIndex() >= 0 && chosen != nullptr &&
      state->templates.IndexOf(chosen) >= 0) {
    choseOther = !state->templateName.Equals(chosen);
    state->templateName.SetText(chosen, -1, 0);
  }
  // A remembered template that is missing for the moment is replaced only by a choice.
  if (choseOther || !state->rememberedMissing) {
    SaveDefaultTemplate(state, failure.Failed() ? nullptr : &failure);
  }
  TellSettingsFailure(window, failure);
  restartRequested = true;

  // The next window is placed at this rectangle and its layout moves it back
  // by the client offset, so the rebuilt window keeps the old top-left corner.
  ToolkitRect outer{};
  ToolkitRect insets{};
  GetWindowBounds(window, true, &outer);
  ClientToScreenRect(window, &outer);
  GetFrameInsets(window, &insets);
  savedWindowRect = SavedRect{outer.left - insets.left, outer.top - insets.top,
                              outer.right - insets.left, outer.bottom - insets.top};

  DetachWindow(window);
  if (dc != nullptr) platform::ReleaseWindowDrawContext(window, dc);
}

uint8_t OnMainWindowEvent(void* window, int32_t code, ToolkitEvent* event) {
  WindowState* state = currentState;
  ToolkitArray* controls = event != nullptr ? static_cast<ToolkitArray*>(event->userData) : nullptr;
  switch (code) {
    case platform::kEventOpen:
      ShowToolkitWindow(window);
      UpdateToolkitWindow(window);
      return 0;
    case platform::kEventPaint:
      if (state != nullptr && event != nullptr) {
        PaintSelector(state, event->deviceContext);
        state->conversion.Paint(event->deviceContext);
      }
      return 0;
    case platform::kEventPosted:
      if (state != nullptr && event != nullptr) state->conversion.OnPosted(event->rawWParam);
      return 0;
    case platform::kEventKeyDown:
      if (state != nullptr && event != nullptr && event->key == kCancelKey) {
        state->conversion.CancelCurrent();
      }
      return 0;
    case platform::kEventLeftDown:
      // Every press in the window's own area goes to the selector; another template is
      // not taken while a conversion runs (the rebuild would end it).
      if (state != nullptr && state->conversion.Busy()) {
        state->conversion.Refuse();
      } else if (state != nullptr) {
        const float before = state->selector.value;
        state->selector.TrackPress();
        if (state->selector.value != before) RebuildMainWindow(window, state, controls);
      }
      return 0;
    case platform::kEventCommand:
      if (event == nullptr) return 0;
      if (event->commandId == kConvertButtonId) {
        ConvertByButton(window, state, controls, state != nullptr ? &state->conversion : nullptr);
      } else if (event->commandId == kCancelButtonId) {
        if (state != nullptr) state->conversion.CancelCurrent();
      } else if (event->commandId == kResetButtonId) {
        // The rebuild would end a running conversion: refused meanwhile.
        if (state != nullptr && state->conversion.Busy()) {
          state->conversion.Refuse();
        } else {
          loadSavedPrefs = false;
          RebuildMainWindow(window, state, controls);
        }
      }
      return 0;
    case platform::kEventFilesDropped:
      if (event == nullptr || event->dropInfo == nullptr) return 0;
      ConvertDroppedFiles(window, state, controls, event->dropInfo,
                          state != nullptr ? &state->conversion : nullptr);
      return 1;
    case platform::kEventClosing:
      // A conversion stops first: no page, no message, then the window goes.
      if (state != nullptr) state->conversion.Stop();
      if (!restartRequested && state != nullptr) {
        ReadFieldEdits(window, state, controls);
        ConversionFailure failure;
        SaveTypedValues(state, failure);
        if (!state->rememberedMissing) {
          SaveDefaultTemplate(state, failure.Failed() ? nullptr : &failure);
        }
        TellSettingsFailure(window, failure);
      }
      DestroyControls(controls);
      DestroyToolkitWindow(window);
      return 0;
    default:
      return 0;
  }
}
