#include "command/page_opener.h"

#include "base/path_buffer.h"
#include "base/string_buffer.h"
#include "command/convert_options.h"
#include "core/text_of.h"
#include "platform/browser_open.h"
#include "platform/native_path.h"

void OpenFirstPage(const SceneJobs& jobs, int job, ConvertReport& report) {
  if (job < 0 || job >= jobs.pages.count || jobs.pages.items[job].Length() == 0) return;
  char native[4 * kPathSize];
  char reason[256];
  const char* page = TextOf(jobs.pages.items[job]);
  if (!NativePathFromProgram(page, native, sizeof native)) return;
  if (SysOpenInBrowser(native, reason, sizeof reason)) return;
  StringBuffer line;
  if (!line.Format("%s: could not open %s in a browser: %s", kConvertProgramName, native, reason)) {
    line.SetText("krn2html-convert: could not open the page in a browser", -1, 0);
  }
  report.Notice(TextOf(line));
}
