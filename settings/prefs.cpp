#include "settings/prefs.h"

#include <cstring>
#include <memory>

#include "base/path_buffer.h"
#include "core/template_fields.h"
#include "core/text_of.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"
#include "settings/templates.h"

namespace {

// First occurrence of needle inside [begin, end), or null.
const char* FindIn(const char* begin, const char* end, const char* needle) {
  const size_t needleLength = std::strlen(needle);
  for (const char* p = begin; p + needleLength <= end; ++p) {
    if (std::memcmp(p, needle, needleLength) == 0) return p;
  }
  return nullptr;
}

bool HasNonBlank(const char* text) {
  for (; *text != '\0'; ++text) {
    if (*text != ' ' && *text != '\t') return true;
  }
  return false;
}

// Marks a line whose value is escaped: it stands alone between the closing
// delimiter and "=", where files without escaped values have nothing.
constexpr char kEscapedMark = '\\';

// Sets value to [begin, end) with \r, \n and \\ turned back into CR, LF and \; any
// other backslash stays as it is.
void UnescapeValue(const char* begin, const char* end, StringBuffer& value) {
  StringBuffer out;
  unsigned length = 0;
  const char* run = begin;
  for (const char* p = begin; p + 1 < end; ++p) {
    if (*p != '\\') continue;
    const char next = p[1];
    const char* plain = next == 'r' ? "\r" : next == 'n' ? "\n" : next == '\\' ? "\\" : nullptr;
    if (plain == nullptr) continue;
    if (p > run && !out.SetText(run, static_cast<int>(p - run), length)) return;
    length += static_cast<unsigned>(p - run);
    if (!out.SetText(plain, 1, length)) return;
    ++length;
    run = p + 2;
    ++p;
  }
  if (end > run && !out.SetText(run, static_cast<int>(end - run), length)) return;
  if (out.Data() == nullptr && !out.SetText("", 0, 0)) return;
  value.Swap(out);
}

// Applies one line [begin, end) of a preferences file to the state's fields.
void ApplyPrefsLine(ConverterState* state, const char* begin, const char* end) {
  const char* open = FindIn(begin, end, kFieldDelimiter);
  if (open == nullptr) return;
  const char* nameStart = open + kFieldDelimiterLength;
  const char* close = FindIn(nameStart, end, kFieldDelimiter);
  if (close == nullptr) return;
  const char* afterName = close + kFieldDelimiterLength;
  const char* equals = FindIn(afterName, end, "=");
  if (equals == nullptr) return;
  StringBuffer name;
  if (!name.SetText(nameStart, static_cast<int>(close - nameStart), 0)) return;
  if (name.Length() == 0) return;
  const int index = state->fieldNames.IndexOf(name.Data());
  if (index < 0 || index >= state->fieldValues.count) return;
  StringBuffer& value = state->fieldValues.items[index];
  if (equals == afterName + 1 && *afterName == kEscapedMark) {
    UnescapeValue(equals + 1, end, value);
  } else {
    value.SetText(equals + 1, static_cast<int>(end - equals - 1), 0);
  }
}

// Appends text to out, keeping out's length in length; false when out cannot grow.
bool Append(StringBuffer& out, unsigned& length, const char* text, unsigned count) {
  if (count == 0) return true;
  if (!out.SetText(text, static_cast<int>(count), length)) return false;
  length += count;
  return true;
}

// Appends value with \, CR and LF written as \\, \r and \n.
bool AppendEscaped(StringBuffer& out, unsigned& length, const char* value) {
  for (const char* p = value; *p != '\0'; ++p) {
    const char* escape = *p == '\\' ? "\\\\" : *p == '\r' ? "\\r" : *p == '\n' ? "\\n" : nullptr;
    if (!(escape != nullptr ? Append(out, length, escape, 2) : Append(out, length, p, 1))) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool PrefsFilePath(const ConverterState* state, StringBuffer& result) {
  if (state == nullptr) return false;
  if (!result.SetText("\\Defaults\\Prefs", -1, 0)) return false;
  if (state->templateName.Length() > 0 && !result.SetFrom(state->templateName, result.Length())) {
    return false;
  }
  const char* text = result.Data();
  const char* dot = std::strrchr(text, '.');
  if (dot != nullptr) result.MutableData()[dot - text] = '\0';
  return result.SetText(".txt", -1, result.Length());
}

void ApplyPrefsText(ConverterState* state, const char* text, unsigned count) {
  if (state == nullptr || text == nullptr) return;
  const char* end = text + count;
  const char* line = text;
  while (line < end) {
    const char* lineEnd = line;
    while (lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n' && *lineEnd != '\0') ++lineEnd;
    if (lineEnd > line) ApplyPrefsLine(state, line, lineEnd);
    line = lineEnd + 1;
  }
}

bool LoadPrefs(ConverterState* state, ConversionFailure* foreign) {
  if (state == nullptr) return false;
  StringBuffer relative;
  if (!PrefsFilePath(state, relative)) return false;
  unsigned count = 0;
  std::unique_ptr<char[]> text = ReadSettingsFile(relative.Data(), count, foreign);
  if (!text) return false;
  ApplyPrefsText(state, text.get(), count);
  return true;
}

bool FormatPrefsText(const ConverterState* state, StringBuffer& text) {
  if (state == nullptr || !text.SetText("", -1, 0)) return false;
  unsigned length = 0;
  const int fields = state->fieldNames.count;
  for (int i = 0; i < fields; ++i) {
    const char* value = i < state->fieldValues.count ? TextOf(state->fieldValues.items[i]) : "";
    if (!HasNonBlank(value)) continue;
    const char* name = TextOf(state->fieldNames.items[i]);
    const bool escaped = std::strpbrk(value, "\r\n") != nullptr;
    const bool ok =
        Append(text, length, kFieldDelimiter, kFieldDelimiterLength) &&
        Append(text, length, name, static_cast<unsigned>(std::strlen(name))) &&
        Append(text, length, kFieldDelimiter, kFieldDelimiterLength) &&
        (!escaped || Append(text, length, &kEscapedMark, 1)) && Append(text, length, "=", 1) &&
        (escaped ? AppendEscaped(text, length, value)
                 : Append(text, length, value, static_cast<unsigned>(std::strlen(value)))) &&
        Append(text, length, "\r\n", 2);
    if (!ok) return false;
  }
  return true;
}

bool SavePrefs(ConverterState* state, ConversionFailure* failure) {
  if (state == nullptr) return false;
  // No settings file for a template that does not exist.
  if (!IsInCatalogue(state)) return true;
  StringBuffer relative;
  StringBuffer text;
  if (!PrefsFilePath(state, relative) || !FormatPrefsText(state, text)) return false;
  return WriteSettingsFile(relative.Data(), text, failure);
}
