// GUI seam: top-level windows, their geometry, state and painting.
//
// Window handles are opaque `void*`: HWND on Windows, the FLTK backend's
// window record (owning an Fl_Window*) on Linux, a headless::Window* in tests.
// Child controls (platform/gui_controls.h) are windows too, and the calls
// below that make sense for them (destroy, enable, focus, show, rectangles)
// accept them. Every call fails (false, null or 0) for a null window.
//
// A window's device context for drawing outside a paint event comes from
// platform/drawing.h (GetWindowDrawContext / ReleaseWindowDrawContext).
#pragma once

#include <cstdint>

#include "platform/gui_rect.h"

namespace platform {

// Window style bits the toolkit uses, valued as Win32's WS_* constants.
constexpr uint32_t kStylePopup = 0x80000000;         // WS_POPUP
constexpr uint32_t kStyleChild = 0x40000000;         // WS_CHILD
constexpr uint32_t kStyleVisible = 0x10000000;       // WS_VISIBLE
constexpr uint32_t kStyleClipSiblings = 0x04000000;  // WS_CLIPSIBLINGS
constexpr uint32_t kStyleClipChildren = 0x02000000;  // WS_CLIPCHILDREN
constexpr uint32_t kStyleCaption = 0x00C00000;       // WS_CAPTION (border + title bar)
constexpr uint32_t kStyleBorder = 0x00800000;        // WS_BORDER
constexpr uint32_t kStyleVScroll = 0x00200000;       // WS_VSCROLL
constexpr uint32_t kStyleSysMenu = 0x00080000;       // WS_SYSMENU
constexpr uint32_t kStyleThickFrame = 0x00040000;    // WS_THICKFRAME
constexpr uint32_t kStyleMinimizeBox = 0x00020000;   // WS_MINIMIZEBOX
constexpr uint32_t kStyleTabStop = 0x00010000;       // WS_TABSTOP (child controls)
constexpr uint32_t kStyleMaximizeBox = 0x00010000;   // WS_MAXIMIZEBOX (top-level windows)

// Creates a hidden top-level window with the given style double word (a
// frame kind's style), owned by `owner` (may be null), at (0, 0) with an empty
// client area; the caller moves and sizes it. The window takes part in the
// event entry point of platform/gui_events.h. On Windows this is
// CreateDialogIndirectParamA with a zero-filled 58-byte DLGTEMPLATE carrying
// only the style, the program's instance (GetModuleHandleA(NULL), the module
// the toolkit registers as 25001) and the backend's dialog procedure.
// Returns null on failure.
void* CreateFrameWindow(void* owner, uint32_t style);

// Destroys a window (top-level or control) and its children; false on failure.
bool DestroyNativeWindow(void* window);

// Whether the handle names an existing window.
bool IsNativeWindow(void* window);

// The window's style double word; 0 on failure.
uint32_t GetNativeWindowStyle(void* window);

// The outer rectangle (frame included) in screen coordinates (GetWindowRect); false on failure.
bool GetOuterRect(void* window, Rect* rect);

// The client area's size as (0, 0, width, height) (GetClientRect); false on failure.
bool GetClientArea(void* window, Rect* rect);

// Converts a point from the window's client coordinates to screen coordinates; false on failure.
bool ClientToScreenPoint(void* window, int* x, int* y);

// Converts a point from screen coordinates to the window's client coordinates; false on failure.
bool ScreenToClientPoint(void* window, int* x, int* y);

// Moves and sizes the outer rectangle (MoveWindow); for a control the
// position is in its parent's client coordinates; false on failure.
bool MoveNativeWindow(void* window, int x, int y, int width, int height, bool repaint);

// Grows a client rectangle into the outer rectangle that a top-level window
// of this style needs (AdjustWindowRectEx, no menu, extended style 0); false on failure.
bool AdjustRectForStyle(uint32_t style, Rect* rect);

// Sets the title bar text; null sets the empty title; false on failure.
bool SetNativeWindowTitle(void* window, const char* title);

// Shows (SW_SHOW) or hides (SW_HIDE) a window; false on failure.
bool ShowNativeWindow(void* window, bool show);

// Whether the window is visible.
bool IsNativeWindowVisible(void* window);

// Paints at once what is invalid (UpdateWindow): a visible window with an
// update region receives its paint event before this returns; false on failure.
bool UpdateNativeWindow(void* window);

// Brings the window to the front and activates it (SetForegroundWindow); false on failure.
bool BringToForeground(void* window);

// The window (top-level or control) that has the keyboard focus, or null.
void* GetFocusedWindow();

// Gives the keyboard focus to a window or control (SetFocus); false on failure.
bool FocusNativeWindow(void* window);

// Enables or disables input to a window (EnableWindow); false on failure.
bool EnableNativeWindow(void* window, bool enable);

// Whether the window accepts input (IsWindowEnabled); false for null.
bool IsNativeWindowEnabled(void* window);

// Adds a client rectangle (null: the whole client area) to the update region
// (InvalidateRect); false on failure.
bool InvalidateNativeWindow(void* window, const Rect* rect, bool erase);

// Reads the bounds of the update region in client coordinates
// (GetUpdateRect, no erase); false when there is none or on failure.
bool GetUpdateBounds(void* window, Rect* bounds);

// Starts painting (BeginPaint): validates the update region and returns the
// paint device context (HDC / FLTK surface record / headless::Surface*), with
// the paint rectangle in `paintRect`; null on failure.
void* BeginNativePaint(void* window, Rect* paintRect);

// Ends painting started by BeginNativePaint (EndPaint).
void EndNativePaint(void* window, void* deviceContext);

// Lets the window receive dropped files (DragAcceptFiles); false on failure.
bool AcceptDroppedFiles(void* window, bool accept);

}  // namespace platform
