// The C runtime's <malloc.h> plus glibc's malloc_usable_size, which the
// Microsoft runtime spells _msize; lets code written against glibc build for Windows.
#pragma once
#include_next <malloc.h>

#ifdef __cplusplus
inline size_t malloc_usable_size(void* block) {
  return block ? _msize(block) : 0;
}
#endif
