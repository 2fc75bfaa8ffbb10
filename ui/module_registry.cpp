// The display state's registry of modules and their file paths.
#include <cstring>
#include <new>

#include "base/path_buffer.h"
#include "ui/toolkit_runtime.h"

namespace {

bool IsFree(const ModuleEntry& entry) {
  return !entry.handle && entry.id == 0;
}

}  // namespace

bool RegisterModule(void* handle, uint32_t id, const PathBuffer* path) {
  DisplayState* display = GetDisplayState();
  if (!display || !handle || !path) return false;
  ModuleEntry* slot = nullptr;
  for (ModuleEntry& entry : display->modules) {
    if (IsFree(entry)) {
      slot = &entry;
      break;
    }
    if (entry.handle == handle && entry.id == id) return false;
  }
  if (!slot) return false;
  void* block = ToolkitAlloc(sizeof(PathBuffer), true);
  if (!block) return false;
  PathBuffer* copy = new (block) PathBuffer();
  copy->Assign(path);
  slot->handle = handle;
  slot->id = id;
  slot->path = copy;
  return true;
}

bool UnregisterModule(uint32_t id) {
  DisplayState* display = GetDisplayState();
  if (!display) return false;
  for (uint32_t i = 0; i < kModuleCapacity && !IsFree(display->modules[i]); ++i) {
    if (display->modules[i].id != id) continue;
    if (PathBuffer* path = display->modules[i].path) {
      path->~PathBuffer();
      ToolkitFree(path);
    }
    std::memmove(&display->modules[i], &display->modules[i + 1],
                 (kModuleCapacity - 1 - i) * sizeof(ModuleEntry));
    display->modules[kModuleCapacity - 1] = ModuleEntry{};
    return true;
  }
  return false;
}

void* FindModuleHandle(uint32_t id) {
  DisplayState* display = GetDisplayState();
  if (!display) return nullptr;
  for (const ModuleEntry& entry : display->modules) {
    if (IsFree(entry)) break;
    if (entry.id == id) return entry.handle;
  }
  return nullptr;
}

bool GetModulePath(uint32_t id, PathBuffer* path) {
  DisplayState* display = GetDisplayState();
  if (!display || !path) return false;
  for (const ModuleEntry& entry : display->modules) {
    if (IsFree(entry)) break;
    if (entry.id == id) return entry.path && path->Assign(entry.path);
  }
  return false;
}

uint32_t GetModuleCount() {
  DisplayState* display = GetDisplayState();
  if (!display) return 0;
  uint32_t count = 0;
  while (count < kModuleCapacity && !IsFree(display->modules[count])) count++;
  return count;
}
