// Events posted from other threads (platform::PostWindowEvent) for the FLTK backend.
//
// Fl::awake wakes only Fl::wait, and the toolkit's loop waits with poll on the X
// connection itself (fltk_events.cpp), so the backend keeps a wake pipe of its own: a
// post queues the event under a mutex and writes one byte; the wait polls the pipe beside
// the X connection, and the pipe is an FLTK file descriptor (Fl::add_fd), so Fl::check in
// the pump and Fl::wait in modal dialogs deliver the queued events on the window thread.
#include <FL/Fl.H>
#include <fcntl.h>
#include <unistd.h>

#include <deque>
#include <mutex>

#include "platform/fltk/fltk_state.h"
#include "platform/gui_events.h"

namespace fltk_backend {

namespace {

struct PostedEvent {
  void* window;
  uintptr_t value;
  uintptr_t data;
};

struct PostedQueue {
  std::mutex lock;
  std::deque<PostedEvent> events;
  int readEnd = -1;  // -1 when the pipe could not be made
  int writeEnd = -1;
  bool watched = false;  // registered with Fl::add_fd (window thread only)

  PostedQueue() {
    int ends[2];
    if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
      readEnd = ends[0];
      writeEnd = ends[1];
    }
  }
};

// Made on first use by whichever thread comes first (a thread-safe static).
PostedQueue& Posted() {
  static PostedQueue queue;
  return queue;
}

void DrainPipe(int fd) {
  char bytes[64];
  while (read(fd, bytes, sizeof bytes) > 0) {
  }
}

void OnWakeByte(int /*fd*/, void* /*data*/) {
  DeliverPostedEvents();
}

}  // namespace

int PostedWakeFd() {
  PostedQueue& queue = Posted();
  if (!queue.watched && queue.readEnd >= 0) {
    Fl::add_fd(queue.readEnd, FL_READ, OnWakeByte);
    queue.watched = true;
  }
  return queue.readEnd;
}

bool HasPostedEvents() {
  PostedQueue& queue = Posted();
  std::lock_guard<std::mutex> hold(queue.lock);
  return !queue.events.empty();
}

void DeliverPostedEvents() {
  PostedQueue& queue = Posted();
  std::deque<PostedEvent> taken;
  {
    std::lock_guard<std::mutex> hold(queue.lock);
    if (queue.readEnd >= 0) DrainPipe(queue.readEnd);
    taken.swap(queue.events);
  }
  for (const PostedEvent& posted : taken) {
    NativeWindow* target = AsWindow(posted.window);
    if (!target || target->isControl) continue;
    platform::PlatformEvent event{};
    event.window = target;
    event.code = platform::kEventPosted;
    event.rawWParam = posted.value;
    event.rawLParam = posted.data;
    Deliver(&event);
  }
}

}  // namespace fltk_backend

namespace platform {

bool PostWindowEvent(void* window, uintptr_t value, uintptr_t data) {
  fltk_backend::PostedQueue& queue = fltk_backend::Posted();
  if (!window || queue.writeEnd < 0) return false;
  std::lock_guard<std::mutex> hold(queue.lock);
  queue.events.push_back({window, value, data});
  // A full pipe already holds a wake byte that has not been read: nothing is lost.
  const char wake = 1;
  (void)!write(queue.writeEnd, &wake, 1);
  return true;
}

}  // namespace platform
