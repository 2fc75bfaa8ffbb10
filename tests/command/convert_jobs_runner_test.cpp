#include "command/convert_jobs_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "base/string_buffer.h"
#include "base/string_list.h"

namespace {

// Tells, for each job, a page note or a failure (every job whose number is a multiple of
// `failEvery`), after a pause that makes the jobs finish out of order.
// What the workers did, checked against what was ready.
struct Seen {
  std::atomic<int> ready{1 << 30};  // jobs below were made ready (all without a preparer)
  std::atomic<int> early{0};        // jobs converted before they were ready
  std::atomic<int> converted{0};
  std::atomic<int> highest{-1};
};

class FakeConverter : public JobConverter {
 public:
  FakeConverter(ConvertReport& report, int failEvery, Seen& seen)
      : report_(report), failEvery_(failEvery), seen_(seen) {}
  void Convert(int job) override {
    if (job >= seen_.ready) ++seen_.early;
    ++seen_.converted;
    for (int high = seen_.highest; high < job && !seen_.highest.compare_exchange_weak(high, job);) {
    }
    // Jobs 0, 3, 6, ... take longest: the first job of a run finishes after later ones.
    std::this_thread::sleep_for(std::chrono::microseconds(job % 3 == 0 ? 3000 : job % 3 * 200));
    const std::string name = "scene" + std::to_string(job) + ".krn";
    if (failEvery_ > 0 && job % failEvery_ == 0) {
      report_.Failure(name.c_str(), "Parse Error");
    } else {
      report_.Note(("wrote " + name).c_str());
      report_.Warning(("warned " + name).c_str());
    }
  }

 private:
  ConvertReport& report_;
  int failEvery_;
  Seen& seen_;
};

class FakeMaker : public JobConverterMaker {
 public:
  FakeMaker(int failEvery, Seen& seen) : failEvery_(failEvery), seen_(seen) {}
  std::unique_ptr<JobConverter> Make(ConvertReport& report) override {
    ++made;
    return std::make_unique<FakeConverter>(report, failEvery_, seen_);
  }
  int made = 0;

 private:
  int failEvery_;
  Seen& seen_;
};

// Makes the jobs ready slowly, so that the workers wait for them; fails for a step past
// failAt (never when 0).
class FakePreparer : public JobPreparer {
 public:
  FakePreparer(int failAt, Seen& seen) : failAt_(failAt), seen_(seen) { seen_.ready = 0; }
  bool Prepare(int upTo) override {
    if (upTo <= seen_.ready) ++backwards;
    if (failAt_ > 0 && upTo > failAt_) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(300));
    seen_.ready = upTo;
    return true;
  }
  int backwards = 0;

 private:
  int failAt_;
  Seen& seen_;
};

struct RunResult {
  std::string lines;
  int failures = 0;
  int firstGood = -2;
  int early = 0;  // jobs converted before they were ready
  int converted = 0;
  int highest = -1;   // the highest job converted
  int ready = 0;      // the jobs made ready in the end
  int backwards = 0;  // steps that made fewer jobs ready than the one before
};

// failAt: -1 without a preparer, 0 with one that never fails.
RunResult RunJobs(int count, int workers, int failEvery, int failAt = -1) {
  StringList shown;
  for (int i = 0; i < count; ++i) shown.Append(("scene" + std::to_string(i) + ".krn").c_str());
  StringBuffer told;
  ConvertReport report(2, &told);
  Seen seen;
  FakeMaker maker(failEvery, seen);
  std::unique_ptr<FakePreparer> preparer;
  if (failAt >= 0) preparer = std::make_unique<FakePreparer>(failAt, seen);
  RunResult result;
  result.firstGood = RunConvertJobs(shown, workers, report, maker, preparer.get());
  result.lines = told.Length() > 0 ? std::string(told.Data(), told.Length()) : "";
  result.failures = report.failures();
  result.early = seen.early;
  result.converted = seen.converted;
  result.highest = seen.highest;
  result.ready = seen.ready;
  result.backwards = preparer ? preparer->backwards : 0;
  return result;
}

TEST(RunConvertJobs, AnyNumberOfWorkersTellsWhatOneAfterTheOtherTells) {
  const struct {
    int count;
    int failEvery;  // 0: no failure; 1: every job fails
    int firstGood;
  } cases[] = {
      {1, 0, 0}, {1, 1, -1}, {7, 0, 0}, {7, 5, 1}, {40, 2, 1}, {40, 1, -1},
  };
  for (const auto& c : cases) {
    const RunResult alone = RunJobs(c.count, 1, c.failEvery);
    EXPECT_EQ(alone.firstGood, c.firstGood) << c.count << " jobs, failing every " << c.failEvery;
    for (const int workers : {2, 3, 8}) {
      const RunResult together = RunJobs(c.count, workers, c.failEvery);
      const std::string what = std::to_string(c.count) + " jobs on " + std::to_string(workers) +
                               " workers, failing every " + std::to_string(c.failEvery);
      EXPECT_EQ(together.lines, alone.lines) << what;
      EXPECT_EQ(together.failures, alone.failures) << what;
      EXPECT_EQ(together.firstGood, alone.firstGood) << what;
    }
  }
}

TEST(RunConvertJobs, JobsAreConvertedOnlyOnceReadyAndToldAsWithoutPreparing) {
  for (const int count : {1, 7, 150}) {
    const RunResult alone = RunJobs(count, 1, 4);
    for (const int workers : {1, 2, 3}) {
      const std::string what = std::to_string(count) + " jobs on " + std::to_string(workers) +
                               " workers, made ready while converted";
      const RunResult prepared = RunJobs(count, workers, 4, 0);
      EXPECT_EQ(prepared.lines, alone.lines) << what;
      EXPECT_EQ(prepared.failures, alone.failures) << what;
      EXPECT_EQ(prepared.firstGood, alone.firstGood) << what;
      EXPECT_EQ(prepared.early, 0) << what;
      EXPECT_EQ(prepared.ready, count) << what;
      EXPECT_EQ(prepared.backwards, 0) << what;
    }
  }
  // Preparing that fails stops the run: nothing is told, no job past the ready ones is
  // converted, and the result says that no job ended well.
  for (const int workers : {1, 3}) {
    const std::string what = "preparing failed, " + std::to_string(workers) + " workers";
    const RunResult failed = RunJobs(150, workers, 0, 100);
    EXPECT_EQ(failed.firstGood, -1) << what;
    EXPECT_EQ(failed.lines, "") << what;
    EXPECT_EQ(failed.early, 0) << what;
    EXPECT_LT(failed.highest, 100) << what;
  }
}

}  // namespace
