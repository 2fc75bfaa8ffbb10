// The placeholders of a page: the template's named fields, BUILD, FILENAME and FORMSDATA.
#pragma once

#include "base/string_buffer.h"
#include "base/string_list.h"

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
