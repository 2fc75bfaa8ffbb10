// Template fields: the "((KWB))" field syntax of HTML templates, the scan that
// finds a template's fields with their defaults, and the replacement of one
// placeholder in a page text.
#pragma once

#include "base/string_buffer.h"
#include "base/string_list.h"

// The seven characters that open and close every template field.
extern const char kFieldDelimiter[];
// Length of kFieldDelimiter.
constexpr unsigned kFieldDelimiterLength = 7;

// True for the three names the system fills itself: FILENAME, BUILD, FORMSDATA.
bool IsReservedFieldName(const char* name);

// Appends the fields of a template text (up to its first zero byte) to the two
// parallel lists, in order of first appearance; a later occurrence with "::"
// overrides the value; raises maxNameLength to the longest name. Reserved
// names and the empty name never become fields. A null text adds nothing.
void ScanFieldText(const char* text, StringList& fieldNames, StringList& fieldValues,
                   int& maxNameLength);

// Replaces the first placeholder of key at or after searchFrom in page by value
// (null counts as empty): the span from the opening to the closing delimiter,
// any "::" default included. Fields are found from searchFrom on as ScanFieldText
// finds them (delimiters paired in order); a field whose whole name is not key is
// skipped over, so text that merely contains the key (in a tag, inside
// "FILENAME", in "NAMES") is never taken for it. Returns false when no such
// placeholder follows or the text cannot grow. On success searchFrom moves to the
// end of the inserted value, so a value is never searched again by the next call
// for the same key.
bool ReplacePlaceholder(StringBuffer& page, const char* key, const char* value,
                        unsigned& searchFrom);

// Replaces every placeholder of key from the start of page, as repeated
// ReplacePlaceholder calls would, in one pass; returns the number of replacements, or
// -1 with the page unchanged when the text cannot grow.
int ReplaceAllPlaceholders(StringBuffer& page, const char* key, const char* value);
