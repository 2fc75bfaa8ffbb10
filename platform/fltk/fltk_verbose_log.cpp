#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/fltk/verbose_log.h"

namespace fltk_backend {

bool VerboseLogOn() {
  const char* value = std::getenv("KRN2HTML_VERBOSE");
  return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

void LogVerbose(const char* format, ...) {
  if (!VerboseLogOn()) return;
  std::fputs("krn2html: ", stderr);
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(stderr, format, arguments);
  va_end(arguments);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace fltk_backend
