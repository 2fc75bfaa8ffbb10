#include "command/convert_stop.h"

#include <cstring>

#include "platform/console.h"
#include "platform/stop_request.h"

bool WatchForStop() {
  return SysCatchStopRequests();
}

bool StopAsked() {
  return SysStopRequested();
}

bool ReadOnUnlessStopped(void* /*context*/, uint64_t /*bytesRead*/) {
  return !SysStopRequested();
}

int TellStopped() {
  const char line[] = "krn2html-convert: stopped\n";
  SysWriteStandard(kStandardError, line, uint32_t(std::strlen(line)));
  return kConvertExitStopped;
}
