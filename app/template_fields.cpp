#include "app/template_fields.h"

#include <cstring>

#include "app/field_name_index.h"

const char kFieldDelimiter[] = "((KWB))";

namespace {

const char* const kReservedNames[] = {"FILENAME", "BUILD", "FORMSDATA"};

// The first "::" that starts in [begin, end), or null.
const char* FindSeparator(const char* begin, const char* end) {
  for (const char* p = begin; p + 1 < end; ++p) {
    if (p[0] == ':' && p[1] == ':') return p;
  }
  return nullptr;
}

// Sets item to the first length bytes of text.
bool AssignPart(StringBuffer& item, const char* text, unsigned length) {
  return item.SetText(text, static_cast<int>(length), 0);
}

}  // namespace

bool IsReservedFieldName(const char* name) {
  if (name == nullptr) return false;
  for (const char* reserved : kReservedNames) {
    if (std::strcmp(name, reserved) == 0) return true;
  }
  return false;
}

void ScanFieldText(const char* text, StringList& fieldNames, StringList& fieldValues,
                   int& maxNameLength) {
  if (text == nullptr) return;
  // Every search stops at the end of its own field and names are looked up in an index, so
  // the scan takes time linear in the text.
  FieldNameIndex index(fieldNames);
  const char* position = text;
  while (*position != '\0') {
    const char* open = std::strstr(position, kFieldDelimiter);
    if (open == nullptr) return;
    const char* nameStart = open + kFieldDelimiterLength;
    const char* close = std::strstr(nameStart, kFieldDelimiter);
    if (close == nullptr) return;

    // "::" splits name and default only when at least one character stands
    // between it and the closing delimiter; "A::" is a name of its own.
    const char* separator = FindSeparator(nameStart, close);
    const bool hasDefault = separator != nullptr && separator + 2 < close;
    const char* nameEnd = hasDefault ? separator : close;
    const char* defaultStart = hasDefault ? separator + 2 : close;

    StringBuffer value;
    const unsigned nameLength = static_cast<unsigned>(nameEnd - nameStart);
    if (nameLength > 0 &&
        AssignPart(value, defaultStart, static_cast<unsigned>(close - defaultStart))) {
      const int found = index.Find(nameStart, nameLength);
      StringBuffer name;
      if (found < 0 && AssignPart(name, nameStart, nameLength)) {
        if (!IsReservedFieldName(name.Data()) && fieldNames.Append(name.Data())) {
          if (fieldValues.Append(value.Data())) {
            index.Add(fieldNames.count - 1);
            if (static_cast<int>(nameLength) > maxNameLength) {
              maxNameLength = static_cast<int>(nameLength);
            }
          } else {
            // Keep the lists parallel: a name without its value is dropped.
            --fieldNames.count;
            fieldNames.items[fieldNames.count].Reset();
          }
        }
      } else if (found >= 0 && hasDefault && found < fieldValues.count) {
        fieldValues.items[found].SetFrom(value, 0);
      }
    }
    position = close + kFieldDelimiterLength;
  }
}

bool ReplacePlaceholder(StringBuffer& page, const char* key, const char* value,
                        unsigned& searchFrom) {
  if (key == nullptr || *key == '\0' || page.Data() == nullptr) return false;
  const char* text = page.Data();
  const unsigned length = page.Length();
  if (searchFrom > length) return false;

  const char* found = std::strstr(text + searchFrom, key);
  if (found == nullptr) return false;
  const unsigned keyAt = static_cast<unsigned>(found - text);
  if (keyAt < searchFrom + kFieldDelimiterLength) return false;
  const unsigned spanStart = keyAt - kFieldDelimiterLength;
  if (std::memcmp(text + spanStart, kFieldDelimiter, kFieldDelimiterLength) != 0) return false;
  const char* close = std::strstr(found, kFieldDelimiter);
  if (close == nullptr) return false;
  const unsigned spanEnd = static_cast<unsigned>(close - text) + kFieldDelimiterLength;

  if (value == nullptr) value = "";
  const unsigned valueLength = static_cast<unsigned>(std::strlen(value));
  const unsigned newLength = length - (spanEnd - spanStart) + valueLength;

  // Build the result beside the old text: the value may even point into it.
  StringBuffer result;
  if (!result.Reserve(newLength, false)) return false;
  char* out = result.MutableData();
  std::memcpy(out, text, spanStart);
  std::memcpy(out + spanStart, value, valueLength);
  std::memcpy(out + spanStart + valueLength, text + spanEnd, length - spanEnd);
  out[newLength] = '\0';
  if (!page.Swap(result)) return false;
  searchFrom = spanStart + valueLength;
  return true;
}

int ReplaceAllPlaceholders(StringBuffer& page, const char* key, const char* value) {
  // One pass with the same matching rules as repeated ReplacePlaceholder calls,
  // so that a page with many placeholders costs linear time.
  if (key == nullptr || *key == '\0' || page.Data() == nullptr) return 0;
  if (value == nullptr) value = "";
  const char* source = page.Data();
  const unsigned valueLength = static_cast<unsigned>(std::strlen(value));
  StringBuffer result;
  unsigned resultLength = 0;
  unsigned position = 0;
  int count = 0;
  for (;;) {
    const char* found = std::strstr(source + position, key);
    if (found == nullptr) break;
    const unsigned keyAt = static_cast<unsigned>(found - source);
    if (keyAt < position + kFieldDelimiterLength) break;
    const unsigned spanStart = keyAt - kFieldDelimiterLength;
    if (std::memcmp(source + spanStart, kFieldDelimiter, kFieldDelimiterLength) != 0) break;
    const char* close = std::strstr(found, kFieldDelimiter);
    if (close == nullptr) break;
    const unsigned before = spanStart - position;
    if (before > 0) {
      if (!result.SetText(source + position, static_cast<int>(before), resultLength)) return -1;
      resultLength += before;
    }
    if (valueLength > 0) {
      if (!result.SetText(value, static_cast<int>(valueLength), resultLength)) return -1;
      resultLength += valueLength;
    }
    position = static_cast<unsigned>(close - source) + kFieldDelimiterLength;
    ++count;
  }
  if (count == 0) return 0;
  if (!result.SetText(source + position, -1, resultLength)) return -1;
  if (result.Data() == nullptr && !result.Reserve(0, false)) return -1;
  if (!page.Swap(result)) return -1;
  return count;
}
