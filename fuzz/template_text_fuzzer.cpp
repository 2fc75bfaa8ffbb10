// Template text: the scan for fields and their defaults, then the replacement of every field
// in the page. The scan is checked against a plain model of the field syntax; the one-pass
// replacement against repeated single replacements; and once every field is replaced, the
// page holds no field.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/string_buffer.h"
#include "base/string_list.h"
#include "core/template_fields.h"
#include "fuzz/fuzz_check.h"

namespace {

struct Field {
  std::string name;
  std::string value;
};

// The field syntax, written the plain way: each field found with a search from the start of
// the field, each name looked up among all names so far.
std::vector<Field> ModelScan(const std::string& text) {
  const std::string delimiter = kFieldDelimiter;
  std::vector<Field> fields;
  size_t position = 0;
  while (position < text.size()) {
    const size_t open = text.find(delimiter, position);
    if (open == std::string::npos) break;
    const size_t nameStart = open + delimiter.size();
    const size_t close = text.find(delimiter, nameStart);
    if (close == std::string::npos) break;
    const size_t separator = text.find("::", nameStart);
    const bool hasDefault = separator != std::string::npos && separator + 2 < close;
    const size_t nameEnd = hasDefault ? separator : close;
    const std::string name = text.substr(nameStart, nameEnd - nameStart);
    const std::string value = hasDefault ? text.substr(separator + 2, close - separator - 2) : "";
    if (!name.empty()) {
      Field* known = nullptr;
      for (Field& field : fields) {
        if (field.name == name) known = &field;
      }
      if (known == nullptr) {
        if (!IsReservedFieldName(name.c_str())) fields.push_back({name, value});
      } else if (hasDefault) {
        known->value = value;
      }
    }
    position = close + delimiter.size();
  }
  return fields;
}

std::string Text(const StringBuffer& buffer) {
  return buffer.Data() != nullptr ? buffer.Data() : "";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The template text ends at its first zero byte, as a file read into memory does.
  const std::string text = std::string(reinterpret_cast<const char*>(data), size).c_str();
  StringList names;
  StringList values;
  int longest = 0;
  ScanFieldText(text.c_str(), names, values, longest);

  const std::vector<Field> model = ModelScan(text);
  FUZZ_CHECK(names.count == values.count, "%d names but %d values", names.count, values.count);
  FUZZ_CHECK(names.count == static_cast<int>(model.size()), "%d fields, the model finds %zu",
             names.count, model.size());
  int modelLongest = 0;
  for (int i = 0; i < names.count; ++i) {
    FUZZ_CHECK(Text(names.items[i]) == model[i].name, "field %d is %s, the model says %s", i,
               fuzz::Shown(Text(names.items[i])).c_str(), fuzz::Shown(model[i].name).c_str());
    FUZZ_CHECK(Text(values.items[i]) == model[i].value, "value of %s is %s, the model says %s",
               fuzz::Shown(model[i].name).c_str(), fuzz::Shown(Text(values.items[i])).c_str(),
               fuzz::Shown(model[i].value).c_str());
    if (static_cast<int>(model[i].name.size()) > modelLongest) {
      modelLongest = static_cast<int>(model[i].name.size());
    }
  }
  FUZZ_CHECK(longest == modelLongest, "longest name %d, the model says %d", longest, modelLongest);

  // Replace every field, then the system's names, both ways: one pass, and single
  // replacements repeated until they stop, must give the same page.
  StringBuffer onePass;
  StringBuffer single;
  if (!onePass.SetText(text.c_str(), -1, 0) || !single.SetText(text.c_str(), -1, 0)) return 0;
  std::vector<std::string> keys;
  for (int i = 0; i < names.count; ++i) keys.push_back(Text(names.items[i]));
  keys.insert(keys.end(), {"BUILD", "FILENAME", "FORMSDATA"});
  for (size_t k = 0; k < keys.size(); ++k) {
    // Values that hold the delimiter or the key itself must not be replaced again.
    const std::string value = k % 2 == 0 ? "<" + keys[k] + ">" : std::string(kFieldDelimiter);
    const int count = ReplaceAllPlaceholders(onePass, keys[k].c_str(), value.c_str());
    FUZZ_CHECK(count >= 0, "the page could not grow");
    int singles = 0;
    unsigned searchFrom = 0;
    while (ReplacePlaceholder(single, keys[k].c_str(), value.c_str(), searchFrom)) {
      ++singles;
      FUZZ_CHECK(singles <= count, "single replacements of %s go on past %d",
                 fuzz::Shown(keys[k]).c_str(), count);
    }
    FUZZ_CHECK(singles == count, "%s: %d single replacements, %d in one pass",
               fuzz::Shown(keys[k]).c_str(), singles, count);
    FUZZ_CHECK(Text(onePass) == Text(single), "pages differ after %s",
               fuzz::Shown(keys[k]).c_str());
  }

  // Replaced by values without delimiters, every field is gone: scanning the page finds none.
  StringBuffer page;
  if (!page.SetText(text.c_str(), -1, 0)) return 0;
  for (const std::string& key : keys) {
    FUZZ_CHECK(ReplaceAllPlaceholders(page, key.c_str(), ("<" + key + ">").c_str()) >= 0,
               "the page could not grow");
  }
  StringList left;
  StringList leftValues;
  int leftLongest = 0;
  ScanFieldText(Text(page).c_str(), left, leftValues, leftLongest);
  FUZZ_CHECK(left.count == 0, "field %s is left in the page %s",
             fuzz::Shown(Text(left.items[0])).c_str(), fuzz::Shown(Text(page)).c_str());
  return 0;
}
