// GUI seam: pointer, mouse buttons, modifier keys, cursor visibility and the
// screen's size. Implemented by each GUI backend (win32, fltk, headless).
#pragma once

namespace platform {

// Reads the pointer position in screen coordinates; false (and 0, 0) on failure.
bool GetPointerPosition(int* x, int* y);

// Moves the pointer to a screen position; false on failure.
bool SetPointerPosition(int x, int y);

// Whether a mouse button is held now: 0 the primary, 1 the secondary button
// (the backend honours swapped buttons); false for any other number.
bool IsMouseButtonDown(int button);

// State of the modifier keys right now.
struct KeyState {
  bool shift;     // pressed
  bool control;   // pressed
  bool alt;       // pressed
  bool capsLock;  // toggled on
};

// Reads the modifier keys; all false when they cannot be read.
KeyState GetModifierKeys();

// Shows (true) or hides (false) the mouse cursor; one call per change of state.
void ShowPointer(bool show);

// Width of the screen in pixels.
int GetScreenWidth();

// Height of the screen in pixels.
int GetScreenHeight();

}  // namespace platform
