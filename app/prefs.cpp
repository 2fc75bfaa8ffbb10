#include "app/prefs.h"

#include <cstring>
#include <memory>

#include "app/template_fields.h"
#include "app/templates.h"
#include "app/text_of.h"
#include "base/file_handle.h"
#include "base/path_buffer.h"

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

bool PrefsFullPath(const ConverterState* state, PathBuffer& path) {
  StringBuffer relative;
  return PrefsFilePath(state, relative) && path.SetInProgramFolder(relative.Data());
}

// Applies one line [begin, end) of a preferences file to the state's fields.
void ApplyPrefsLine(ConverterState* state, const char* begin, const char* end) {
  const char* open = FindIn(begin, end, kFieldDelimiter);
  if (open == nullptr) return;
  const char* nameStart = open + kFieldDelimiterLength;
  const char* close = FindIn(nameStart, end, kFieldDelimiter);
  if (close == nullptr) return;
  const char* equals = FindIn(close + kFieldDelimiterLength, end, "=");
  if (equals == nullptr) return;
  StringBuffer name;
  if (!name.SetText(nameStart, static_cast<int>(close - nameStart), 0)) return;
  if (name.Length() == 0) return;
  const int index = state->fieldNames.IndexOf(name.Data());
  if (index < 0 || index >= state->fieldValues.count) return;
  state->fieldValues.items[index].SetText(equals + 1, static_cast<int>(end - equals - 1), 0);
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

bool LoadPrefs(ConverterState* state) {
  if (state == nullptr) return false;
  PathBuffer path;
  if (!PrefsFullPath(state, path)) return false;
  unsigned count = 0;
  std::unique_ptr<char[]> text = ReadWholeFile(path, count);
  if (!text) return false;
  const char* line = text.get();
  for (;;) {
    const char* end = line + std::strcspn(line, "\r\n");
    if (*end == '\0') break;  // A last line without a line break is not read.
    if (end > line) ApplyPrefsLine(state, line, end);
    line = end + 1;
  }
  return true;
}

bool SavePrefs(ConverterState* state) {
  if (state == nullptr) return false;
  PathBuffer path;
  if (!PrefsFullPath(state, path)) return false;
  FileHandle file(path);
  if (!file.Open(2)) return false;
  bool ok = true;
  const int fields = state->fieldNames.count;
  for (int i = 0; i < fields && ok; ++i) {
    const char* value = i < state->fieldValues.count ? TextOf(state->fieldValues.items[i]) : "";
    if (!HasNonBlank(value)) continue;
    StringBuffer line;
    ok = line.SetText(kFieldDelimiter, -1, 0) &&
         line.SetText(TextOf(state->fieldNames.items[i]), -1, line.Length()) &&
         line.SetText(kFieldDelimiter, -1, line.Length()) && line.SetText("=", -1, line.Length()) &&
         line.SetText(value, -1, line.Length()) && line.SetText("\r\n", -1, line.Length());
    uint32_t written = 0;
    const unsigned length = line.Length();
    ok = ok && file.Write(line.Data(), length, &written) && written == length;
  }
  ok = file.SetEnd() && ok;
  return file.Close() && ok;
}
