// The -j workers of krn2html-convert: the scenes of one run converted by several threads at once,
// their lines told in the order of the scenes. The workers share nothing but the next job to take
// (once it is ready) and the finished jobs' lines; each converts with a converter of its own,
// holding one scene at a time.
#pragma once

#include <memory>

#include "base/string_list.h"
#include "command/convert_report.h"

// Converts jobs by number, telling what happens to the report it was made with.
class JobConverter {
 public:
  virtual ~JobConverter() = default;
  virtual void Convert(int job) = 0;
};

// Makes the converter of one worker, bound to report; called on the calling thread before any
// worker starts (a worker may not read the settings or change the current folder). Null when
// memory runs out.
class JobConverterMaker {
 public:
  virtual std::unique_ptr<JobConverter> Make(ConvertReport& report) = 0;

 protected:
  ~JobConverterMaker() = default;
};

// Makes the jobs of a run ready on the calling thread while the workers convert those that are:
// a long list is still being made when the first pages are written.
class JobPreparer {
 public:
  // Makes the jobs below upTo ready; called with upTo growing to the number of jobs. False when
  // memory runs out.
  virtual bool Prepare(int upTo) = 0;

 protected:
  ~JobPreparer() = default;
};

// Converts the jobs 0..shown.count-1 with at most `workers` threads and tells report, in the
// order of the jobs, each job's progress ("[n/total] shown") and lines: what report shows is
// what a run of one job after the other shows, whatever order the jobs finish in. The calling
// thread is one of the workers (with one worker, or one job, the only one). A failed job never
// stops the others; when a thread cannot be started the ones that did (or the calling thread) take
// its share. With a preparer, the calling thread first makes the jobs ready, a few at a time,
// while the other workers convert those ready (shown is read once all are); when it fails, no
// further job is converted, none is told and the result is -1. Returns the first job that ended
// without a failure, -1 when every one failed.
int RunConvertJobs(const StringList& shown, int workers, ConvertReport& report,
                   JobConverterMaker& maker, JobPreparer* preparer = nullptr);
