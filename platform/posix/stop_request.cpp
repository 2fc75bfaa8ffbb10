#include "platform/stop_request.h"

#include <errno.h>
#include <signal.h>

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
  return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0;
}

bool SysStopRequested() {
  return stopRequested != 0;
}

unsigned SysStopError() {
  return EINTR;
}
