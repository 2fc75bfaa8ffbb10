// Windows: the folder part of a path with SHLWAPI's PathRemoveFileSpecA.
#include "platform/file_spec.h"

#include <windows.h>

#include <shlwapi.h>  // after windows.h, whose types it uses

#include <cstring>

bool SysRemoveFileSpec(char* path) {
  // A bare name has no folder to keep; PathRemoveFileSpecA would empty it.
  if (!path || !std::strchr(path, '\\')) return false;
  return PathRemoveFileSpecA(path) != FALSE;
}
