#include "ui/child_control.h"

#include "platform/gui_window.h"

ChildControl::~ChildControl() {
  Discard();
}

void ChildControl::Discard() {
  valid = false;
  if (ownsWindow && window) platform::DestroyNativeWindow(window);
  if (ownsWindow) window = nullptr;
}

void ChildControl::Create(void* parent, platform::ControlClass controlClass, uint32_t style,
                          const ToolkitRect& rect, const char* windowText, int id,
                          const char* text) {
  window = platform::CreateChildControl(parent, controlClass, style, rect, windowText);
  if (!window) return;
  valid = true;
  if (!SetId(id) || !SetText(text ? text : "")) valid = false;
}

bool ChildControl::GetText(char* buffer, uint32_t size) const {
  if (!valid || !buffer || size == 0) return false;
  buffer[0] = '\0';
  int length = platform::GetControlTextLength(window);
  if (length <= 0) return false;
  int limit = int(size > uint32_t(length) + 1 ? uint32_t(length) + 1 : size);
  int copied = platform::GetControlText(window, buffer, limit);
  if (copied <= 0) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

bool ChildControl::SetText(const char* text) {
  return valid && platform::SetControlText(window, text ? text : "");
}

bool ChildControl::SetId(int id) {
  return valid && platform::SetControlId(window, id);
}

PushButton::PushButton(void* parent, int id, const ToolkitRect& rect, const char* caption,
                       uint32_t style) {
  if (!parent || !caption) return;
  Create(parent, platform::ControlClass::kButton, style ? style : kDefaultStyle, rect, caption, id,
         caption);
}

PushButton::~PushButton() {
  Discard();
}

EditField::EditField(void* parent, int id, const ToolkitRect& rect, const char* text,
                     uint32_t style) {
  if (!parent) return;
  Create(parent, platform::ControlClass::kEdit, style ? style : kDefaultStyle, rect, nullptr, id,
         text);
}

EditField::~EditField() {
  Discard();
}

TextLabel::TextLabel(void* parent, int id, const ToolkitRect& rect, const char* text,
                     uint32_t style) {
  if (!parent) return;
  Create(parent, platform::ControlClass::kStatic, style ? style : kDefaultStyle, rect, nullptr, id,
         text);
}

TextLabel::~TextLabel() {
  Discard();
}

void DeleteControl(ChildControl* control) {
  if (!control) return;
  control->~ChildControl();
  ToolkitFree(control);
}
