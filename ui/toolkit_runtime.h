// The toolkit runtime: start and stop, the program's one context with its
// memory accounting and numbered slots, the display state with the module
// registry, the counting allocator and the cursor hide/show pair.
#pragma once

#include <cstdint>

struct PathBuffer;
struct DisplayState;

// Optional replacement allocator; when `enabled`, the four hooks replace the
// toolkit's own heap.
struct MemoryHooks {
  void* (*allocate)(uint32_t bytes, bool zeroFill);
  void (*free)(void* block);
  void* (*reallocate)(void* block, uint32_t bytes, bool zeroFill);
  uint32_t (*size)(void* block);
  bool enabled;
};

// Called with the excess bytes when an allocation would pass the budget.
using OverBudgetCallback = bool (*)(int32_t excessBytes);

// Called with the cursor position on each idle pass and on every mouse move;
// the window is null on idle passes.
using IdleHook = void (*)(void* window, int x, int y);

// One numbered singleton slot of the context.
struct ToolkitSlot {
  bool claimed;
  void* value;
};

// Number of slots in a context; valid indices are 0 to 31.
constexpr uint32_t kToolkitSlotCount = 32;

// Module id under which the program registers itself at start.
constexpr uint32_t kProgramModuleId = 25001;

// Entries of the module registry.
constexpr uint32_t kModuleCapacity = 256;

// The toolkit record, one for the program: every thread that calls the toolkit (the GUI thread,
// and a worker that allocates through it) sees the same one. Created zero-filled by the first
// start.
struct ToolkitContext {
  DisplayState* displayState;
  MemoryHooks memoryHooks;
  int32_t bytesInUse;  // changed atomically: a worker thread allocates too
  uint32_t peakBytes;
  uint32_t budget;
  OverBudgetCallback overBudget;
  bool inOverBudget;
  uint32_t userValue;
  uint32_t refCount;
  ToolkitSlot slots[kToolkitSlotCount];
};

// One entry of the module registry; handle 0 and id 0 mark a free entry.
struct ModuleEntry {
  void* handle;  // the module's instance (HINSTANCE on Windows)
  uint32_t id;
  PathBuffer* path;  // owned, from the toolkit allocator
};

// Facts about the machine and the screen, and the module registry.
struct DisplayState {
  uint32_t refCount;
  ModuleEntry modules[kModuleCapacity];
  int32_t cursorHidden;  // 0 shown, -1 hidden by the toolkit
  uint32_t platform;     // 1 NT family, 2 Win32s, 3 Windows 95 family
  uint32_t processorCount;
  uint32_t bitsPerPixel;
  IdleHook idleHook;
  bool inIdleHook;
  void* videoDraw;  // video-drawing handle (HDRAWDIB on Windows), or null
};

// Extension points a caller may pass to the outermost start; the program passes none.
struct ToolkitOptions {
  uint32_t budget;
  OverBudgetCallback overBudget;
  uint32_t userValue;
  MemoryHooks memoryHooks;
  IdleHook idleHook;
};

// Starts the toolkit (nested starts only count); registers the program's module
// when an instance is given. Returns false when no context could be made.
bool ToolkitStart(void* instance, bool openVideoDraw, const ToolkitOptions* options = nullptr);

// Undoes one start; the outermost stop closes everything. Returns false when no
// context exists.
bool ToolkitStop();

// The program's context (the same on every thread), or null before the first start.
ToolkitContext* GetToolkitContext();

// The display state, or null when the toolkit is not started.
DisplayState* GetDisplayState();

// Allocates a block, counted in `bytesInUse`; returns null on failure.
void* ToolkitAlloc(uint32_t bytes, bool zeroFill);

// Frees a block from `ToolkitAlloc`; null is allowed and ignored.
void ToolkitFree(void* block);

// Resizes a block (the grown part zero-filled on request); returns null, leaving
// the block intact, on failure or for a null block.
void* ToolkitRealloc(void* block, uint32_t bytes, bool zeroFill);

// Size in bytes of a block from the toolkit allocator; 0 for null.
uint32_t ToolkitSize(void* block);

// Claims a free slot; fails for an index of 32 or more, without a context or when claimed.
bool ClaimSlot(uint32_t index);

// Whether the slot is claimed; false for a bad index or without a context.
bool IsSlotClaimed(uint32_t index);

// The slot's value; null when unclaimed, out of range or without a context.
void* GetSlot(uint32_t index);

// Stores a value in a claimed slot; fails on an unclaimed slot or bad index.
bool SetSlot(uint32_t index, void* value);

// Clears the slot's claim and value; fails for a bad index or without a context.
bool ReleaseSlot(uint32_t index);

// Registers a module with a copy of its path; fails on null handle or path, a
// duplicate (handle, id), a full registry or no display state.
bool RegisterModule(void* handle, uint32_t id, const PathBuffer* path);

// Frees the first entry with that id and packs the later ones; false when absent.
bool UnregisterModule(uint32_t id);

// The handle of the first entry with that id, or null.
void* FindModuleHandle(uint32_t id);

// Copies the first registered path with that id into `path`; false when absent.
bool GetModulePath(uint32_t id, PathBuffer* path);

// Number of used module entries; 0 without a display state.
uint32_t GetModuleCount();

// Hides the mouse cursor; the platform is asked only when the state changes.
void HideCursor();

// Shows the mouse cursor again; the platform is asked only when the state changes.
void UnhideCursor();

// Installs the idle hook (null removes it); false without a display state.
bool SetIdleHook(IdleHook hook);

// Calls the idle hook unless none is set or it is already running.
void CallIdleHook(void* window, int x, int y);

// Reads the screen's colour depth again into the display state.
void RefreshBitsPerPixel();
