#include "ui/toolkit_event.h"

#include <cstring>
#include <new>

#include "base/path_buffer.h"
#include "ui/toolkit_runtime.h"
#include "ui/window_registry.h"

DropInfo* CreateDropInfo(uint32_t count) {
  if (count > UINT32_MAX / sizeof(PathBuffer)) return nullptr;
  DropInfo* info = static_cast<DropInfo*>(ToolkitAlloc(sizeof(DropInfo), true));
  if (!info) return nullptr;
  info->always1 = 1;
  info->count = count;
  if (count > 0) {
    void* block = ToolkitAlloc(uint32_t(count * sizeof(PathBuffer)), true);
    if (!block) {
      ToolkitFree(info);
      return nullptr;
    }
    info->files = static_cast<PathBuffer*>(block);
    for (uint32_t i = 0; i < count; ++i) new (&info->files[i]) PathBuffer();
  }
  return info;
}

void FreeDropInfo(DropInfo* info) {
  if (!info) return;
  for (uint32_t i = 0; i < info->count && info->files; ++i) info->files[i].~PathBuffer();
  ToolkitFree(info->files);
  ToolkitFree(info);
}

uint8_t DeliverEvent(const WindowRecord* record, ToolkitEvent* event) {
  if (!record || !event || !record->callback) return 0;
  // Copied first: the callback may detach the window and free its record.
  ToolkitCallback callback = record->callback;
  void* window = record->window;
  if (event->code == platform::kEventMouseMove) CallIdleHook(window, event->x, event->y);
  return callback(window, event->code, event);
}
