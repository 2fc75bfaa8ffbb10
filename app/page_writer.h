// Page assembly: fills a template's placeholders with the field values, the
// program's build number, the scene's relative path and the animation buttons,
// and writes the page where the user chooses.
#pragma once

#include "app/converter_state.h"
#include "base/string_buffer.h"
#include "base/string_list.h"

// Title and filter of the save dialog for the page.
extern const char kSavePageTitle[];
extern const char kSavePageFilter[];

// Appends the product version of the file at path as "a.b.c.d" to result. False
// (result unchanged) when the file has no version (or a version of all zeros).
bool FormatBuildString(const char* path, StringBuffer& result);

// Replaces the placeholders every page of one template and one set of values shares: the
// named fields in the order of fieldNames (null lists: none), then BUILD. False when the
// text cannot grow.
bool FillNamedPlaceholders(StringBuffer& page, const StringList* fieldNames,
                           const StringList* fieldValues, const char* build);

// Replaces the placeholders of one scene, FILENAME and then FORMSDATA. False when the text
// cannot grow.
bool FillScenePlaceholders(StringBuffer& page, const char* fileName, const char* formsData);

// Replaces every placeholder of the page text: FillNamedPlaceholders, then
// FillScenePlaceholders. False when the text cannot grow.
bool FillFieldPlaceholders(StringBuffer& page, const StringList* fieldNames,
                           const StringList* fieldValues, const char* build, const char* fileName,
                           const char* formsData);

// FillFieldPlaceholders with the state's field lists.
bool FillPlaceholders(StringBuffer& page, const ConverterState& state, const char* build,
                      const char* fileName, const char* formsData);

// Asks for the page's path (save dialog), then makes the page with the conversion
// core (AssemblePage). False after a cancel (nothing happens) or when the page was
// not written; the failure is then shown in the program's message box, naming the
// page or template and the system's reason, and no existing file is changed.
bool WritePage(const char* templatePath, const char* scenePath, const ConverterState* state);
