// ToolkitEvent and DropInfo: the record every window callback receives, the
// entry point that turns platform events into it, and event delivery.
#pragma once

#include <cstdint>

#include "base/path_buffer.h"
#include "platform/gui_events.h"
#include "platform/gui_rect.h"

struct WindowRecord;

// A rectangle of the toolkit: left, top, right (exclusive), bottom (exclusive).
using ToolkitRect = platform::Rect;

// The event codes (kEventOpen, kEventCloseRequest, ... kEventVerticalScroll).
using platform::EventCode;

// The files of one drop; from the toolkit allocator, freed after delivery.
struct DropInfo {
  uint32_t always1;   // always 1
  uint32_t count;     // number of dropped files
  PathBuffer* files;  // `count` entries; a name longer than 259 characters leaves its entry empty
  // The `count` names as the system handed them over, any length, so that a name too long
  // for its entry can still be told; valid while the event is delivered, null when unknown.
  const char* const* names;
};

// The record handed to a window's callback, zero-filled per event.
struct ToolkitEvent {
  void* window;  // target window (HWND / FLTK record / headless window)
  void* source;  // the same window, as seen by the translator
  int32_t code;  // an EventCode
  void* userData;
  DropInfo* dropInfo;  // drop events only
  int32_t x;           // mouse: client coordinates; drop: the drop point
  int32_t y;
  int32_t character;  // key events: low byte of the key parameter, sign-extended
  uint32_t key;       // key-down and key-up: the full key parameter
  bool shift;
  bool control;
  bool alt;
  bool capsLock;
  bool commandKey;  // repeats `control`
  bool repeat;      // key-down and character events: auto-repeat
  bool systemKey;
  bool doubleClick;
  void* deviceContext;   // paint events (HDC / FLTK surface record / headless::Surface*)
  ToolkitRect rect;      // paint: area to paint; sizing: proposed client rectangle
  int32_t commandId;     // command events: the control id
  int32_t notification;  // command events: the notification code
  // The platform message as received; pointer-sized so a 64-bit system loses nothing.
  uintptr_t rawWindow;
  uintptr_t rawMessage;
  uintptr_t rawWParam;
  uintptr_t rawLParam;
};

// A window's event handler: (window, event code, event) -> answer.
using ToolkitCallback = uint8_t (*)(void* window, int32_t code, ToolkitEvent* event);

// Makes a DropInfo with `count` empty entries; null when memory runs out.
DropInfo* CreateDropInfo(uint32_t count);

// Frees a DropInfo and its entries; null is ignored.
void FreeDropInfo(DropInfo* info);

// Calls the record's callback (the idle hook first for mouse moves); returns
// its answer, 0 for a null record or event.
uint8_t DeliverEvent(const WindowRecord* record, ToolkitEvent* event);

// The toolkit's entry point for every platform event (installed by
// ToolkitStart): translates, delivers, paints, converts sizing rectangles,
// builds drop lists and detaches after an unanswered close request. Returns
// the callback's answer; 0 for windows that are not registered and active.
intptr_t ToolkitWindowProc(platform::PlatformEvent* event);
