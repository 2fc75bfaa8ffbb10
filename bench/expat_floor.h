// The floor the scene step is measured against: expat with no handlers on the same bytes, as
// xml_parse_bench and the 32-bit measurement under Wine (tests/win32/scene_limit) take it.
#pragma once

#include <expat.h>

#include <algorithm>
#include <cstring>
#include <string>

// Parses `text` with a new expat parser and no handlers: the bytes copied into its buffer and
// parsed, then the parser freed. expat's buffer cannot grow to 1 GiB: a larger text is handed
// over in blocks of 1 MiB. False when the text is not well-formed or memory runs out.
inline bool ExpatOnly(const std::string& text) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  if (parser == nullptr) return false;
  const size_t block = text.size() < (size_t{1} << 30) ? text.size() : size_t{1} << 20;
  bool ok = true;
  size_t done = 0;
  do {
    const size_t length = std::min(block, text.size() - done);
    void* buffer = XML_GetBuffer(parser, static_cast<int>(length));
    ok = buffer != nullptr;
    if (ok) {
      std::memcpy(buffer, text.data() + done, length);
      done += length;
      ok = XML_ParseBuffer(parser, static_cast<int>(length), done == text.size()) !=
           XML_STATUS_ERROR;
    }
  } while (ok && done < text.size());
  XML_ParserFree(parser);
  return ok;
}
