// The event entry point and the event pump of platform/gui_events.h.
//
// FLTK keeps one queue for all windows, so pumping one window dispatches the
// others' events too; the order of the loop's passes stays the toolkit's. The
// wait blocks on the X connection and the posted events' wake pipe with the
// toolkit's timeout and dispatches nothing, as WaitMessage does.
#include <FL/Fl.H>
#include <FL/x.H>
#include <poll.h>

#include "platform/fltk/fltk_state.h"
#include "platform/gui_events.h"

namespace {

void Pump() {
  if (!fltk_backend::EnsureDisplay()) return;
  fltk_backend::PostedWakeFd();  // the wake pipe is one of FLTK's descriptors from now on
  Fl::check();  // every queued X event, FLTK's due timeouts, posted events, then the redraws
  fltk_backend::DeliverQueuedDrops();
  fltk_backend::DeliverPostedEvents();
}

}  // namespace

namespace platform {

void SetEventHandler(EventHandler handler) {
  fltk_backend::SetHandler(handler);
}

bool PumpWindowMessages(void* window, bool /*dialogNavigation*/) {
  // Tab moves the focus between the controls inside FLTK itself.
  if (!window) return false;
  Pump();
  return true;
}

void PumpThreadMessages() {
  Pump();
}

void PumpPaintMessages() {
  if (!fltk_backend::EnsureDisplay()) return;
  // Only the exposures are taken from the queue (the other events keep their order), then
  // FLTK redraws what they and the program's own changes damaged.
  XEvent event;
  while (XCheckTypedEvent(fl_display, Expose, &event)) fl_handle(event);
  Fl::flush();
}

bool HasPendingMessages() {
  if (fltk_backend::HasQueuedDrops() || fltk_backend::HasPostedEvents()) return true;
  if (!fltk_backend::EnsureDisplay()) return false;
  return XPending(fl_display) > 0 || Fl::damage() != 0;
}

void WaitForMessages(uint32_t timeoutMs) {
  if (HasPendingMessages() || !fltk_backend::EnsureDisplay()) return;
  // The X connection, and the wake pipe that PostWindowEvent writes to.
  pollfd watched[2] = {{ConnectionNumber(fl_display), POLLIN, 0},
                       {fltk_backend::PostedWakeFd(), POLLIN, 0}};
  int timeout =
      timeoutMs == kWaitForever ? -1 : int(timeoutMs > 0x7FFFFFFF ? 0x7FFFFFFF : timeoutMs);
  poll(watched, watched[1].fd >= 0 ? 2 : 1, timeout);
}

}  // namespace platform
