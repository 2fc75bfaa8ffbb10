// The headless desktop: an in-memory model of the GUI platform that the tests
// drive. Window handles of the GUI seam are headless::Window* records.
//
// Implemented:
//  [X] top-level windows by style with fixed frame insets: a caption
//      (WS_CAPTION) gives 3 px borders and a 23 px title bar (top inset 26),
//      a plain WS_BORDER 1 px on each side, no border bits none
//  [X] visibility, titles, enabled state, owner, foreground, keyboard focus
//  [X] child controls holding class, style, rectangle, text and id; Tab and
//      Shift+Tab move the focus between visible, enabled tab-stop controls
//      when a window is pumped with dialog navigation
//  [X] one surface (headless::Surface*, platform/headless/headless_surface.h)
//      per top-level window for its client area; update regions and paint
//      events for visible windows
//  [X] an event queue filled by the injection calls below and emptied by
//      the pump calls of platform/gui_events.h
//  [X] file dialogs answered from a queue (a path or a cancel) that record
//      what was asked; message boxes recorded and answered
//  [X] pointer position, mouse buttons and modifier keys set by tests; the
//      cursor's visibility
//  [X] a virtual millisecond clock that tests advance; the wait call moves
//      it to the next scripted input (or by its timeout) and applies that input
//  [X] counters of waits and pump calls, so tests can see an idle loop block
//  [X] events posted from any thread (platform::PostWindowEvent) in a queue of their
//      own behind a mutex, delivered in order by the thread pump; a post ends a wait
//
// Destroying a window sends it a close request (code 5) first, as Windows
// sends WM_DESTROY; destroying owns its controls and owned windows too.
// Waiting with no timeout while nothing is scripted blocks (in real time) until another
// thread posts an event; when none comes within 20 s the model reports that on stderr
// and aborts, so such a test fails instead of hanging.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui_controls.h"
#include "platform/gui_events.h"
#include "platform/gui_input.h"
#include "platform/gui_rect.h"

namespace headless {

struct Window;

// Frame insets of top-level windows.
constexpr int kBorderInset = 3;     // each side of a window with a caption
constexpr int kCaptionHeight = 23;  // title bar, above the client area
constexpr int kThinBorder = 1;      // each side of a WS_BORDER window

// The clock's value after ResetDesktop: far from 0, as a real system clock is.
constexpr uint32_t kClockStart = 100000;

// Destroys every window without events and clears queues, scripts, records,
// counters, pointer and key state; the clock goes back to kClockStart and the
// screen to 1024 x 768. The installed event handler stays.
void ResetDesktop();

// Sets the screen size reported to the toolkit.
void SetScreenSize(int width, int height);

// Clock.
uint32_t Now();
void AdvanceClock(uint32_t milliseconds);

// Windows, in creation order (top-level windows and controls).
std::vector<Window*> AllWindows();

// Top-level windows only, in creation order.
std::vector<Window*> TopLevelWindows();

// Facts about a window; neutral values for a handle that is not a live window.
bool IsLive(const void* window);
bool IsVisible(const void* window);
bool IsEnabled(const void* window);
bool AcceptsDrops(const void* window);
std::string WindowText(const void* window);  // title or control text
uint32_t WindowStyle(const void* window);
void* WindowOwner(const void* window);          // owner of a top-level window, parent of a control
platform::Rect OuterRect(const void* window);   // screen coordinates
platform::Rect ClientRect(const void* window);  // screen coordinates
bool HasUpdateRegion(const void* window);
void* ForegroundWindow();

// Child controls of a window in creation order, and one by id (null when absent).
std::vector<Window*> Controls(const void* parent);
void* FindControl(const void* parent, int id);
platform::ControlClass ControlClassOf(const void* control);
platform::Rect ControlRect(const void* control);  // parent's client coordinates
int ControlId(const void* control);

// Input injection: each call queues input for a top-level window; it reaches
// the toolkit when that window (or the thread) is pumped. Each returns false
// when the target is not a live window of the right kind.

// A click on a control (command event, notification 0, or 5 for a double-click).
bool ClickControl(void* control, bool doubleClick = false);

// Typing into an edit control: appends the text and sends an EN_CHANGE command.
bool TypeText(void* control, const std::string& text);

// A key press (key-down, character when `character` is non-zero, key-up) in a
// window; Tab (key 9) with dialog navigation moves the focus instead.
bool PressKey(void* window, uint32_t key, char character = 0);

// The user asks to close a window.
bool RequestClose(void* window);

// Files dropped at a client point of a window that accepts drops; names in
// the program's view, any length.
bool DropFiles(void* window, int x, int y, const std::vector<std::string>& names);

// Mouse button events at a client point; down also moves the pointer there and
// marks the button held, up releases it. Button 0 primary, 1 secondary.
bool MouseDown(void* window, int x, int y, int button = 0, bool doubleClick = false);
bool MouseUp(void* window, int x, int y, int button = 0);
bool MouseMove(void* window, int x, int y);

// Any event record for a window (its `window` field is set here).
bool PostEvent(void* window, const platform::PlatformEvent& event);

// Number of queued input items not yet pumped.
int QueuedEvents();

// Pointer, buttons and keys as the toolkit reads them.
void SetPointer(int x, int y);
std::pair<int, int> Pointer();
void SetButton(int button, bool down);
void SetModifiers(const platform::KeyState& keys);
bool CursorVisible();
int CursorCalls();  // calls that showed or hid the cursor

// Video-drawing handles opened and not yet closed.
int OpenVideoDrawHandles();

// Scripted input on the virtual timeline, consumed by WaitForMessages: at time
// `at` the pointer moves, a button goes down or up, or an action runs.
void ScheduleMove(uint32_t at, int x, int y);
void ScheduleButton(uint32_t at, int button, bool down);
void ScheduleAction(uint32_t at, std::function<void()> action);
int ScheduledSteps();  // steps not yet reached

// File dialogs: answers are taken in order; with none queued a dialog is cancelled.
void QueueFileAnswer(const std::string& path);
void QueueFileCancel();

// What one file dialog was asked.
struct FileDialogRecord {
  void* owner = nullptr;
  std::string title;
  std::vector<std::pair<std::string, std::string>> filters;  // (description, patterns)
  std::string initialName;
  std::string defaultExtension;
  uint32_t flags = 0;
  bool save = false;
  bool answered = false;  // a scripted answer was used (false: cancelled)
};
const std::vector<FileDialogRecord>& FileDialogs();

// What one message box showed; boxes answer 1 (IDOK) unless an answer is queued.
struct MessageBoxRecord {
  void* owner = nullptr;
  std::string title;
  std::string text;
  uint32_t flags = 0;
};
const std::vector<MessageBoxRecord>& MessageBoxes();
void QueueMessageBoxAnswer(int answer);

// Counters of the event pump since the last reset.
struct PumpCounters {
  uint64_t waits = 0;            // WaitForMessages calls
  uint64_t blockingWaits = 0;    // of which found nothing new and let time pass
  uint64_t waitedMs = 0;         // virtual milliseconds spent waiting
  uint32_t lastTimeout = 0;      // timeout of the last wait
  uint64_t windowPumps = 0;      // PumpWindowMessages calls
  uint64_t threadPumps = 0;      // PumpThreadMessages calls
  uint64_t paintPumps = 0;       // PumpPaintMessages calls
  uint64_t eventsDelivered = 0;  // records handed to the event handler
};
const PumpCounters& Counters();

}  // namespace headless
