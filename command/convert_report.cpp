#include "command/convert_report.h"

#include <cstring>

#include "base/string_buffer.h"
#include "command/convert_options.h"
#include "core/text_of.h"
#include "platform/console.h"

namespace {

void WriteError(const char* text, unsigned length) {
  SysWriteStandard(kStandardError, text, length);
}

}  // namespace

ConvertReport::ConvertReport(int verbosity, bool showProgress)
    : verbosity_(verbosity), showProgress_(showProgress && verbosity > 0) {}

ConvertReport::ConvertReport(int verbosity, StringBuffer* kept)
    : verbosity_(verbosity), showProgress_(false), kept_(kept) {}

ConvertReport::~ConvertReport() {
  EndProgress();
}

void ConvertReport::WriteLine(const char* text) {
  if (kept_ != nullptr) {
    // A line that does not fit in memory is written at once rather than lost.
    const unsigned length = kept_->Length();
    if (kept_->SetText(text, -1, length) && kept_->SetText("\n", -1, kept_->Length())) return;
    kept_->SetText("", -1, length);
  }
  EndProgress();
  StringBuffer line;
  if (line.SetText(text, -1, 0) && line.SetText("\n", -1, line.Length())) {
    WriteError(line.Data(), line.Length());
  } else {
    WriteError(text, unsigned(std::strlen(text)));
    WriteError("\n", 1);
  }
}

void ConvertReport::Retell(const StringBuffer& lines, int failures) {
  failures_ += failures;
  if (lines.Length() == 0) return;
  // A kept report keeps them too (a line that does not fit is written at once).
  if (kept_ != nullptr && kept_->SetText(lines.Data(), int(lines.Length()), kept_->Length()))
    return;
  EndProgress();
  WriteError(lines.Data(), lines.Length());
}

void ConvertReport::Failure(const char* what, const char* reason) {
  ++failures_;
  StringBuffer line;
  const bool ok = line.SetText(kConvertProgramName, -1, 0) &&
                  line.SetText(": ", -1, line.Length()) && line.SetText(what, -1, line.Length()) &&
                  line.SetText(": ", -1, line.Length()) && line.SetText(reason, -1, line.Length());
  WriteLine(ok ? TextOf(line) : reason);
}

void ConvertReport::FailureLine(const char* line) {
  ++failures_;
  WriteLine(line);
}

void ConvertReport::Warning(const char* line) {
  if (verbosity_ >= 1) WriteLine(line);
}

void ConvertReport::Notice(const char* line) {
  WriteLine(line);
}

void ConvertReport::Note(const char* line) {
  if (verbosity_ >= 2) WriteLine(line);
}

void ConvertReport::Progress(int done, int total, const char* scene) {
  if (!showProgress_) return;
  // A long name shows its end, so that the line fits a terminal's width and "\r" can
  // return to its start.
  constexpr size_t kNameWidth = 60;
  const size_t length = std::strlen(scene);
  StringBuffer line;
  if (!line.Format("\r[%d/%d] %s", done, total, length > kNameWidth ? "..." : "") ||
      !line.SetText(length > kNameWidth ? scene + length - (kNameWidth - 3) : scene, -1,
                    line.Length())) {
    return;
  }
  // The visible characters, without the carriage return; a shorter line blanks what the
  // longer one before it left.
  const unsigned width = line.Length() - 1;
  if (width < progressWidth_ && !line.Fill(' ', progressWidth_ - width, line.Length())) return;
  WriteError(line.Data(), line.Length());
  progressWidth_ = width;
}

void ConvertReport::EndProgress() {
  if (progressWidth_ == 0) return;
  StringBuffer blank;
  if (blank.SetText("\r", -1, 0) && blank.Fill(' ', progressWidth_, 1) &&
      blank.SetText("\r", -1, blank.Length())) {
    WriteError(blank.Data(), blank.Length());
  }
  progressWidth_ = 0;
}
