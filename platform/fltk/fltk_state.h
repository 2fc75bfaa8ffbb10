// Shared state of the desktop backend (FLTK 1.3 over X11): the records behind
// the opaque window, control and device-context handles, and the helpers the
// backend's files share. Not part of the seam: only platform/fltk includes it.
//
// Implemented features:
//  [X] top-level windows by frame kind (decorated, or a borderless
//      override-redirect pop-up), outer/client rectangles and frame insets
//  [X] push buttons, single-line edit fields and bordered labels with ids,
//      command events, Tab navigation (FLTK's own)
//  [X] open and save dialogs (FLTK's chooser) and the information box
//  [X] pointer, buttons, modifiers, cursor hiding, screen size
//  [X] drawing: pens, brushes, fonts, lines, rectangles, ellipses, text
//  [X] files dropped from a file manager (XDND, several at once)
//  [X] the event pump with a blocking wait that has a timeout
//  [X] events posted from any thread, woken through a pipe of the backend's own
//  [X] display scaling: the toolkit's 96-DPI units become pixels at the
//      desktop's scale (KRN2HTML_SCALE, GDK_SCALE, Xft.dpi) at this boundary
//  [ ] sizing, maximise/minimise and activation events (no user)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/fltk/display_scale.h"
#include "platform/fltk/font_map.h"
#include "platform/gui_controls.h"
#include "platform/gui_events.h"
#include "platform/gui_rect.h"

class Fl_Widget;
class Fl_Window;

namespace fltk_backend {

class KrnWindow;
struct Surface;

// One window or control handed out as a `void*` handle.
struct NativeWindow {
  bool isControl = false;
  uint32_t style = 0;
  NativeWindow* owner = nullptr;  // owner (top-level) or parent (control)
  KrnWindow* window = nullptr;    // top-level windows
  Fl_Widget* widget = nullptr;    // controls
  platform::ControlClass controlClass = platform::ControlClass::kStatic;
  int id = 0;
  std::string text;  // title or control text (FLTK keeps only pointers)
  bool enabled = true;
  bool acceptDrops = false;
  bool hasUpdate = false;
  platform::Rect update{};  // invalid area in client pixels
  Surface* surface = nullptr;
  bool destroying = false;
  // The outer rectangle last asked for and the frame assumed then: the
  // window manager's frame is known only once it manages the window, and
  // the client area is corrected when it turns out to differ.
  bool hasRequestedOuter = false;
  platform::Rect requestedOuter{};
  platform::Rect assumedFrame{};
};

// The device context behind a DeviceContext handle.
struct Surface {
  NativeWindow* window = nullptr;  // null for the screen
  bool painting = false;           // between BeginNativePaint and EndNativePaint
  platform::Rect clip{};           // the paint rectangle (pixels) while painting
  void* pen = nullptr;             // selected DrawObjects
  void* brush = nullptr;
  void* font = nullptr;
  uint32_t textColour = 0;  // 0x00BBGGRR
  bool transparent = false;
  int penX = 0;
  int penY = 0;
};

// Opens the X display once (silently); false when there is none.
bool EnsureDisplay();

// The display's scale as a DPI (96 = 100 %), read when the display opens.
int ScaleDpi();

// The font DPI in units: 96 where the desktop names Xft.dpi; 0 where it names none.
int DesktopFontDpi();

// Lengths and coordinates from 96-DPI units to the display's pixels and back
// (rounded); UnitsAt rounds down, for a pixel that a point lands on.
int Px(int units);
int Units(int pixels);
int UnitsAt(int pixels);

// A rectangle in units as pixels (each edge scaled), and pixels as units
// (rounded outwards, so that every covered pixel stays inside).
platform::Rect PxRect(const platform::Rect& units);
platform::Rect UnitsRect(const platform::Rect& pixels);

// The FLTK font number of a family in a style; the faces are Liberation
// Sans, Serif and Mono (fontconfig picks the closest installed face).
int FontIndex(FontFamily family, bool bold, bool italic);

// The first FLTK font number the backend registers (FL_FREE_FONT).
constexpr int kFirstFont = 16;

// The record of a live handle, or null.
NativeWindow* AsWindow(const void* handle);

// The top-level window a record belongs to (itself for a top-level).
NativeWindow* TopLevelOf(NativeWindow* record);

// Every live record, in creation order.
std::vector<NativeWindow*>& AllWindows();

// Hands an event to the toolkit's handler; 0 when none is installed.
intptr_t Deliver(platform::PlatformEvent* event);

// Installs the toolkit's handler (null removes it).
void SetHandler(platform::EventHandler handler);

// Waits (without dispatching anything) until a shown window has been mapped
// and exposed, so that drawing into it at once is not lost; gives up after a second.
void WaitUntilExposed(KrnWindow* window);

// Fills the modifier flags of an event from the current key state.
void FillModifiers(platform::PlatformEvent* event);

// The frame around the client area of a top-level window of this style:
// the window manager's frame extents for decorated styles (0 when no window
// manager frames windows), 0 for pop-ups.
platform::Rect FrameInsets(uint32_t style, NativeWindow* window);

// Whether the style makes a borderless pop-up that the window manager leaves alone.
bool IsPopupStyle(uint32_t style);

// Queues a drop at a point in client pixels for delivery from the pump (the
// drag source is answered first).
void QueueDrop(NativeWindow* window, int x, int y, std::vector<std::string> programNames);

// Delivers the queued drops whose windows still live; true when any was delivered.
bool DeliverQueuedDrops();

// Whether drops are waiting for delivery.
bool HasQueuedDrops();

// Events posted from other threads (fltk_posted.cpp): the read end of the wake pipe
// (registered with FLTK on the first call; -1 without a pipe), whether any wait, and
// delivering them in order to their live windows. Window thread only.
int PostedWakeFd();
bool HasPostedEvents();
void DeliverPostedEvents();

// Creates and destroys the surface of a window; a destroyed surface is no
// longer taken for live (callers may hold its handle after the window is gone).
Surface* CreateSurface(NativeWindow* window);
void DestroySurface(Surface* surface);

// Whether a handle is a live surface.
bool IsLiveSurface(const void* handle);

// Makes FLTK draw into the surface's window; false for the screen or a dead window.
bool MakeSurfaceCurrent(Surface* surface);

}  // namespace fltk_backend
