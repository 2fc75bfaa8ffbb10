// Objects constructed in blocks of the toolkit allocator, so that the
// toolkit's byte count covers them.
#pragma once

#include <new>
#include <utility>

#include "ui/toolkit_runtime.h"

// Constructs a T in a block from ToolkitAlloc; null when no block can be had.
template <typename T, typename... Args>
T* ToolkitNew(Args&&... args) {
  void* block = ToolkitAlloc(sizeof(T), false);
  if (!block) return nullptr;
  return new (block) T(std::forward<Args>(args)...);
}

// Destroys an object from ToolkitNew and frees its block; null is ignored.
template <typename T>
void ToolkitDelete(T* object) {
  if (!object) return;
  object->~T();
  ToolkitFree(object);
}
