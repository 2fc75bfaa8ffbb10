// Internal state of the headless desktop, shared by its source files.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/gui_controls.h"
#include "platform/gui_events.h"
#include "platform/gui_input.h"
#include "platform/gui_rect.h"
#include "platform/headless/headless_desktop.h"

namespace headless {

class Surface;

// One window of the model: a top-level window or a child control.
struct Window {
  bool isControl = false;
  platform::ControlClass controlClass = platform::ControlClass::kStatic;
  Window* owner = nullptr;  // owner of a top-level window, parent of a control
  uint32_t style = 0;
  // Top-level: outer rectangle in screen coordinates; control: in the
  // parent's client coordinates.
  platform::Rect rect{};
  std::string text;
  int id = 0;
  bool visible = false;
  bool enabled = true;
  bool acceptsDrops = false;
  bool hasUpdate = false;
  platform::Rect update{};  // client coordinates
  bool destroying = false;
  Surface* surface = nullptr;
};

// One queued input item.
struct QueuedInput {
  enum Kind { kDeliver, kClick, kType, kKey } kind = kDeliver;
  Window* target = nullptr;   // the top-level window it belongs to
  Window* control = nullptr;  // kClick, kType
  platform::PlatformEvent event{};
  std::vector<std::string> names;  // dropped files
  std::string text;                // kType
  uint32_t key = 0;                // kKey
  char character = 0;              // kKey
};

// One step of the scripted timeline.
struct TimelineStep {
  uint32_t at = 0;
  uint64_t order = 0;
  std::function<void()> action;
};

struct DesktopState {
  std::vector<Window*> windows;  // live windows in creation order
  std::deque<QueuedInput> queue;
  bool newInput = false;  // input queued since the last look at the queue
  std::vector<TimelineStep> timeline;
  uint64_t timelineOrder = 0;
  uint32_t now = kClockStart;
  int screenWidth = 1024;
  int screenHeight = 768;
  int pointerX = 0;
  int pointerY = 0;
  bool buttons[2] = {false, false};
  platform::KeyState keys{};
  int cursorCount = 0;  // ShowCursor's display counter
  int cursorCalls = 0;
  int videoDrawOpen = 0;  // video-drawing handles not yet closed
  Window* focus = nullptr;
  Window* foreground = nullptr;
  std::deque<std::string> fileAnswers;  // "\x01" marks a cancel
  std::vector<FileDialogRecord> fileDialogs;
  std::deque<int> messageBoxAnswers;
  std::vector<MessageBoxRecord> messageBoxes;
  PumpCounters counters;
  platform::EventHandler handler = nullptr;
};

DesktopState& State();

// The live window a handle names, or null.
Window* AsWindow(const void* handle);

// The top-level window of a window or control.
Window* TopLevelOf(Window* window);

// Frame insets of a top-level style as (left, top, right, bottom).
platform::Rect InsetsForStyle(uint32_t style);

// Screen position of a window's client origin.
void ClientOrigin(const Window* window, int* x, int* y);

// Hands an event to the installed handler; 0 without one.
intptr_t Deliver(platform::PlatformEvent* event);

// Delivers a paint event to a visible window with an update region, then
// validates what the handler left (the default handling).
void PaintIfNeeded(Window* window);
// PaintIfNeeded for every visible top-level window with an update region.
void PaintNeedyWindows();

// Fills the modifier fields from the current key state.
void FillModifiers(platform::PlatformEvent* event);

// Appends an input item and marks new input.
void Enqueue(QueuedInput item);

// Events posted from other threads (headless_posted.cpp; thread-safe): whether any wait,
// waiting up to `realMs` real milliseconds for one (false when none came), delivering the
// waiting ones in order to their live windows, and dropping them all.
bool HasPostedEvents();
bool WaitForPostedEvent(uint32_t realMs);
void DeliverPostedEvents();
void ClearPostedEvents();

// Destroys a window record and everything it owns, without events.
void DestroySilently(Window* window);

}  // namespace headless
