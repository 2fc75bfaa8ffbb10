// The Linux program's verbose log: diagnostic lines on standard error, written
// only when the environment variable KRN2HTML_VERBOSE is set to something other
// than "" or "0". Nothing the program does depends on it.
#pragma once

namespace fltk_backend {

// Whether the verbose log is on.
bool VerboseLogOn();

// Writes "krn2html: " and the formatted line to standard error when the log is on.
void LogVerbose(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace fltk_backend
