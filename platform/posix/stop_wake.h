// Linux backend, inside: the read end of the pipe that a stop request writes a byte to, so that
// a wait in poll() wakes for it (the folder watch's). -1 before SysCatchStopRequests made it.
#pragma once

int SysStopWakeDescriptor();
