// The converter's state that both front ends share: the current template, its fields and
// their values, and the template catalogue. The window program keeps one per life of its main
// window (WindowState, with the selector drawn there); the command one per run.
#pragma once

#include "base/string_buffer.h"
#include "base/string_list.h"

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

  ConverterState() = default;
  ConverterState(const ConverterState&) = delete;
  ConverterState& operator=(const ConverterState&) = delete;
};
