#include "app/main_window.h"

#include <cstring>
#include <memory>
#include <new>

#include "app/app_globals.h"
#include "app/conversion.h"
#include "app/prefs.h"
#include "app/templates.h"
#include "app/text_of.h"
#include "ui/child_control.h"
#include "ui/menu_widget.h"
#include "ui/toolkit_array.h"
#include "ui/toolkit_runtime.h"
#include "ui/window_registry.h"

const char kMainWindowTitle[] =
    "Tessaly KRN 2 HTML (Drag and drop files on this window to convert)";

namespace {

const char kConvertCaption[] = "Convert KRN/KRQ File to HTML...";
const char kResetCaption[] = "Reset Defaults";
const char kTemplateLabel[] = "HTML template menu:";

// Makes a control wrapper in toolkit memory; null when memory runs out.
template <typename Control>
ChildControl* MakeControl(void* window, int id, const ToolkitRect& rect, const char* text) {
  void* memory = ToolkitAlloc(sizeof(Control), true);
  if (memory == nullptr) return nullptr;
  return new (memory) Control(window, id, rect, text, 0);
}

// Appends a control pointer (null for one that could not be made) to the list.
void AppendControl(ToolkitArray* controls, ChildControl* control) {
  const uint32_t index = controls->count;
  if (!controls->Resize(index + 1)) {
    if (control != nullptr) {
      control->~ChildControl();
      ToolkitFree(control);
    }
    return;
  }
  controls->Items<ChildControl*>()[index] = control;
}

ChildControl* ControlAt(ToolkitArray* controls, uint32_t index) {
  if (controls == nullptr || index >= controls->count) return nullptr;
  return controls->Items<ChildControl*>()[index];
}

// Reads a control's whole text, however long.
bool ReadControlText(ChildControl* control, StringBuffer& text) {
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

void SetupSelector(void* window, ConverterState* state, int a) {
  MenuWidget& selector = state->selector;
  selector.bounds = ToolkitRect{a + 1, 25, a + 197, 50};
  selector.host = window;
  const int count = state->templates.count;
  selector.SetItemCount(static_cast<uint32_t>(count));
  selector.kind = 1;
  for (int i = 0; i < count; ++i) {
    selector.SetItem(static_cast<uint32_t>(i), TextOf(state->templates.items[i]), true);
  }
  const int current = state->templates.IndexOf(TextOf(state->templateName));
  if (current >= 0) selector.value = static_cast<float>(current);
}

// The selector's current item as an index into the catalogue, or -1.
int SelectedTemplate(const ConverterState* state) {
  const int index = static_cast<int>(state->selector.value);
  return index >= 0 && index < state->templates.count ? index : -1;
}

}  // namespace

int LabelColumnWidth(int maxNameLength) {
  const int a = ((maxNameLength + 1) * 25) / 2;
  return a < 150 ? 150 : a;
}

void DestroyControls(ToolkitArray* controls) {
  if (controls == nullptr) return;
  for (uint32_t i = 0; i < controls->count; ++i) {
    ChildControl* control = controls->Items<ChildControl*>()[i];
    if (control == nullptr) continue;
    control->~ChildControl();
    ToolkitFree(control);
    controls->Items<ChildControl*>()[i] = nullptr;
  }
  controls->Resize(0);
}

bool LayoutMainWindow(void* window, ConverterState* state, ToolkitArray* controls) {
  if (state == nullptr || window == nullptr || controls == nullptr) return false;
  DestroyControls(controls);

  const int a = LabelColumnWidth(state->maxNameLength);
  const int n = state->fieldNames.count;
  ToolkitRect client{};
  GetWindowBounds(window, false, &client);
  ClientToScreenRect(window, &client);
  SetWindowRect(window, ToolkitRect{client.left, client.top, client.left + a + 331,
                                    client.top + 25 * n + 75});

  for (int i = 0; i < n; ++i) {
    const int y = 50 + 25 * i;
    const char* value = i < state->fieldValues.count ? TextOf(state->fieldValues.items[i]) : "";
    AppendControl(controls, MakeControl<TextLabel>(window, kFirstLabelId + 2 * i,
                                                   ToolkitRect{0, y, a - 1, y + 24},
                                                   TextOf(state->fieldNames.items[i])));
    AppendControl(controls, MakeControl<EditField>(window, kFirstEditId + 2 * i,
                                                   ToolkitRect{a + 1, y, a + 325, y + 24}, value));
  }
  AppendControl(controls,
                MakeControl<PushButton>(window, kConvertButtonId, ToolkitRect{21, 1, a + 304, 23},
                                        kConvertCaption));
  AppendControl(controls,
                MakeControl<PushButton>(window, kResetButtonId,
                                        ToolkitRect{a + 199, 26, a + 325, 48}, kResetCaption));
  AppendControl(controls, MakeControl<TextLabel>(window, kFirstLabelId + 2 * n,
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

void RebuildMainWindow(void* window, ConverterState* state, ToolkitArray* controls) {
  if (state == nullptr) return;
  void* dc = GetWindowDrawingContext(window);
  state->selector.SetState(2, dc, state->selector.bounds);
  state->selector.Repaint();

  ReadFieldEdits(window, state, controls);
  SavePrefs(state);
  const int selected = SelectedTemplate(state);
  if (selected >= 0) state->templateName.SetText(TextOf(state->templates.items[selected]), -1, 0);
  SaveDefaultTemplate(state);
  restartRequested = true;

  ToolkitRect outer{};
  ToolkitRect insets{};
  GetWindowBounds(window, true, &outer);
  ClientToScreenRect(window, &outer);
  GetFrameInsets(window, &insets);
  savedWindowRect = SavedRect{outer.left - insets.left, outer.top - insets.top,
                              outer.right - insets.left, outer.bottom - insets.top};

  DetachWindow(window);
  ReleaseWindowDrawingContext(window, dc);
}

bool OnMainWindowEvent(void* window, int32_t code, ToolkitEvent* event) {
  ConverterState* state = currentState;
  ToolkitArray* controls = event != nullptr ? static_cast<ToolkitArray*>(event->userData) : nullptr;
  switch (code) {
    case kEventOpen:
      ShowToolkitWindow(window);
      UpdateToolkitWindow(window);
      return false;
    case kEventPaint:
      if (state != nullptr) {
        state->selector.SetState(2, event->deviceContext, state->selector.bounds);
        state->selector.Repaint();
      }
      return false;
    case kEventLeftButtonDown:
      if (state != nullptr) {
        const float before = state->selector.value;
        state->selector.TrackPress();
        if (state->selector.value != before) RebuildMainWindow(window, state, controls);
      }
      return false;
    case kEventCommand:
      if (event->commandId == kConvertButtonId) {
        ConvertByButton(window, state, controls);
      } else if (event->commandId == kResetButtonId) {
        loadSavedPrefs = false;
        RebuildMainWindow(window, state, controls);
      }
      return false;
    case kEventFilesDropped:
      if (event->dropInfo == nullptr) return false;
      ConvertDroppedFiles(window, state, controls, event->dropInfo);
      return true;
    case kEventClosing:
      if (!restartRequested && state != nullptr) {
        ReadFieldEdits(window, state, controls);
        SavePrefs(state);
        SaveDefaultTemplate(state);
      }
      DestroyControls(controls);
      DestroyToolkitWindow(window);
      return false;
    default:
      return false;
  }
}
