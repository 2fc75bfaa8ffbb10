#include "platform/stop_request.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <initializer_list>

#include "platform/posix/stop_wake.h"

namespace {

// Set by the handler on whichever thread took the signal, read by any thread; the pipe wakes
// a poll. Both are made once and never released, so no destructor runs while a thread may
// still use them.
std::atomic<int> stopRequested{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");
int wakePipe[2] = {-1, -1};

void OnStopSignal(int signal) {
  if (stopRequested.exchange(1) != 0) {
    // A second request: the system's own ending (status 128 + signal for the shell).
    ::signal(signal, SIG_DFL);
    ::raise(signal);
    return;
  }
  const int saved = errno;
  const char byte = 1;
  // A full pipe already wakes the wait: the byte may be dropped.
  if (write(wakePipe[1], &byte, 1) < 0) {
  }
  errno = saved;
}

}  // namespace

bool SysCatchStopRequests() {
  if (wakePipe[0] < 0 && pipe2(wakePipe, O_NONBLOCK | O_CLOEXEC) != 0) {
    wakePipe[0] = wakePipe[1] = -1;
    return false;
  }
  struct sigaction action {};
  action.sa_handler = &OnStopSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a read waiting on standard input returns, so the command sees the request.
  action.sa_flags = 0;
  for (int code : {SIGINT, SIGTERM}) {
    struct sigaction old {};
    if (sigaction(code, nullptr, &old) != 0) return false;
    // A signal the starter ignores (a background job, nohup) stays ignored.
    if (old.sa_handler == SIG_IGN) continue;
    if (sigaction(code, &action, nullptr) != 0) return false;
  }
  return true;
}

bool SysStopRequested() {
  return stopRequested.load() != 0;
}

unsigned SysStopError() {
  return EINTR;
}

int SysStopWakeDescriptor() {
  return wakePipe[0];
}
