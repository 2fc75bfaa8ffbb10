// The application's state for one life of the main window: the current
// template, its fields and their values, the template catalogue and the
// template selector drawn in the main window.
#pragma once

#include "base/string_buffer.h"
#include "base/string_list.h"
#include "ui/menu_widget.h"

struct ConverterState {
  // Length of the longest field name of the current template; 0 without fields.
  int maxNameLength = 0;
  // File name of the current template inside the templates folder.
  StringBuffer templateName;
  // Names of the current template's fields, in order of first appearance.
  StringList fieldNames;
  // Values parallel to fieldNames.
  StringList fieldValues;
  // The catalogue: file names of the templates found.
  StringList templates;
  // The drawn menu that shows the catalogue in the main window. Declared last so
  // that it is destroyed first.
  MenuWidget selector;

  ConverterState() = default;
  ConverterState(const ConverterState&) = delete;
  ConverterState& operator=(const ConverterState&) = delete;
};
