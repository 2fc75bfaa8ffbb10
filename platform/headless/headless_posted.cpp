// Events posted from other threads (platform::PostWindowEvent): the one part of the
// headless desktop that any thread may touch, behind its own mutex.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/gui_events.h"
#include "platform/headless/headless_state.h"

namespace headless {

namespace {

struct PostedEvent {
  void* window;
  uintptr_t value;
  uintptr_t data;
};

struct PostedQueue {
  std::mutex lock;
  std::condition_variable arrived;
  std::deque<PostedEvent> events;
};

PostedQueue& Posted() {
  static PostedQueue queue;
  return queue;
}

}  // namespace

bool HasPostedEvents() {
  PostedQueue& queue = Posted();
  std::lock_guard<std::mutex> hold(queue.lock);
  return !queue.events.empty();
}

bool WaitForPostedEvent(uint32_t realMs) {
  PostedQueue& queue = Posted();
  std::unique_lock<std::mutex> hold(queue.lock);
  return queue.arrived.wait_for(hold, std::chrono::milliseconds(realMs),
                                [&] { return !queue.events.empty(); });
}

void DeliverPostedEvents() {
  PostedQueue& queue = Posted();
  std::deque<PostedEvent> taken;
  {
    std::lock_guard<std::mutex> hold(queue.lock);
    taken.swap(queue.events);
  }
  for (const PostedEvent& posted : taken) {
    Window* target = AsWindow(posted.window);
    if (!target || target->isControl) continue;
    platform::PlatformEvent event{};
    event.window = target;
    event.code = platform::kEventPosted;
    event.rawWParam = posted.value;
    event.rawLParam = posted.data;
    Deliver(&event);
  }
}

void ClearPostedEvents() {
  PostedQueue& queue = Posted();
  std::lock_guard<std::mutex> hold(queue.lock);
  queue.events.clear();
}

}  // namespace headless

namespace platform {

bool PostWindowEvent(void* window, uintptr_t value, uintptr_t data) {
  if (!window) return false;
  headless::PostedQueue& queue = headless::Posted();
  {
    std::lock_guard<std::mutex> hold(queue.lock);
    queue.events.push_back({window, value, data});
  }
  queue.arrived.notify_one();
  return true;
}

}  // namespace platform
