// Windows: the processors of the process affinity mask, which "start /affinity" narrows.
#include "platform/processor_count.h"

#include <windows.h>

int SysUsableProcessors() {
  DWORD_PTR process = 0;
  DWORD_PTR system = 0;
  if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) return 1;
  int count = 0;
  for (; process != 0; process &= process - 1) ++count;
  return count > 0 ? count : 1;
}
