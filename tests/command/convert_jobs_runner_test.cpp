#include "command/convert_jobs_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "base/string_buffer.h"
#include "base/string_list.h"

namespace {

// Tells, for each job, a page note or a failure (every job whose number is a multiple of
// `failEvery`), after a pause that makes the jobs finish out of order.
class FakeConverter : public JobConverter {
 public:
  FakeConverter(ConvertReport& report, int failEvery) : report_(report), failEvery_(failEvery) {}
  void Convert(int job) override {
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
};

class FakeMaker : public JobConverterMaker {
 public:
  explicit FakeMaker(int failEvery) : failEvery_(failEvery) {}
  std::unique_ptr<JobConverter> Make(ConvertReport& report) override {
    ++made;
    return std::make_unique<FakeConverter>(report, failEvery_);
  }
  int made = 0;

 private:
  int failEvery_;
};

struct RunResult {
  std::string lines;
  int failures = 0;
  int firstGood = -2;
};

RunResult RunJobs(int count, int workers, int failEvery) {
  StringList shown;
  for (int i = 0; i < count; ++i) shown.Append(("scene" + std::to_string(i) + ".krn").c_str());
  StringBuffer told;
  ConvertReport report(2, &told);
  FakeMaker maker(failEvery);
  RunResult result;
  result.firstGood = RunConvertJobs(shown, workers, report, maker);
  result.lines = told.Length() > 0 ? std::string(told.Data(), told.Length()) : "";
  result.failures = report.failures();
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

}  // namespace
