#include "program/command_line.h"

#include <cstring>

namespace {

bool NeedsQuotes(const char* arg) {
  return arg[0] == '\0' || std::strpbrk(arg, " \t\"") != nullptr;
}

// Writes one quoted argument: 2n backslashes before a quote stand for n, a
// backslash-quote for a literal quote (the rule CommandLineToArgvW reads).
void AppendQuoted(std::string& out, const char* arg) {
  out += '"';
  size_t backslashes = 0;
  for (const char* p = arg; *p; ++p) {
    if (*p == '\\') {
      ++backslashes;
      continue;
    }
    if (*p == '"') {
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    backslashes = 0;
    out += *p;
  }
  out.append(backslashes * 2, '\\');
  out += '"';
}

}  // namespace

std::string JoinCommandLine(int argc, const char* const* argv) {
  std::string line;
  if (argv == nullptr) return line;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i] ? argv[i] : "";
    if (i > 1) line += ' ';
    if (NeedsQuotes(arg)) {
      AppendQuoted(line, arg);
    } else {
      line += arg;
    }
  }
  return line;
}
