// The per-template preferences file: one "((KWB))name((KWB))=value" line per
// field with a non-blank value, beside the program in "Defaults".
//
// A value holding a line break is written as "((KWB))name((KWB))\=value" with
// "\r", "\n" and "\\" standing for a carriage return, a line feed and a
// backslash. Files written without such values (every file of earlier versions)
// have nothing between the closing delimiter and "=", so they read as before.
#pragma once

#include "base/string_buffer.h"
#include "core/conversion_failure.h"
#include "settings/converter_state.h"

// Sets result to "\Defaults\Prefs" + templateName cut at its last "." + ".txt".
// False without a state or when result cannot hold the text.
bool PrefsFilePath(const ConverterState* state, StringBuffer& result);

// Takes the values of the current fields from the preferences text (count bytes):
// every complete line, the last one with or without a line end; a NUL byte ends a
// line like a line break. Names that are no fields are ignored.
void ApplyPrefsText(ConverterState* state, const char* text, unsigned count);

// Takes the values of the current fields from the preferences file (as
// ApplyPrefsText). False (defaults kept) when the file cannot be read; a file of
// another user is not read, and `foreign` (when given) then names it.
bool LoadPrefs(ConverterState* state, ConversionFailure* foreign = nullptr);

// Sets text to the preferences file's content for the state's current values.
// False when memory runs out.
bool FormatPrefsText(const ConverterState* state, StringBuffer& text);

// Writes the preferences file of the current template whole (creating the
// "Defaults" folder when missing). A template that is not in the catalogue gets
// no file (true). False when the file cannot be written; the failure (when given)
// then names the file and the system's reason, and an existing file is unchanged.
bool SavePrefs(ConverterState* state, ConversionFailure* failure = nullptr);
