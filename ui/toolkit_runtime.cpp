// Start and stop of the toolkit, the context table, slots, cursor and idle hook.
#include "ui/toolkit_runtime.h"

#include <cstring>
#include <new>

#include "base/path_buffer.h"
#include "platform/gui_events.h"
#include "platform/gui_input.h"
#include "platform/gui_system.h"
#include "platform/start_lock.h"
#include "ui/toolkit_event.h"

namespace {

// The toolkit is used from the one GUI thread; every caller shares one key, so
// the table holds at most one context in practice. The lock guards only the
// creation and destruction of contexts.
constexpr uint32_t kThreadKey = 1;
constexpr int kContextTableSize = 16;

struct ContextEntry {
  uint32_t key;
  ToolkitContext* context;
};

ContextEntry g_contexts[kContextTableSize];

ContextEntry* FindEntry(uint32_t key) {
  for (ContextEntry& entry : g_contexts) {
    if (entry.context && entry.key == key) return &entry;
  }
  return nullptr;
}

// Context and display state are plain zero-filled records from the process
// heap: the context itself holds the accounting, so it is not counted.
template <typename T>
T* NewZeroed() {
  void* block = ::operator new(sizeof(T), std::nothrow);
  if (!block) return nullptr;
  std::memset(block, 0, sizeof(T));
  return static_cast<T*>(block);
}

void DeleteRecord(void* record) {
  ::operator delete(record);
}

void ReadDisplayFacts(DisplayState* display) {
  platform::SystemFacts facts{};
  platform::GetSystemFacts(&facts);
  display->platform = facts.platform;
  display->processorCount = facts.processorCount;
  display->bitsPerPixel = facts.bitsPerPixel;
}

// Counts one more start on the context of the caller's key, or makes that context; null when
// the table is full or memory runs out. The start lock must be held.
ToolkitContext* CountStart() {
  if (ContextEntry* entry = FindEntry(kThreadKey)) {
    entry->context->refCount++;
    return entry->context;
  }
  for (ContextEntry& candidate : g_contexts) {
    if (candidate.context) continue;
    ToolkitContext* context = NewZeroed<ToolkitContext>();
    if (!context) return nullptr;
    context->refCount = 1;
    candidate.key = kThreadKey;
    candidate.context = context;
    return context;
  }
  return nullptr;
}

}  // namespace

ToolkitContext* GetToolkitContext() {
  // Read without the lock: contexts are created and destroyed on the GUI thread only.
  ContextEntry* entry = FindEntry(kThreadKey);
  return entry ? entry->context : nullptr;
}

DisplayState* GetDisplayState() {
  ToolkitContext* context = GetToolkitContext();
  return context ? context->displayState : nullptr;
}

bool ToolkitStart(void* instance, bool openVideoDraw, const ToolkitOptions* options) {
  // Every start counts on the lock, even a failed one: the matching stop lowers the count.
  SysStartLockUse();
  if (!SysStartLockAcquire()) return false;
  ToolkitContext* context = CountStart();
  SysStartLockRelease();
  if (!context) return false;
  if (context->refCount >= 2) {
    // A nested start also counts on the display state, so that only the
    // outermost stop closes the video library and unregisters the program.
    if (context->displayState) context->displayState->refCount++;
    return true;
  }

  if (options) {
    context->budget = options->budget;
    context->overBudget = options->overBudget;
    context->userValue = options->userValue;
    context->memoryHooks = options->memoryHooks;
  }

  if (context->displayState) {
    if (++context->displayState->refCount >= 2) return true;
  } else {
    context->displayState = NewZeroed<DisplayState>();
    if (!context->displayState) return false;
    context->displayState->refCount = 1;
  }
  DisplayState* display = context->displayState;

  if (openVideoDraw) display->videoDraw = platform::OpenVideoDraw();
  ReadDisplayFacts(display);
  display->idleHook = options ? options->idleHook : nullptr;
  platform::SetEventHandler(&ToolkitWindowProc);

  if (instance) {
    PathBuffer programFile;
    if (programFile.SetInProgramFolder(nullptr)) {
      RegisterModule(instance, kProgramModuleId, &programFile);
    }
  }
  return true;
}

bool ToolkitStop() {
  ToolkitContext* context = GetToolkitContext();
  DisplayState* display = context ? context->displayState : nullptr;
  if (display) {
    if (display->refCount < 2) {
      if (display->videoDraw) {
        platform::CloseVideoDraw(display->videoDraw);
        display->videoDraw = nullptr;
      }
      if (FindModuleHandle(kProgramModuleId)) UnregisterModule(kProgramModuleId);
    }
    if (display->refCount > 0) display->refCount--;
    if (display->refCount == 0) {
      // Free what the registry still holds so nothing outlives the toolkit.
      while (display->modules[0].handle || display->modules[0].id) {
        UnregisterModule(display->modules[0].id);
      }
      if (display->cursorHidden) platform::ShowPointer(true);
      platform::SetEventHandler(nullptr);
      DeleteRecord(display);
      context->displayState = nullptr;
    }
  }

  bool found = false;
  if (SysStartLockAcquire()) {
    if (ContextEntry* entry = FindEntry(kThreadKey)) {
      found = true;
      if (--entry->context->refCount == 0) {
        DeleteRecord(entry->context);
        entry->context = nullptr;
        entry->key = 0;
      }
    }
    SysStartLockRelease();
  }
  SysStartLockUnuse();
  return found;
}

bool ClaimSlot(uint32_t index) {
  ToolkitContext* context = GetToolkitContext();
  if (!context || index >= kToolkitSlotCount || context->slots[index].claimed) return false;
  context->slots[index].claimed = true;
  return true;
}

bool IsSlotClaimed(uint32_t index) {
  ToolkitContext* context = GetToolkitContext();
  return context && index < kToolkitSlotCount && context->slots[index].claimed;
}

void* GetSlot(uint32_t index) {
  ToolkitContext* context = GetToolkitContext();
  if (!context || index >= kToolkitSlotCount || !context->slots[index].claimed) return nullptr;
  return context->slots[index].value;
}

bool SetSlot(uint32_t index, void* value) {
  ToolkitContext* context = GetToolkitContext();
  if (!context || index >= kToolkitSlotCount || !context->slots[index].claimed) return false;
  context->slots[index].value = value;
  return true;
}

bool ReleaseSlot(uint32_t index) {
  ToolkitContext* context = GetToolkitContext();
  if (!context || index >= kToolkitSlotCount) return false;
  context->slots[index].claimed = false;
  context->slots[index].value = nullptr;
  return true;
}

void HideCursor() {
  DisplayState* display = GetDisplayState();
  if (!display || display->cursorHidden != 0) return;
  display->cursorHidden = -1;
  platform::ShowPointer(false);
}

void UnhideCursor() {
  DisplayState* display = GetDisplayState();
  if (!display || display->cursorHidden == 0) return;
  display->cursorHidden = 0;
  platform::ShowPointer(true);
}

bool SetIdleHook(IdleHook hook) {
  DisplayState* display = GetDisplayState();
  if (!display) return false;
  display->idleHook = hook;
  return true;
}

void CallIdleHook(void* window, int x, int y) {
  DisplayState* display = GetDisplayState();
  if (!display || !display->idleHook || display->inIdleHook) return;
  display->inIdleHook = true;
  display->idleHook(window, x, y);
  display->inIdleHook = false;
}

void RefreshBitsPerPixel() {
  DisplayState* display = GetDisplayState();
  if (display) display->bitsPerPixel = platform::GetScreenBitsPerPixel();
}
