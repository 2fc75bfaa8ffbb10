// --open of krn2html-convert: the first page a run wrote, shown in the user's browser.
#pragma once

#include "command/convert_report.h"
#include "command/scene_jobs.h"

// Opens the page of job `job` (a job whose page was written; -1 or a page on standard output
// opens nothing) in the user's browser. When no browser can be started, says so in one line of
// report that does not count as a failure.
void OpenFirstPage(const SceneJobs& jobs, int job, ConvertReport& report);
