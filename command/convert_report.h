// What krn2html-convert tells on standard error: one line per failure, warnings, the pages it
// wrote when asked to be verbose, and on a terminal a progress line that the other lines
// overwrite.
#pragma once

class StringBuffer;

class ConvertReport {
 public:
  // verbosity: 0 failures only, 1 warnings too, 2 every page as well. showProgress: whether a
  // progress line may be drawn at all (standard error is a terminal and there are several
  // scenes); quiet (verbosity 0) turns it off too.
  ConvertReport(int verbosity, bool showProgress);
  // A report that appends its lines, each ending in a line feed, to *kept instead of writing
  // them: a worker's report, whose lines the run's report tells later in the order of the
  // scenes (Retell). It draws no progress line.
  ConvertReport(int verbosity, StringBuffer* kept);
  ~ConvertReport();
  ConvertReport(const ConvertReport&) = delete;
  ConvertReport& operator=(const ConvertReport&) = delete;

  // "krn2html-convert: <what>: <reason>" and counts the failure.
  void Failure(const char* what, const char* reason);
  // A failure told in a line of its own ("file:line: Parse Error: ..."); counts the failure.
  void FailureLine(const char* line);
  // A line that does not fail the command; shown unless quiet.
  void Warning(const char* line);
  // A line that does not fail the command, shown even when quiet.
  void Notice(const char* line);
  // A line shown only when verbose.
  void Note(const char* line);
  // Redraws the progress line: "[done/total] scene".
  void Progress(int done, int total, const char* scene);
  // Removes the progress line, if one is drawn.
  void EndProgress();

  // Writes lines kept by a worker's report (nothing when empty) as if they had been told here
  // (a kept report keeps them), and counts their failures as this report's.
  void Retell(const StringBuffer& lines, int failures);

  int failures() const { return failures_; }
  int verbosity() const { return verbosity_; }

 private:
  void WriteLine(const char* text);

  int verbosity_;
  bool showProgress_;
  unsigned progressWidth_ = 0;  // characters of the progress line on screen; 0 when none
  int failures_ = 0;
  StringBuffer* kept_ = nullptr;  // a worker's report: where its lines go
};
