// Translation of a Windows-style file filter list into the filter text of
// FLTK's file chooser.
#pragma once

#include <string>
#include <vector>

namespace fltk_backend {

// One entry of a filter list: the description as given (trimmed) and its
// patterns translated for fl_filename_match.
struct FilterEntry {
  std::string description;
  std::string pattern;
};

// Translates one pattern list as a Windows filter spells it (" *.krn; *.krq;":
// patterns separated by ';', blanks around them ignored) into one pattern of
// fl_filename_match: "*.{krn,krq}"; "*.*" and "*" become "*". Returns "*" for
// a list without patterns.
std::string TranslatePatternList(const std::string& patterns);

// Splits a filter list (description and pattern pairs, each text ended by a
// zero byte, the list ended by an empty text) into its entries, patterns
// translated with TranslatePatternList; a description without its pattern
// text gets "*". A null or empty list gives no entries.
std::vector<FilterEntry> ParseFilterList(const char* filter);

// Translates a filter list (description and pattern pairs, each text ended by
// a zero byte, the list ended by an empty text) into the chooser's filter:
// entries "Description (pattern)" separated by tabs. A description that ends
// in a parenthesised part has that part replaced by the translated pattern;
// other descriptions get it appended. A null or empty list gives "*".
// `firstPattern` (may be null) receives the first entry's translated pattern.
std::string TranslateFilterList(const char* filter, std::string* firstPattern);

// Translates a filter list into the filter of FLTK's native file chooser: one
// line "Description \tpattern" per entry, lines ended by '\n'. The chooser
// shows "Description (pattern)" and takes the pattern from the first
// parenthesis, so a description keeps only its text before any parenthesis,
// and tabs, line breaks and ')' in it become spaces. A null or empty list
// gives the empty text (no filter).
std::string NativeChooserFilter(const char* filter);

}  // namespace fltk_backend
