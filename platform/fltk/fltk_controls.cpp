// Child controls of platform/gui_controls.h: push buttons, single-line edit
// fields and bordered labels as FLTK widgets inside a top-level window.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>

#include <algorithm>
#include <cstring>

#include "platform/fltk/fltk_state.h"
#include "platform/fltk/fltk_window.h"
#include "platform/gui_controls.h"
#include "platform/gui_window.h"

namespace fltk_backend {

namespace {

constexpr int kControlTextSize = 12;  // close to the dialog font of the system this comes from

void DeliverCommand(NativeWindow* control, int notification) {
  NativeWindow* top = TopLevelOf(control);
  if (!top || top->destroying || !control->enabled) return;
  platform::PlatformEvent event =
      platform::MakeCommandEvent(top, control, control->id, notification);
  FillModifiers(&event);
  Deliver(&event);
}

void ButtonCallback(Fl_Widget*, void* data) {
  DeliverCommand(static_cast<NativeWindow*>(data), platform::kButtonClicked);
}

void EditCallback(Fl_Widget*, void* data) {
  DeliverCommand(static_cast<NativeWindow*>(data), platform::kEditChanged);
}

// A label takes the presses on it (they are not the window's), and tells the
// window about clicks as a notifying static control does.
class KrnLabel : public Fl_Box {
 public:
  KrnLabel(NativeWindow* record, int x, int y, int w, int h)
      : Fl_Box(x, y, w, h), record_(record) {}
  int handle(int event) override {
    if (event == FL_PUSH) {
      if (record_->style & platform::kStaticNotify) {
        DeliverCommand(record_, Fl::event_clicks() > 0 ? platform::kStaticDoubleClicked : 0);
      }
      return 1;
    }
    return Fl_Box::handle(event);
  }

 private:
  NativeWindow* record_;
};

// FLTK reads '@' in a label as the start of a symbol; shown text keeps it.
std::string EscapeLabel(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '@') out += '@';
  }
  return out;
}

void ApplyText(NativeWindow* record) {
  if (record->controlClass == platform::ControlClass::kEdit) {
    static_cast<Fl_Input*>(record->widget)->value(record->text.c_str());
  } else {
    record->widget->copy_label(EscapeLabel(record->text).c_str());
  }
  record->widget->redraw();
  if (NativeWindow* top = TopLevelOf(record)) top->window->damage(FL_DAMAGE_ALL);
}

}  // namespace

}  // namespace fltk_backend

namespace platform {

using fltk_backend::AsWindow;
using fltk_backend::NativeWindow;

void* CreateChildControl(void* parent, ControlClass controlClass, uint32_t style, const Rect& rect,
                         const char* text) {
  NativeWindow* top = AsWindow(parent);
  if (!top || top->isControl || top->destroying) return nullptr;
  // Edges are scaled, so that neighbouring controls still meet.
  int x = fltk_backend::Px(rect.left), y = fltk_backend::Px(rect.top);
  int w = std::max(fltk_backend::Px(rect.right) - x, 0);
  int h = std::max(fltk_backend::Px(rect.bottom) - y, 0);
  NativeWindow* record = new NativeWindow;
  record->isControl = true;
  record->owner = top;
  record->style = style;
  record->controlClass = controlClass;
  record->text = text ? text : "";
  Fl_Widget* widget = nullptr;
  Fl_Group::current(nullptr);  // the widget joins its window below, not an open group
  switch (controlClass) {
    case ControlClass::kButton: {
      auto* button = new Fl_Button(x, y, w, h);
      button->callback(fltk_backend::ButtonCallback, record);
      widget = button;
      break;
    }
    case ControlClass::kEdit: {
      auto* input = new Fl_Input(x, y, w, h);
      input->textsize(fltk_backend::Px(fltk_backend::kControlTextSize));
      input->box((style & kStyleBorder) ? FL_DOWN_BOX : FL_FLAT_BOX);
      input->when(FL_WHEN_CHANGED);
      input->callback(fltk_backend::EditCallback, record);
      widget = input;
      break;
    }
    case ControlClass::kStatic: {
      auto* label = new fltk_backend::KrnLabel(record, x, y, w, h);
      label->box((style & kStyleBorder) ? FL_BORDER_FRAME : FL_NO_BOX);
      label->color(FL_DARK3);  // the frame's colour: a thin dark line as WS_BORDER draws
      label->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP | FL_ALIGN_CLIP);
      widget = label;
      break;
    }
  }
  widget->labelsize(fltk_backend::Px(fltk_backend::kControlTextSize));
  widget->visible_focus((style & kStyleTabStop) != 0 && controlClass != ControlClass::kStatic);
  if (!(style & kStyleVisible)) widget->hide();
  record->widget = widget;
  top->window->add(widget);
  fltk_backend::AllWindows().push_back(record);
  fltk_backend::ApplyText(record);
  return record;
}

bool SetControlId(void* control, int id) {
  NativeWindow* record = AsWindow(control);
  if (!record || !record->isControl) return false;
  record->id = id;
  return true;
}

int GetControlId(void* control) {
  NativeWindow* record = AsWindow(control);
  return record && record->isControl ? record->id : 0;
}

bool GetControlClassName(void* control, char* buffer, int size) {
  NativeWindow* record = AsWindow(control);
  if (!record || !buffer || size <= 0) return false;
  const char* name = "#32770";  // the class of dialog windows, which top-level windows are
  if (record->isControl) {
    switch (record->controlClass) {
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
  if (int(std::strlen(name)) >= size) return false;
  std::strcpy(buffer, name);
  return true;
}

bool SetControlText(void* control, const char* text) {
  NativeWindow* record = AsWindow(control);
  if (!record) return false;
  if (!record->isControl) return SetNativeWindowTitle(record, text);
  record->text = text ? text : "";
  fltk_backend::ApplyText(record);
  return true;
}

int GetControlTextLength(void* control) {
  NativeWindow* record = AsWindow(control);
  if (!record) return 0;
  if (record->isControl && record->controlClass == ControlClass::kEdit) {
    return int(std::strlen(static_cast<Fl_Input*>(record->widget)->value()));
  }
  return int(record->text.size());
}

int GetControlText(void* control, char* buffer, int size) {
  NativeWindow* record = AsWindow(control);
  if (!record || !buffer || size <= 0) return 0;
  const char* text = record->text.c_str();
  if (record->isControl && record->controlClass == ControlClass::kEdit) {
    text = static_cast<Fl_Input*>(record->widget)->value();
  }
  int length = std::min(int(std::strlen(text)), size - 1);
  std::memcpy(buffer, text, size_t(length));
  buffer[length] = '\0';
  return length;
}

}  // namespace platform
