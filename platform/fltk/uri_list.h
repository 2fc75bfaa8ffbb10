// Decoding of the text/uri-list that an XDND drop delivers.
#pragma once

#include <string>
#include <vector>

namespace fltk_backend {

// Turns a URI list (one URI per line, lines ended by "\r\n" or "\n", lines
// starting with '#' are comments) into native file paths: "file://" URIs with
// an empty or "localhost" host are percent-decoded; a line that is already an
// absolute path is kept as it is; other URIs (other hosts or schemes, bad
// escapes, an encoded zero byte) are left out.
std::vector<std::string> DecodeUriList(const char* text, size_t length);

}  // namespace fltk_backend
