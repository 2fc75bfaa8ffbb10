#include "core/page_text.h"

#include <cstring>
#include <memory>
#include <new>

#include "base/ascii_case.h"
#include "base/relative_path.h"
#include "platform/system_text.h"

namespace {

// The length of the ASCII word at text when it starts there in any letter case, else 0.
size_t MatchWord(const char* text, const char* word) {
  size_t i = 0;
  for (; word[i] != '\0'; ++i) {
    if (LowerAscii(text[i]) != word[i]) return 0;
  }
  return i;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

}  // namespace

bool DeclaresUtf8(const char* text) {
  if (text == nullptr) return false;
  for (const char* p = text; *p != '\0'; ++p) {
    const size_t word = MatchWord(p, "charset");
    if (word == 0) continue;
    const char* q = p + word;
    while (IsBlank(*q)) ++q;
    if (*q != '=') continue;
    ++q;
    while (IsBlank(*q)) ++q;
    if (*q == '"' || *q == '\'') ++q;
    if (MatchWord(q, "utf-8") != 0 || MatchWord(q, "utf8") != 0) return true;
  }
  return false;
}

bool SetPageText(StringBuffer& out, const char* text, bool utf8Page) {
  if (text == nullptr) text = "";
  if (!utf8Page) return out.SetText(text, -1, 0);
  const uint32_t length = SysUtf8FromSystemText(text, nullptr, 0);
  if (length == 0xFFFFFFFFu || length >= StringBuffer::kMaxCapacity) {
    return out.SetText(text, -1, 0);
  }
  std::unique_ptr<char[]> utf8(new (std::nothrow) char[length + 1]);
  if (!utf8 || SysUtf8FromSystemText(text, utf8.get(), length + 1) != length) {
    return out.SetText(text, -1, 0);
  }
  return out.SetText(utf8.get(), static_cast<int>(length), 0);
}

bool SetPageValues(StringList& out, const StringList* values, bool utf8Page) {
  out.Clear();
  if (values == nullptr) return true;
  StringBuffer text;
  for (int i = 0; i < values->count; ++i) {
    if (!SetPageText(text, values->items[i].Data(), utf8Page) || !out.Append(text.Data())) {
      return false;
    }
  }
  return true;
}

bool MakeSceneReference(const char* pagePath, const char* scenePath, bool utf8Page,
                        StringBuffer& out) {
  StringBuffer base;
  StringBuffer target;
  StringBuffer relative;
  if (!base.SetText(pagePath != nullptr ? pagePath : "", -1, 0) ||
      !target.SetText(scenePath != nullptr ? scenePath : "", -1, 0)) {
    return false;
  }
  MakeRelativePath(base, target, relative);
  StringBuffer text;
  if (!SetPageText(text, relative.Data(), utf8Page)) return false;

  // Copies runs of ordinary characters whole; each of the three URL characters becomes its
  // escape. The length is kept, so a long path is not rescanned.
  if (!out.SetText("", -1, 0)) return false;
  unsigned length = 0;
  const char* run = text.Data() != nullptr ? text.Data() : "";
  for (const char* p = run;; ++p) {
    const bool special = *p == '#' || *p == '%' || *p == '?';
    if (!special && *p != '\0') continue;
    const unsigned count = static_cast<unsigned>(p - run);
    if (count > 0 && !out.SetText(run, static_cast<int>(count), length)) return false;
    length += count;
    if (*p == '\0') return true;
    const char* escape = *p == '#' ? "%23" : (*p == '%' ? "%25" : "%3F");
    if (!out.SetText(escape, 3, length)) return false;
    length += 3;
    run = p + 1;
  }
}
