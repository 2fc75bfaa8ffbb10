// System seam: how many processors this process may run on, for sizing a pool of workers.
// On Linux the CPU affinity set (sched_getaffinity), on Windows the process affinity mask
// (GetProcessAffinityMask). Implemented by the system backends (posix, win32).
#pragma once

// The processors the process may use; at least 1, also when the system cannot tell.
int SysUsableProcessors();
