// Two glibc calls that tests written on Linux use, spelled with the Microsoft
// C runtime; force-included into every C++ file of a Windows build.
#pragma once

#ifdef __cplusplus
#include <direct.h>
#include <io.h>
#include <malloc.h>
#include <stdlib.h>

// Usable size of a heap block (glibc's name for _msize).
inline size_t malloc_usable_size(void* block) {
  return block ? _msize(block) : 0;
}

// Replaces the trailing XXXXXX of pattern and creates that folder; the pattern, or null on failure.
inline char* mkdtemp(char* pattern) {
  if (_mktemp(pattern) == nullptr) return nullptr;
  return _mkdir(pattern) == 0 ? pattern : nullptr;
}
#endif
