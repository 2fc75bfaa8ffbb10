#include "ui/window_registry.h"

#include <cstring>
#include <new>

#include "platform/gui_window.h"
#include "ui/toolkit_runtime.h"
#include "ui/toolkit_window.h"

namespace {

// What slot 31 holds.
struct RegistryHolder {
  WindowRegistry* registry;
  int32_t useCount;
};

RegistryHolder* Holder() {
  return static_cast<RegistryHolder*>(GetSlot(kWindowRegistrySlot));
}

int IndexOf(const WindowRegistry* registry, void* window) {
  for (uint32_t i = 0; i < registry->count; ++i) {
    if (registry->records[i]->window == window) return int(i);
  }
  return -1;
}

void Remove(WindowRegistry* registry, WindowRecord* record) {
  for (uint32_t i = 0; i < registry->count; ++i) {
    if (registry->records[i] != record) continue;
    std::memmove(&registry->records[i], &registry->records[i + 1],
                 (registry->count - 1 - i) * sizeof(WindowRecord*));
    registry->count--;
    registry->records[registry->count] = nullptr;
    ToolkitFree(record);
    return;
  }
}

}  // namespace

WindowRegistry::WindowRegistry() : valid(true), records{}, count(0) {}

WindowRegistry::~WindowRegistry() {
  // Every remaining window is detached, not only the first, so no record outlives the registry.
  while (count > 0) {
    uint32_t before = count;
    WindowRecord* first = records[0];
    if (!DetachWindow(first->window) && count == before) Remove(this, first);
  }
  valid = false;
}

bool AcquireWindowRegistry() {
  if (RegistryHolder* holder = Holder()) {
    holder->useCount++;
    return true;
  }
  if (!GetToolkitContext() || IsSlotClaimed(kWindowRegistrySlot)) return false;
  void* holderBlock = ToolkitAlloc(sizeof(RegistryHolder), true);
  void* registryBlock = ToolkitAlloc(sizeof(WindowRegistry), true);
  if (!holderBlock || !registryBlock || !ClaimSlot(kWindowRegistrySlot)) {
    ToolkitFree(holderBlock);
    ToolkitFree(registryBlock);
    return false;
  }
  RegistryHolder* holder = static_cast<RegistryHolder*>(holderBlock);
  holder->registry = new (registryBlock) WindowRegistry();
  holder->useCount = 1;
  SetSlot(kWindowRegistrySlot, holder);
  return true;
}

bool ReleaseWindowRegistry() {
  RegistryHolder* holder = Holder();
  if (!holder || holder->useCount <= 0) return false;
  if (--holder->useCount > 0) return true;
  WindowRegistry* registry = holder->registry;
  registry->~WindowRegistry();
  ToolkitFree(registry);
  ToolkitFree(holder);
  ReleaseSlot(kWindowRegistrySlot);
  return true;
}

WindowRegistry* GetWindowRegistry() {
  RegistryHolder* holder = Holder();
  return holder ? holder->registry : nullptr;
}

bool AttachWindow(void* window, void* parent, ToolkitCallback callback, void* userData,
                  int32_t timerInterval, bool disableParent) {
  WindowRegistry* registry = GetWindowRegistry();
  if (!registry || !window || !callback) return false;
  if (registry->count >= kMaxRegisteredWindows || IndexOf(registry, window) >= 0) return false;
  WindowRecord* record = static_cast<WindowRecord*>(ToolkitAlloc(sizeof(WindowRecord), true));
  if (!record) return false;
  record->window = window;
  record->parent = parent;
  record->timerInterval = timerInterval;
  record->userData = userData;
  record->callback = callback;
  record->disableParent = disableParent;
  record->parentWasEnabled = parent ? platform::IsNativeWindowEnabled(parent) : false;
  registry->records[registry->count++] = record;
  if (disableParent && parent) platform::EnableNativeWindow(parent, false);

  ToolkitEvent event{};
  event.window = window;
  event.code = platform::kEventOpen;
  event.userData = userData;
  uint8_t answer = DeliverEvent(record, &event);
  // The callback may have detached the window itself; then the record is gone.
  if (FindWindowRecord(window) != record) return false;
  if (answer == 1) {
    DetachWindow(window);
    return false;
  }
  record->active = true;
  InvalidateAll(window);
  platform::UpdateNativeWindow(window);
  return true;
}

bool DetachWindow(void* window) {
  WindowRegistry* registry = GetWindowRegistry();
  if (!registry) return false;
  WindowRecord* own = window ? FindWindowRecord(window) : nullptr;
  // A detach already under way (a callback detaching its own window again) does nothing.
  if (own && own->closing) return false;
  // Marked first, so that a window that is (indirectly) its own parent ends the scan.
  if (own) own->closing = true;
  for (;;) {
    WindowRecord* child = nullptr;
    for (uint32_t i = 0; i < registry->count; ++i) {
      WindowRecord* candidate = registry->records[i];
      if (candidate->parent == window && candidate->window != window && !candidate->closing) {
        child = candidate;
        break;
      }
    }
    if (!child || !window) break;
    DetachWindow(child->window);
  }
  own = window ? FindWindowRecord(window) : nullptr;
  if (!own) return false;
  ToolkitEvent event{};
  event.window = window;
  event.code = platform::kEventClosing;
  event.userData = own->userData;
  DeliverEvent(own, &event);
  // The callback may have changed the registry; find the record again.
  if (FindWindowRecord(window) == own) Remove(registry, own);
  return true;
}

WindowRecord* FindWindowRecord(void* window) {
  WindowRegistry* registry = GetWindowRegistry();
  if (!registry || !window) return nullptr;
  int index = IndexOf(registry, window);
  return index >= 0 ? registry->records[index] : nullptr;
}

void* GetUserData(void* window) {
  WindowRecord* record = FindWindowRecord(window);
  return record ? record->userData : nullptr;
}

uint32_t GetWindowCount() {
  WindowRegistry* registry = GetWindowRegistry();
  return registry ? registry->count : 0;
}

void* GetWindowAt(uint32_t index) {
  WindowRegistry* registry = GetWindowRegistry();
  if (!registry || registry->count == 0) return nullptr;
  if (index >= registry->count) index = registry->count - 1;
  return registry->records[index]->window;
}
