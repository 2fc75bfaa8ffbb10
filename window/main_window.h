// The main window: the template selector, one labelled edit box per field, the
// convert and reset buttons; its layout, its event callback and the rebuild
// sequence that has the start-up loop build it again for a new state.
#pragma once

#include <cstdint>

#include "settings/converter_state.h"
#include "window/window_state.h"

class ToolkitArray;
struct ToolkitEvent;

// The main window's title.
extern const char kMainWindowTitle[];

// Control ids of the main window.
constexpr int kConvertButtonId = 1;
constexpr int kResetButtonId = 2;
constexpr int kFirstLabelId = 1000;
constexpr int kFirstEditId = 2000;

// Width of the label column for a longest field name of maxNameLength characters.
int LabelColumnWidth(int maxNameLength);

// Destroys the controls in controls and lays the window out again for state:
// outer size, one label and edit box per field, the two buttons, the template
// label and the selector. False only without a state, window or list.
bool LayoutMainWindow(void* window, WindowState* state, ToolkitArray* controls);

// Copies the texts of the field edit boxes (entry 2i + 1 of controls) into the
// state's field values; boxes that do not exist leave their value alone. False
// without a state or list.
bool ReadFieldEdits(void* window, ConverterState* state, ToolkitArray* controls);

// Destroys every control wrapper of the list and empties it.
void DestroyControls(ToolkitArray* controls);

// The main window's event callback; the user data is its control list and the
// state is currentState. Returns 1 when the event was handled, else 0.
uint8_t OnMainWindowEvent(void* window, int32_t code, ToolkitEvent* event);

// Saves the values and the selected template, asks for a rebuild and closes the
// window so that the start-up loop builds it again.
void RebuildMainWindow(void* window, WindowState* state, ToolkitArray* controls);
