// The FLTK window behind a top-level window handle: turns FLTK's events into
// the toolkit's event records and runs the toolkit's painting inside draw().
#pragma once

#include <FL/Fl_Window.H>

#include "platform/fltk/fltk_state.h"

namespace fltk_backend {

class KrnWindow : public Fl_Window {
 public:
  explicit KrnWindow(NativeWindow* record);

  int handle(int event) override;
  void draw() override;

  // Stops taking events: the record is being destroyed.
  void Detach() { record_ = nullptr; }

  // Lets the window be placed where the program asks, also before it is shown.
  void KeepPosition() { force_position(1); }

  NativeWindow* record() const { return record_; }

  // Re-applies the outer rectangle last asked for when the window manager's
  // frame differs from the one assumed then (done from the pump, not from draw()).
  static void CorrectFrame(void* window);

 private:
  int HandleMouse(int event);
  int HandleKey(int event);
  int HandleDrop(int event);

  NativeWindow* record_;
  bool dropPending_ = false;  // between FL_DND_RELEASE and the FL_PASTE carrying the names
  int dropX_ = 0;
  int dropY_ = 0;
};

}  // namespace fltk_backend
