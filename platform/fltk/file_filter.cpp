#include "platform/fltk/file_filter.h"

#include <cstring>
#include <vector>

namespace fltk_backend {

namespace {

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return std::string();
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

bool IsExtensionPattern(const std::string& pattern) {
  return pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 &&
         pattern.find_first_of("*?[]{},|", 2) == std::string::npos;
}

}  // namespace

std::string TranslatePatternList(const std::string& patterns) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(';', start);
    if (end == std::string::npos) end = patterns.size();
    std::string part = Trim(patterns.substr(start, end - start));
    if (part == "*.*" || part == "*") return "*";
    if (!part.empty()) parts.push_back(part);
    start = end + 1;
  }
  if (parts.empty()) return "*";
  if (parts.size() == 1) return parts[0];
  bool allExtensions = true;
  for (const std::string& p : parts) allExtensions = allExtensions && IsExtensionPattern(p);
  if (!allExtensions) {
    // fl_filename_match has no "or" of whole patterns; braces hold literal
    // alternatives, so whole patterns other than "*.ext" cannot be joined.
    return parts[0];
  }
  std::string joined = "*.{";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) joined += ',';
    joined += parts[i].substr(2);
  }
  return joined + "}";
}

std::vector<FilterEntry> ParseFilterList(const char* filter) {
  std::vector<FilterEntry> entries;
  if (filter == nullptr) return entries;
  const char* p = filter;
  while (*p) {
    std::string description = p;
    p += description.size() + 1;
    std::string patterns = p;  // the pattern text, or empty at the list's end
    if (*p) p += patterns.size() + 1;
    entries.push_back({Trim(description), TranslatePatternList(patterns)});
  }
  return entries;
}

std::string TranslateFilterList(const char* filter, std::string* firstPattern) {
  if (firstPattern) firstPattern->clear();
  std::string result;
  for (const FilterEntry& entry : ParseFilterList(filter)) {
    if (firstPattern && result.empty()) *firstPattern = entry.pattern;
    std::string label = entry.description;
    size_t open = label.rfind('(');
    if (!label.empty() && label.back() == ')' && open != std::string::npos) {
      label = Trim(label.substr(0, open));
    }
    for (char& c : label) {
      if (c == '\t') c = ' ';  // the tab separates the entries
    }
    if (!result.empty()) result += '\t';
    result += label.empty() ? entry.pattern : label + " (" + entry.pattern + ")";
  }
  return result.empty() ? "*" : result;
}

std::string NativeChooserFilter(const char* filter) {
  std::string result;
  for (const FilterEntry& entry : ParseFilterList(filter)) {
    // FLTK shows "Description (pattern)" itself and reads the pattern from the
    // first parenthesis on, so the description keeps only the text before it.
    std::string description = entry.description.substr(0, entry.description.find('('));
    for (char& c : description) {
      if (c == '\t' || c == '\n' || c == '\r' || c == ')') c = ' ';
    }
    result += Trim(description) + " \t" + entry.pattern + "\n";
  }
  return result;
}

}  // namespace fltk_backend
