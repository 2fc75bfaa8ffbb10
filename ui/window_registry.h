// The window registry: the windows that take part in the toolkit, their
// callbacks, user data and timers, reached through slot 31 of the context.
#pragma once

#include <cstdint>

#include "ui/toolkit_event.h"

// Slot of the context that holds the registry's holder record.
constexpr uint32_t kWindowRegistrySlot = 31;

// Most windows registered at once.
constexpr uint32_t kMaxRegisteredWindows = 100;

// One registered window; zero-filled at creation, from the toolkit allocator.
struct WindowRecord {
  void* window;              // the registered window
  void* parent;              // owner given at registration, or null
  int32_t timerInterval;     // milliseconds; negative = no timer
  uint32_t lastTick;         // clock value of the last timer event; 0 at first
  uint32_t lastElapsed;      // time that had passed before the last timer event
  void* userData;            // handed back in every event
  ToolkitCallback callback;  // the window's event handler
  bool disableParent;        // the parent is disabled while this window is registered
  bool parentWasEnabled;     // the parent's enabled state at registration
  bool active;               // set once the open event was accepted
  bool closing;              // set when the closing event is sent
};

// The one registry of windows, in registration order.
class WindowRegistry {
 public:
  WindowRegistry();

  // Detaches every window still registered (each receives its closing event).
  virtual ~WindowRegistry();

  WindowRegistry(const WindowRegistry&) = delete;
  WindowRegistry& operator=(const WindowRegistry&) = delete;

  bool valid;
  WindowRecord* records[kMaxRegisteredWindows];
  uint32_t count;
};

// Creates the registry on first use (claiming slot 31), else adds a use;
// false without a toolkit context or when memory runs out.
bool AcquireWindowRegistry();

// Drops one use; the last one destroys the registry and releases slot 31.
// False when there is no registry.
bool ReleaseWindowRegistry();

// The registry, or null when none exists.
WindowRegistry* GetWindowRegistry();

// Timer interval of a window that wants no timer events.
constexpr int32_t kNoTimer = -1;

// Registers a window and sends it the open event; false for a null window or
// callback, a duplicate, a full registry, no registry, no memory, or when the
// callback answers 1 to the open event (the window then gets its closing event).
bool AttachWindow(void* window, void* parent, ToolkitCallback callback, void* userData,
                  int32_t timerInterval, bool disableParent);

// Detaches the windows registered with this one as parent, then sends this
// one the closing event and unregisters it; false when it is null or not registered.
bool DetachWindow(void* window);

// The window's record, or null when it is not registered.
WindowRecord* FindWindowRecord(void* window);

// The registered window's user data, or null.
void* GetUserData(void* window);

// Number of registered windows; 0 without a registry.
uint32_t GetWindowCount();

// The window at `index` in registration order; an index past the end gives
// the last window; null when none is registered.
void* GetWindowAt(uint32_t index);
