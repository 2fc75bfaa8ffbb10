// Page assembly: fills a template's placeholders with the field values, the
// program's build number, the scene's relative path and the animation buttons,
// and writes the page where the user chooses.
#pragma once

#include "app/converter_state.h"
#include "base/string_buffer.h"

// Title and filter of the save dialog for the page.
extern const char kSavePageTitle[];
extern const char kSavePageFilter[];

// Appends the product version of the file at path as "a.b.c.d" to result. False
// (result unchanged) when the file has no version (or a version of all zeros).
bool FormatBuildString(const char* path, StringBuffer& result);

// Replaces every placeholder of the page text: the named fields in the order of
// fieldNames, then BUILD, FILENAME and FORMSDATA with the given values. False
// when the text cannot grow.
bool FillPlaceholders(StringBuffer& page, const ConverterState& state, const char* build,
                      const char* fileName, const char* formsData);

// Asks for the page's path (save dialog), reads the template, fills it and
// writes the page. False after a cancel, for an unreadable template, a page that
// cannot be written or no memory; nothing is shown and no file is changed then.
bool WritePage(const char* templatePath, const char* scenePath, const ConverterState* state);
