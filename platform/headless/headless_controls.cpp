// Headless child controls: class, style, rectangle, text and id.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/gui_controls.h"
#include "platform/gui_window.h"
#include "platform/headless/headless_state.h"

namespace platform {

using headless::AsWindow;
using headless::State;
using headless::Window;

void* CreateChildControl(void* parent, ControlClass controlClass, uint32_t style, const Rect& rect,
                         const char* text) {
  Window* owner = AsWindow(parent);
  if (!owner) return nullptr;
  Window* control = new Window;
  control->isControl = true;
  control->controlClass = controlClass;
  control->owner = owner;
  control->style = style & ~kStyleVisible;
  control->visible = (style & kStyleVisible) != 0;
  control->rect = {rect.left, rect.top, std::max(rect.left, rect.right),
                   std::max(rect.top, rect.bottom)};
  control->text = text ? text : "";
  State().windows.push_back(control);
  return control;
}

bool SetControlId(void* handle, int id) {
  Window* control = AsWindow(handle);
  if (!control || !control->isControl) return false;
  control->id = id;
  return true;
}

int GetControlId(void* handle) {
  Window* control = AsWindow(handle);
  return control && control->isControl ? control->id : 0;
}

bool GetControlClassName(void* handle, char* buffer, int size) {
  Window* window = AsWindow(handle);
  if (!window || !buffer || size <= 0) return false;
  const char* name = "#32770";  // the dialog class of top-level windows
  if (window->isControl) {
    switch (window->controlClass) {
      case ControlClass::kButton:
        name = "BUTTON";
        break;
      case ControlClass::kEdit:
        name = "EDIT";
        break;
      case ControlClass::kStatic:
        name = "STATIC";
        break;
    }
  }
  if (std::strlen(name) + 1 > size_t(size)) return false;
  std::strcpy(buffer, name);
  return true;
}

bool SetControlText(void* handle, const char* text) {
  Window* window = AsWindow(handle);
  if (!window) return false;
  window->text = text ? text : "";
  return true;
}

int GetControlTextLength(void* handle) {
  Window* window = AsWindow(handle);
  return window ? int(window->text.size()) : 0;
}

int GetControlText(void* handle, char* buffer, int size) {
  Window* window = AsWindow(handle);
  if (!window || !buffer || size <= 0) return 0;
  size_t count = std::min(window->text.size(), size_t(size - 1));
  std::memcpy(buffer, window->text.data(), count);
  buffer[count] = '\0';
  return int(count);
}

}  // namespace platform
