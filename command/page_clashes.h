// No page written twice in one krn2html-convert run: the jobs whose page is their own scene,
// or the page of an earlier job, are given a problem instead.
#pragma once

#include <cstddef>
#include <memory>

#include "command/scene_jobs.h"

// Marks the clashes job by job, in the order of the jobs, so that the jobs marked so far may
// be converted while later ones are still made: a job's mark depends only on the jobs before
// it. The first job of a page keeps it.
class PageClashes {
 public:
  // Marks the made jobs from the last one marked up to upTo. Every job must be listed before
  // the first call. False only when memory runs out.
  bool Mark(SceneJobs& jobs, int upTo);

 private:
  // Open addressing over the jobs that keep their page: job number + 1, 0 for a free slot.
  std::unique_ptr<int[]> slots_;
  size_t mask_ = 0;
  int marked_ = 0;
};
