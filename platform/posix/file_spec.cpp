// Linux: the folder part of a program-view path, by the rule of PathRemoveFileSpecA.
#include "platform/file_spec.h"

#include <cstring>

bool SysRemoveFileSpec(char* path) {
  if (!path) return false;
  char* last = std::strrchr(path, '\\');
  if (!last) return false;
  char* cut = last;
  // A root keeps its backslash: "\", "\\" (start of a network path) and "C:\".
  if (last == path || (last == path + 1 && path[0] == '\\') ||
      (last == path + 2 && path[1] == ':')) {
    cut = last + 1;
  }
  if (*cut == '\0') return false;
  *cut = '\0';
  return true;
}
