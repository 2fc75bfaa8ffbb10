#include "command/convert_jobs_runner.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "base/string_buffer.h"
#include "core/text_of.h"

namespace {

// Jobs made ready at once while the calling thread prepares them: first a few, then more.
constexpr int kFirstReadyStep = 8;
constexpr int kReadyStep = 64;

// What one finished job left for the run's report.
struct JobOutcome {
  StringBuffer lines;
  int failures = 0;
  bool done = false;
};

// The shared part: the next job to take, the jobs ready to take and the outcomes, under `mutex`.
struct JobBoard {
  std::atomic<int> next{0};
  int count = 0;
  // Jobs below `ready` may be taken; it grows (under `mutex`) while the calling thread prepares
  // them. `stopped` when preparing failed: no further job is taken.
  std::atomic<int> ready{0};
  bool stopped = false;
  std::condition_variable readied;
  std::unique_ptr<JobOutcome[]> outcomes;
  std::mutex mutex;
  std::condition_variable finished;
  int awaited = -1;  // the job the calling thread waits for; -1 while it does not wait
};

// One worker: its converter, the report it tells and the lines that report keeps.
struct Worker {
  StringBuffer lines;
  std::unique_ptr<ConvertReport> report;
  std::unique_ptr<JobConverter> converter;
  std::thread thread;
};

// Converts one job and hands its lines to the board; true when that job is the one the
// calling thread waits for.
bool ConvertJob(Worker& worker, JobBoard& board, int job) {
  const int before = worker.report->failures();
  worker.converter->Convert(job);
  std::lock_guard<std::mutex> lock(board.mutex);
  JobOutcome& outcome = board.outcomes[size_t(job)];
  outcome.lines.Swap(worker.lines);
  outcome.failures = worker.report->failures() - before;
  outcome.done = true;
  return board.awaited == job;
}

// The next job to convert, once it is ready; -1 when none is left.
int TakeJob(JobBoard& board) {
  const int job = board.next.fetch_add(1);
  if (job >= board.count) return -1;
  if (job < board.ready.load(std::memory_order_acquire)) return job;
  std::unique_lock<std::mutex> lock(board.mutex);
  board.readied.wait(lock, [&board, job] { return job < board.ready || board.stopped; });
  return job < board.ready ? job : -1;
}

// Lets the workers take the jobs below upTo, or, with stop, no further one.
void MakeReady(JobBoard& board, int upTo, bool stop) {
  {
    std::lock_guard<std::mutex> lock(board.mutex);
    board.ready.store(upTo, std::memory_order_release);
    board.stopped = stop;
  }
  board.readied.notify_all();
}

// Takes jobs until none is left.
void Work(Worker& worker, JobBoard& board) {
  for (;;) {
    const int job = TakeJob(board);
    if (job < 0) return;
    // Only the job the calling thread waits for wakes it: a wake-up per job would cost a
    // switch of threads per scene.
    if (ConvertJob(worker, board, job)) board.finished.notify_one();
  }
}

// The calling thread's side of a run: tells the finished jobs in order, from `told` on.
struct Teller {
  const StringList& shown;
  ConvertReport& report;
  JobBoard& board;
  int told = 0;
  int firstGood = -1;

  // Tells job `told` once it is done; with `wait`, waits for it. False when it is not done.
  bool TellNext(bool wait) {
    const int i = told;
    StringBuffer lines;
    int failures = 0;
    {
      // The lines are taken out under the lock and written after it, so that no worker waits
      // for standard error.
      std::unique_lock<std::mutex> lock(board.mutex);
      JobOutcome& outcome = board.outcomes[size_t(i)];
      if (!outcome.done && !wait) return false;
      board.awaited = i;
      board.finished.wait(lock, [&outcome] { return outcome.done; });
      board.awaited = -1;
      lines.Swap(outcome.lines);
      failures = outcome.failures;
    }
    report.Progress(i + 1, board.count, TextOf(shown.items[i]));
    report.Retell(lines, failures);
    if (firstGood < 0 && failures == 0) firstGood = i;
    ++told;
    return true;
  }
};

int RunOneAfterAnother(const StringList& shown, ConvertReport& report, JobConverter& converter) {
  int firstGood = -1;
  for (int i = 0; i < shown.count; ++i) {
    report.Progress(i + 1, shown.count, TextOf(shown.items[i]));
    const int before = report.failures();
    converter.Convert(i);
    if (firstGood < 0 && report.failures() == before) firstGood = i;
  }
  return firstGood;
}

}  // namespace

int RunConvertJobs(const StringList& shown, int workers, ConvertReport& report,
                   JobConverterMaker& maker, JobPreparer* preparer) {
  const int count = shown.count;
  if (workers > count) workers = count;
  if (workers < 1) workers = 1;

  JobBoard board;
  board.count = count;
  board.ready = preparer != nullptr ? 0 : count;
  std::unique_ptr<Worker[]> crew;
  if (workers > 1) {
    board.outcomes.reset(new (std::nothrow) JobOutcome[size_t(count)]);
    crew.reset(new (std::nothrow) Worker[size_t(workers)]);
    if (!board.outcomes || !crew) workers = 1;
  }
  // Every converter is made before the first thread starts.
  int made = 0;
  for (; workers > 1 && made < workers; ++made) {
    Worker& worker = crew[size_t(made)];
    worker.report.reset(new (std::nothrow) ConvertReport(report.verbosity(), &worker.lines));
    if (!worker.report) break;
    worker.converter = maker.Make(*worker.report);
    if (!worker.converter) break;
  }
  if (made < 2) workers = 1;
  if (workers == 1) {
    if (preparer != nullptr && !preparer->Prepare(count)) return -1;
    int firstGood = -1;
    if (std::unique_ptr<JobConverter> converter = maker.Make(report)) {
      firstGood = RunOneAfterAnother(shown, report, *converter);
    }
    report.EndProgress();
    return firstGood;
  }

  // The calling thread is one of the workers, so that as many threads run as there are
  // workers: it converts with the first converter and, between its jobs, tells the jobs
  // finished so far. It waits only once no job is left to take.
  int started = 0;
  for (int i = 1; i < made; ++i) {
    try {
      crew[size_t(i)].thread = std::thread(Work, std::ref(crew[size_t(i)]), std::ref(board));
      ++started;
    } catch (const std::system_error&) {
      break;
    }
  }
  // The first jobs are made ready a few at a time, so that the other workers start at once;
  // later steps are larger, and cost fewer wake-ups.
  for (int step = kFirstReadyStep; board.ready < count; step = kReadyStep) {
    const int upTo = count - board.ready > step ? board.ready + step : count;
    if (!preparer->Prepare(upTo)) {
      MakeReady(board, board.ready, true);
      for (int i = 1; i <= started; ++i) crew[size_t(i)].thread.join();
      return -1;
    }
    MakeReady(board, upTo, false);
  }
  Teller teller{shown, report, board};
  for (;;) {
    const int job = TakeJob(board);
    if (job < 0) break;
    ConvertJob(crew[0], board, job);
    while (teller.told < count && teller.TellNext(false)) {
    }
  }
  while (teller.told < count) teller.TellNext(true);
  const int firstGood = teller.firstGood;
  for (int i = 1; i <= started; ++i) crew[size_t(i)].thread.join();
  report.EndProgress();
  return firstGood;
}
