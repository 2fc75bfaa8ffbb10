// Settings file text: a template's preferences text is loaded, written and loaded again;
// the second load must give the same values (a blank value is not written and comes back
// as the template's default), and writing the same values again gives the same text.
// Values of any bytes (line breaks and backslashes included) must survive writing and
// loading.
#include <cstdint>
#include <string>
#include <vector>

#include "core/template_fields.h"
#include "fuzz/fuzz_check.h"
#include "settings/converter_state.h"
#include "settings/prefs.h"

namespace {

// The names the text's lines give, in order, each once: the fields of the template. A line
// ends at a carriage return, a line feed or a zero byte.
std::vector<std::string> NamesInText(const std::string& text) {
  const std::string delimiter = kFieldDelimiter;
  std::vector<std::string> names;
  size_t line = 0;
  while (line < text.size()) {
    size_t end = text.find_first_of(std::string("\r\n\0", 3), line);
    if (end == std::string::npos) end = text.size();
    const std::string part = text.substr(line, end - line);
    const size_t open = part.find(delimiter);
    if (open != std::string::npos) {
      const size_t start = open + delimiter.size();
      const size_t close = part.find(delimiter, start);
      if (close != std::string::npos && close > start) {
        const std::string name = part.substr(start, close - start);
        bool known = false;
        for (const std::string& n : names) known = known || n == name;
        if (!known) names.push_back(name);
      }
    }
    line = end + 1;
  }
  return names;
}

// Sets the state's fields to names with the given values.
void SetFields(ConverterState& state, const std::vector<std::string>& names,
               const std::vector<std::string>& values) {
  state.fieldNames.Clear();
  state.fieldValues.Clear();
  for (size_t i = 0; i < names.size(); ++i) {
    state.fieldNames.Append(names[i].c_str());
    state.fieldValues.Append(values[i].c_str());
  }
}

std::vector<std::string> Defaults(size_t count) {
  std::vector<std::string> values;
  for (size_t i = 0; i < count; ++i) values.push_back("default " + std::to_string(i));
  return values;
}

std::vector<std::string> Values(const ConverterState& state) {
  std::vector<std::string> values;
  for (int i = 0; i < state.fieldValues.count; ++i) {
    const char* text = state.fieldValues.items[i].Data();
    values.emplace_back(text != nullptr ? text : "");
  }
  return values;
}

bool IsBlank(const std::string& value) {
  return value.find_first_not_of(" \t") == std::string::npos;
}

std::string Written(const ConverterState& state) {
  StringBuffer text;
  FUZZ_CHECK(FormatPrefsText(&state, text), "the settings text cannot be made");
  return text.Data() != nullptr ? text.Data() : "";
}

// Loads text over the defaults of names.
std::vector<std::string> Loaded(const std::vector<std::string>& names, const std::string& text) {
  ConverterState state;
  SetFields(state, names, Defaults(names.size()));
  ApplyPrefsText(&state, text.data(), static_cast<unsigned>(text.size()));
  return Values(state);
}

// Writes values and loads the text again: non-blank values come back, blank ones give way
// to the default.
void CheckRoundTrip(const std::vector<std::string>& names, const std::vector<std::string>& values) {
  ConverterState state;
  SetFields(state, names, values);
  const std::string text = Written(state);
  const std::vector<std::string> again = Loaded(names, text);
  const std::vector<std::string> defaults = Defaults(names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& expected = IsBlank(values[i]) ? defaults[i] : values[i];
    FUZZ_CHECK(again[i] == expected, "%s: %s was written as %s and read back as %s",
               fuzz::Shown(names[i]).c_str(), fuzz::Shown(values[i]).c_str(),
               fuzz::Shown(text).c_str(), fuzz::Shown(again[i]).c_str());
  }
  // The values now read are all non-blank: writing them again gives the same text.
  SetFields(state, names, again);
  const std::string second = Written(state);
  SetFields(state, names, Loaded(names, second));
  FUZZ_CHECK(Written(state) == second, "writing the same values gave %s, then %s",
             fuzz::Shown(second).c_str(), fuzz::Shown(Written(state)).c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  // The input as a settings file of a template whose fields are the names it mentions.
  const std::vector<std::string> names = NamesInText(input);
  CheckRoundTrip(names, Loaded(names, input));

  // The input as the values of four fields, split at zero bytes: any value survives.
  std::vector<std::string> values(4);
  size_t at = 0;
  for (std::string& value : values) {
    if (at > input.size()) break;
    const size_t end = input.find('\0', at);
    value = input.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? input.size() + 1 : end + 1;
  }
  CheckRoundTrip({"TITLE", "NOTE", "A B", "=x"}, values);
  return 0;
}
