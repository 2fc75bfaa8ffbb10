// The per-template preferences file: one "((KWB))name((KWB))=value" line per
// field with a non-blank value, beside the program in "Defaults".
#pragma once

#include "app/converter_state.h"
#include "base/string_buffer.h"

// Sets result to "\Defaults\Prefs" + templateName cut at its last "." + ".txt".
// False without a state or when result cannot hold the text.
bool PrefsFilePath(const ConverterState* state, StringBuffer& result);

// Takes the values of the current fields from the preferences file; names that
// are no fields are ignored. False (defaults kept) when the file cannot be read.
bool LoadPrefs(ConverterState* state);

// Writes the preferences file of the current template. False when it cannot be
// created or a line cannot be written.
bool SavePrefs(ConverterState* state);
