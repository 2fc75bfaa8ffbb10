// Linux: the processors of the process's affinity set, which taskset and cgroup cpusets narrow.
#include "platform/processor_count.h"

#include <sched.h>

int SysUsableProcessors() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
  const int count = CPU_COUNT(&set);
  return count > 0 ? count : 1;
}
