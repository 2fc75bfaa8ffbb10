// The window program's state for one life of the main window: the converter state both front
// ends share (template, fields, values, catalogue) and the template selector drawn in the
// main window.
#pragma once

#include "settings/converter_state.h"
#include "ui/menu_widget.h"

struct WindowState : ConverterState {
  // The drawn menu that shows the catalogue in the main window. A member of the derived
  // state, so it is destroyed before the lists it shows.
  MenuWidget selector;
};
