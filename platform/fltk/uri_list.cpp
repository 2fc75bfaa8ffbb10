#include "platform/fltk/uri_list.h"

#include <cctype>

namespace fltk_backend {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Percent-decodes `text`; false for a bad escape or an encoded zero byte.
bool PercentDecode(const std::string& text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      *out += text[i];
      continue;
    }
    int high = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
    int low = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
    if (high < 0 || low < 0) return false;
    char c = static_cast<char>(high * 16 + low);
    if (c == '\0') return false;
    *out += c;
    i += 2;
  }
  return true;
}

bool UriToPath(const std::string& line, std::string* path) {
  if (!line.empty() && line[0] == '/') {
    *path = line;
    return true;
  }
  const std::string scheme = "file://";
  if (line.size() < scheme.size()) return false;
  for (size_t i = 0; i < scheme.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(line[i])) != scheme[i]) return false;
  }
  std::string rest = line.substr(scheme.size());
  size_t slash = rest.find('/');
  if (slash == std::string::npos) return false;
  std::string host = rest.substr(0, slash);
  if (!host.empty() && host != "localhost") return false;
  return PercentDecode(rest.substr(slash), path) && !path->empty();
}

}  // namespace

std::vector<std::string> DecodeUriList(const char* text, size_t length) {
  std::vector<std::string> paths;
  if (text == nullptr) return paths;
  size_t start = 0;
  while (start < length) {
    size_t end = start;
    while (end < length && text[end] != '\n' && text[end] != '\r' && text[end] != '\0') ++end;
    std::string line(text + start, end - start);
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    std::string path;
    if (UriToPath(line, &path)) paths.push_back(path);
  }
  return paths;
}

}  // namespace fltk_backend
