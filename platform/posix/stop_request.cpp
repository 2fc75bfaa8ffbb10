#include "platform/stop_request.h"

#include <errno.h>
#include <signal.h>

#include <initializer_list>

namespace {

volatile sig_atomic_t stopRequested = 0;

void OnStopSignal(int signal) {
  if (stopRequested) {
    // A second request: the system's own ending (status 128 + signal for the shell).
    ::signal(signal, SIG_DFL);
    ::raise(signal);
    return;
  }
  stopRequested = 1;
}

}  // namespace

bool SysWatchStopRequests() {
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
  return stopRequested != 0;
}

unsigned SysStopError() {
  return EINTR;
}
