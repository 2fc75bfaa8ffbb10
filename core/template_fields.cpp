#include "core/template_fields.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/field_name_index.h"

const char kFieldDelimiter[] = "((KWB))";

namespace {

const char* const kReservedNames[] = {"FILENAME", "BUILD", "FORMSDATA"};

// One field of a text: the span from its opening delimiter to the end of its
// closing one, and its name (before a "::" that has text behind it).
struct FieldSpan {
  unsigned start = 0;
  unsigned nameStart = 0;
  unsigned nameEnd = 0;
  unsigned end = 0;

  // True when the field's whole name is key.
  bool NameIs(const char* text, const char* key, size_t keyLength) const {
    return nameEnd - nameStart == keyLength && std::memcmp(text + nameStart, key, keyLength) == 0;
  }
};

// The first field delimiter at or after text, or null; each '(' is found with strchr, which
// runs much faster over a page than a search for the whole delimiter.
const char* FindDelimiter(const char* text) {
  for (const char* p = std::strchr(text, '('); p != nullptr; p = std::strchr(p + 1, '(')) {
    if (std::strncmp(p, kFieldDelimiter, kFieldDelimiterLength) == 0) return p;
  }
  return nullptr;
}

// Finds the next field at or after from, pairing delimiters the way ScanFieldText
// does; false when no opening delimiter with a closing one follows.
bool FindField(const char* text, unsigned from, FieldSpan& field) {
  const char* open = FindDelimiter(text + from);
  if (open == nullptr) return false;
  const char* nameStart = open + kFieldDelimiterLength;
  const char* close = FindDelimiter(nameStart);
  if (close == nullptr) return false;
  // "::" ends the name only when at least one character stands between it and
  // the closing delimiter.
  const char* nameEnd = close;
  for (const char* p = nameStart; p + 2 < close; ++p) {
    if (p[0] == ':' && p[1] == ':') {
      nameEnd = p;
      break;
    }
  }
  field.start = static_cast<unsigned>(open - text);
  field.nameStart = static_cast<unsigned>(nameStart - text);
  field.nameEnd = static_cast<unsigned>(nameEnd - text);
  field.end = static_cast<unsigned>(close - text) + kFieldDelimiterLength;
  return true;
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
  FieldSpan field;
  unsigned position = 0;
  while (text[position] != '\0' && FindField(text, position, field)) {
    const char* nameStart = text + field.nameStart;
    const unsigned nameLength = field.nameEnd - field.nameStart;
    const unsigned close = field.end - kFieldDelimiterLength;
    const bool hasDefault = field.nameEnd < close;
    const unsigned defaultStart = hasDefault ? field.nameEnd + 2 : close;

    StringBuffer value;
    if (nameLength > 0 && AssignPart(value, text + defaultStart, close - defaultStart)) {
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
    position = field.end;
  }
}

bool ReplacePlaceholder(StringBuffer& page, const char* key, const char* value,
                        unsigned& searchFrom) {
  if (key == nullptr || *key == '\0' || page.Data() == nullptr) return false;
  const char* text = page.Data();
  const unsigned length = page.Length();
  if (searchFrom > length) return false;
  const size_t keyLength = std::strlen(key);

  FieldSpan field;
  unsigned position = searchFrom;
  while (FindField(text, position, field)) {
    if (!field.NameIs(text, key, keyLength)) {
      position = field.end;
      continue;
    }
    if (value == nullptr) value = "";
    const unsigned valueLength = static_cast<unsigned>(std::strlen(value));
    const unsigned newLength = length - (field.end - field.start) + valueLength;
    // Build the result beside the old text: the value may even point into it.
    StringBuffer result;
    if (!result.Reserve(newLength, false)) return false;
    char* out = result.MutableData();
    std::memcpy(out, text, field.start);
    std::memcpy(out + field.start, value, valueLength);
    std::memcpy(out + field.start + valueLength, text + field.end, length - field.end);
    out[newLength] = '\0';
    if (!page.Swap(result)) return false;
    searchFrom = field.start + valueLength;
    return true;
  }
  return false;
}

int ReplaceAllPlaceholders(StringBuffer& page, const char* key, const char* value) {
  // One pass with the same matching rules as repeated ReplacePlaceholder calls,
  // so that a page with many placeholders costs linear time.
  if (key == nullptr || *key == '\0' || page.Data() == nullptr) return 0;
  if (value == nullptr) value = "";
  const char* source = page.Data();
  const size_t keyLength = std::strlen(key);
  const unsigned valueLength = static_cast<unsigned>(std::strlen(value));
  StringBuffer result;
  unsigned resultLength = 0;
  unsigned copied = 0;  // the source is copied up to here
  unsigned position = 0;
  int count = 0;
  FieldSpan field;
  while (FindField(source, position, field)) {
    position = field.end;
    if (!field.NameIs(source, key, keyLength)) continue;
    // Room for the text with one value in at the first placeholder: a page with one
    // placeholder of the key is then built without growing.
    if (count == 0 &&
        !result.Reserve(static_cast<unsigned>(std::min<uint64_t>(
                            uint64_t{page.Length()} + valueLength, StringBuffer::kMaxCapacity - 1)),
                        false)) {
      return -1;
    }
    const unsigned before = field.start - copied;
    if (before > 0) {
      if (!result.SetText(source + copied, static_cast<int>(before), resultLength)) return -1;
      resultLength += before;
    }
    if (valueLength > 0) {
      if (!result.SetText(value, static_cast<int>(valueLength), resultLength)) return -1;
      resultLength += valueLength;
    }
    copied = field.end;
    ++count;
  }
  if (count == 0) return 0;
  if (!result.SetText(source + copied, -1, resultLength)) return -1;
  if (result.Data() == nullptr && !result.Reserve(0, false)) return -1;
  if (!page.Swap(result)) return -1;
  return count;
}
