// The window program's state for one life of the main window: the converter state both front
// ends share (template, fields, values, catalogue) and the template selector drawn in the
// main window.
#pragma once

#include "settings/converter_state.h"
#include "ui/menu_widget.h"
#include "window/conversion_run.h"

struct WindowState : ConverterState {
  // The remembered template is not in the catalogue for the moment (a folder that is not
  // there now): the window shows the first template instead, and neither the remembered
  // name nor that template's unchanged values are saved over the user's settings.
  bool rememberedMissing = false;
  // The values the window showed when it opened, to tell whether the user changed them.
  StringList shownValues;

  // The drawn menu that shows the catalogue in the main window. A member of the derived
  // state, so it is destroyed before the lists it shows.
  MenuWidget selector;

  // The conversion that runs beside the windows, one at a time; stopped before the rest goes.
  ConversionRun conversion;
};
