// Child controls of a toolkit window: push button, edit field, text label.
#pragma once

#include <cstdint>
#include <new>
#include <utility>

#include "platform/gui_controls.h"
#include "ui/toolkit_event.h"
#include "ui/toolkit_runtime.h"

// Base of the control wrappers: one platform control window and its state.
class ChildControl {
 public:
  ChildControl() = default;
  ChildControl(const ChildControl&) = delete;
  ChildControl& operator=(const ChildControl&) = delete;

  // Destroys the window only when `ownsWindow` is set; controls normally go
  // with their parent window.
  virtual ~ChildControl();

  // Whether creation, id and text all succeeded.
  bool IsValid() const { return valid; }

  // The control's window, or null unless valid.
  void* GetHandle() const { return valid ? window : nullptr; }

  // Copies at most size - 1 characters and a terminator; an empty text (or
  // nothing copied) leaves an empty string and fails, as does an invalid control.
  bool GetText(char* buffer, uint32_t size) const;

  // Replaces the text (null sets the empty text); false unless valid.
  bool SetText(const char* text);

  // Sets the control id carried by its command events; false unless valid.
  bool SetId(int id);

  void* window = nullptr;   // the control's window (HWND / FLTK widget record / headless)
  bool ownsWindow = false;  // never set by the system
  bool valid = false;

 protected:
  // Creates the window with the class, style, rectangle and window text, then
  // sets the id and the text; leaves `valid` false when any step fails.
  void Create(void* parent, platform::ControlClass controlClass, uint32_t style,
              const ToolkitRect& rect, const char* windowText, int id, const char* text);

  // What the subclasses' destructors do: clear `valid`, destroy an owned window.
  void Discard();
};

// A push button ("BUTTON"); nothing is created for a null parent or caption.
class PushButton : public ChildControl {
 public:
  static constexpr uint32_t kDefaultStyle = 0x50810000;  // child, visible, border, tab stop
  PushButton(void* parent, int id, const ToolkitRect& rect, const char* caption,
             uint32_t style = 0);
  ~PushButton() override;
};

// A single-line edit field ("EDIT"); nothing is created for a null parent.
class EditField : public ChildControl {
 public:
  static constexpr uint32_t kDefaultStyle = 0x50810080;  // ... tab stop, auto h-scroll
  EditField(void* parent, int id, const ToolkitRect& rect, const char* text, uint32_t style = 0);
  ~EditField() override;
};

// A text label ("STATIC"); nothing is created for a null parent.
class TextLabel : public ChildControl {
 public:
  static constexpr uint32_t kDefaultStyle = 0x50800100;  // child, visible, border, notify
  TextLabel(void* parent, int id, const ToolkitRect& rect, const char* text, uint32_t style = 0);
  ~TextLabel() override;
};

// Constructs a control wrapper in a block from the toolkit allocator; null when memory runs out.
template <typename T, typename... Args>
T* NewControl(Args&&... args) {
  void* block = ToolkitAlloc(sizeof(T), true);
  return block ? new (block) T(std::forward<Args>(args)...) : nullptr;
}

// Destroys a wrapper made by NewControl and frees its block; null is ignored.
void DeleteControl(ChildControl* control);
