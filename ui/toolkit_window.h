// Toolkit windows: creation by frame kind, destruction, geometry and state.
// Every operation takes the window first and fails (false, null) or does
// nothing on a null window or a null output.
#pragma once

#include <cstdint>

#include "ui/toolkit_event.h"

// Style double word of each frame kind 0-6 (Win32 WS_* bits).
constexpr uint32_t kFrameKindStyles[7] = {
    0x86000000,  // 0: pop-up, clip siblings and children (the menu widget's list)
    0x86800000,  // 1: kind 0 + border
    0x86C00000,  // 2: kind 0 + caption
    0x86C40000,  // 3: kind 2 + thick frame
    0x86CB0000,  // 4: kind 2 + system menu, minimise and maximise boxes (main window)
    0x86CF0000,  // 5: kind 4 + thick frame
    0x86EF0000,  // 6: kind 5 + vertical scroll bar
};

// The style of a frame kind; 0 for a kind outside 0-6.
uint32_t FrameKindStyle(int kind);

// Creates a hidden window of a frame kind whose outer top-left corner is at
// (x, y) and whose client area is width x height; null when the platform refuses.
void* CreateToolkitWindow(void* parent, int x, int y, int width, int height, int kind);

// Re-enables the parent of a registered window that disabled it, then destroys
// the window; false on failure.
bool DestroyToolkitWindow(void* window);

// Outer rectangle in the window's own client coordinates (left and top are
// negative by the frame) when `outer`, else the client rectangle; false on failure.
bool GetWindowBounds(void* window, bool outer, ToolkitRect* rect);

// Converts a rectangle from client to screen coordinates, normalised; false on failure.
bool ClientToScreenRect(void* window, ToolkitRect* rect);

// Converts a rectangle from screen to client coordinates, normalised; false on failure.
bool ScreenToClientRect(void* window, ToolkitRect* rect);

// Moves the outer top-left corner to (x, y), keeping the size; false on failure.
bool MoveWindowTo(void* window, int x, int y);

// Moves and sizes the outer rectangle (screen coordinates) and repaints; false on failure.
bool SetWindowRect(void* window, const ToolkitRect* rect);

// Makes the client area width x height, keeping the top-left corner; false on failure.
bool SetClientSize(void* window, int width, int height);

// Centres the window over another window's outer rectangle, or over the screen
// when `other` is null; false on failure.
bool CenterWindow(void* window, void* other);

// Distances between outer and client rectangle on each side; false on failure.
bool GetFrameInsets(void* window, ToolkitRect* insets);

// Invalidates the whole client area (erase true); false on failure.
bool InvalidateAll(void* window);

// Shows the window; false on failure.
bool ShowToolkitWindow(void* window);

// Paints what is invalid at once; false on failure.
bool UpdateToolkitWindow(void* window);

// Brings the window to the foreground; false on failure.
bool SetForegroundToolkitWindow(void* window);

// The window or control with the keyboard focus, or null.
void* GetFocusWindow();

// Enables or disables the window; false on failure.
bool EnableToolkitWindow(void* window, bool enable);

// Whether the window accepts input; false for null.
bool IsToolkitWindowEnabled(void* window);

// Reads the pointer position in screen coordinates, or in a window's client
// coordinates when `window` is given; false on failure.
bool GetCursorPosition(void* window, int* x, int* y);

// Moves the pointer to a screen position, or to a client position of `window`; false on failure.
bool SetCursorPosition(void* window, int x, int y);

// Whether a mouse button is held: 0 the primary, 1 the secondary button.
bool IsMouseButtonDown(int button);
