// Headless event queue, pump, wait with the scripted timeline, and the
// desktop's test-facing queries.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/gui_events.h"
#include "platform/gui_window.h"
#include "platform/headless/headless_state.h"
#include "platform/headless/headless_surface.h"

namespace headless {

// Real time a wait with nothing scripted gives other threads to post before it aborts.
constexpr uint32_t kPostWaitGuardMs = 20000;

namespace {

constexpr uint32_t kTabKey = 9;

// The visible, enabled tab-stop controls of a window in creation order.
std::vector<Window*> TabStops(Window* window) {
  std::vector<Window*> stops;
  for (Window* candidate : State().windows) {
    if (candidate->isControl && candidate->owner == window && candidate->visible &&
        candidate->enabled && (candidate->style & platform::kStyleTabStop)) {
      stops.push_back(candidate);
    }
  }
  return stops;
}

void MoveFocus(Window* window, bool backwards) {
  std::vector<Window*> stops = TabStops(window);
  if (stops.empty()) return;
  auto current = std::find(stops.begin(), stops.end(), State().focus);
  size_t index;
  if (current == stops.end()) {
    index = backwards ? stops.size() - 1 : 0;
  } else {
    size_t at = size_t(current - stops.begin());
    index = backwards ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
  }
  State().focus = stops[index];
}

void DeliverCommand(Window* control, int notification) {
  platform::PlatformEvent event =
      platform::MakeCommandEvent(TopLevelOf(control), control, control->id, notification);
  FillModifiers(&event);
  Deliver(&event);
}

void DeliverKey(Window* window, int32_t code, uint32_t key, int32_t character) {
  platform::PlatformEvent event{};
  event.window = window;
  event.code = code;
  event.key = key;
  event.character = character;
  FillModifiers(&event);
  Deliver(&event);
}

// Handles one queued item; the item's windows are known to be live.
void Process(QueuedInput& item, bool dialogNavigation) {
  Window* target = item.target;
  switch (item.kind) {
    case QueuedInput::kDeliver: {
      std::vector<const char*> names;
      for (const std::string& name : item.names) names.push_back(name.c_str());
      item.event.window = target;
      if (!names.empty()) {
        item.event.dropCount = int32_t(names.size());
        item.event.dropNames = names.data();
      }
      Deliver(&item.event);
      break;
    }
    case QueuedInput::kClick:
      if (!item.control->enabled || !item.control->visible) break;
      State().focus = item.control;
      DeliverCommand(item.control, item.event.notification);
      break;
    case QueuedInput::kType:
      if (!item.control->enabled) break;
      State().focus = item.control;
      item.control->text += item.text;
      DeliverCommand(item.control, platform::kEditChanged);
      break;
    case QueuedInput::kKey: {
      bool navigate = dialogNavigation && State().focus != target;
      if (navigate && item.key == kTabKey) {
        MoveFocus(target, State().keys.shift);
        break;
      }
      DeliverKey(target, platform::kEventKeyDown, item.key, int32_t(int8_t(item.key & 0xFF)));
      if (item.character && AsWindow(target)) {
        DeliverKey(target, platform::kEventCharacter, uint8_t(item.character),
                   int32_t(int8_t(item.character)));
      }
      if (AsWindow(target)) {
        DeliverKey(target, platform::kEventKeyUp, item.key, int32_t(int8_t(item.key & 0xFF)));
      }
      break;
    }
  }
}

bool ItemLive(const QueuedInput& item) {
  return AsWindow(item.target) && (!item.control || AsWindow(item.control));
}

// Takes the first queued item for `window` (any window when null).
bool TakeItem(Window* window, QueuedInput* out) {
  DesktopState& state = State();
  for (auto it = state.queue.begin(); it != state.queue.end(); ++it) {
    if (window && it->target != window) continue;
    *out = std::move(*it);
    state.queue.erase(it);
    return true;
  }
  return false;
}

void RunDueSteps() {
  DesktopState& state = State();
  for (;;) {
    auto due = state.timeline.end();
    for (auto it = state.timeline.begin(); it != state.timeline.end(); ++it) {
      if (it->at <= state.now && (due == state.timeline.end() || it->order < due->order)) due = it;
    }
    if (due == state.timeline.end()) return;
    std::function<void()> action = std::move(due->action);
    state.timeline.erase(due);
    action();
  }
}

bool NeedsPaint() {
  for (Window* window : State().windows) {
    if (!window->isControl && window->visible && window->hasUpdate) return true;
  }
  return false;
}

bool Queue(void* window, QueuedInput item) {
  Window* target = AsWindow(window);
  if (!target || target->isControl) return false;
  item.target = target;
  item.event.window = target;
  Enqueue(std::move(item));
  return true;
}

bool QueueMouse(void* window, int32_t code, int x, int y, bool doubleClick) {
  platform::PlatformEvent event{};
  event.code = code;
  event.x = x;
  event.y = y;
  event.doubleClick = doubleClick;
  FillModifiers(&event);
  QueuedInput item;
  item.event = event;
  return Queue(window, std::move(item));
}

}  // namespace

void Enqueue(QueuedInput item) {
  State().queue.push_back(std::move(item));
  State().newInput = true;
}

void ResetDesktop() {
  DesktopState& state = State();
  while (!state.windows.empty()) DestroySilently(state.windows.front());
  platform::EventHandler handler = state.handler;
  ClearPostedEvents();
  state = DesktopState{};
  state.handler = handler;
}

std::vector<Window*> AllWindows() {
  return State().windows;
}

std::vector<Window*> TopLevelWindows() {
  std::vector<Window*> result;
  for (Window* window : State().windows) {
    if (!window->isControl) result.push_back(window);
  }
  return result;
}

bool IsLive(const void* window) {
  return AsWindow(window) != nullptr;
}
bool IsVisible(const void* window) {
  return AsWindow(window) && AsWindow(window)->visible;
}
bool IsEnabled(const void* window) {
  return AsWindow(window) && AsWindow(window)->enabled;
}
bool AcceptsDrops(const void* window) {
  return AsWindow(window) && AsWindow(window)->acceptsDrops;
}
std::string WindowText(const void* window) {
  return AsWindow(window) ? AsWindow(window)->text : std::string();
}
uint32_t WindowStyle(const void* window) {
  return AsWindow(window) ? AsWindow(window)->style : 0;
}
void* WindowOwner(const void* window) {
  return AsWindow(window) ? AsWindow(window)->owner : nullptr;
}

platform::Rect OuterRect(const void* window) {
  platform::Rect rect{};
  platform::GetOuterRect(const_cast<void*>(window), &rect);
  return rect;
}

platform::Rect ClientRect(const void* window) {
  Window* w = AsWindow(window);
  if (!w) return {};
  platform::Rect rect{};
  platform::GetClientArea(w, &rect);
  int x = 0, y = 0;
  ClientOrigin(w, &x, &y);
  return {rect.left + x, rect.top + y, rect.right + x, rect.bottom + y};
}

bool HasUpdateRegion(const void* window) {
  return AsWindow(window) && AsWindow(window)->hasUpdate;
}

void* ForegroundWindow() {
  return State().foreground;
}

std::vector<Window*> Controls(const void* parent) {
  std::vector<Window*> result;
  for (Window* window : State().windows) {
    if (window->isControl && window->owner == parent) result.push_back(window);
  }
  return result;
}

void* FindControl(const void* parent, int id) {
  for (Window* control : Controls(parent)) {
    if (control->id == id) return control;
  }
  return nullptr;
}

platform::ControlClass ControlClassOf(const void* control) {
  Window* w = AsWindow(control);
  return w ? w->controlClass : platform::ControlClass::kStatic;
}

platform::Rect ControlRect(const void* control) {
  Window* w = AsWindow(control);
  return w && w->isControl ? w->rect : platform::Rect{};
}

int ControlId(const void* control) {
  Window* w = AsWindow(control);
  return w && w->isControl ? w->id : 0;
}

bool ClickControl(void* control, bool doubleClick) {
  Window* w = AsWindow(control);
  if (!w || !w->isControl) return false;
  QueuedInput item;
  item.kind = QueuedInput::kClick;
  item.control = w;
  item.event.notification = doubleClick ? (w->controlClass == platform::ControlClass::kStatic
                                               ? platform::kStaticDoubleClicked
                                               : platform::kButtonDoubleClicked)
                                        : platform::kButtonClicked;
  return Queue(TopLevelOf(w), std::move(item));
}

bool TypeText(void* control, const std::string& text) {
  Window* w = AsWindow(control);
  if (!w || !w->isControl || w->controlClass != platform::ControlClass::kEdit) return false;
  QueuedInput item;
  item.kind = QueuedInput::kType;
  item.control = w;
  item.text = text;
  return Queue(TopLevelOf(w), std::move(item));
}

bool PressKey(void* window, uint32_t key, char character) {
  QueuedInput item;
  item.kind = QueuedInput::kKey;
  item.key = key;
  item.character = character;
  return Queue(window, std::move(item));
}

bool RequestClose(void* window) {
  QueuedInput item;
  item.event.code = platform::kEventCloseRequest;
  item.event.rawMessage = 0x0010;  // WM_CLOSE
  FillModifiers(&item.event);
  return Queue(window, std::move(item));
}

bool DropFiles(void* window, int x, int y, const std::vector<std::string>& names) {
  Window* w = AsWindow(window);
  if (!w || !w->acceptsDrops) return false;
  QueuedInput item;
  item.event.code = platform::kEventFilesDropped;
  item.event.x = x;
  item.event.y = y;
  item.event.rawMessage = 0x0233;  // WM_DROPFILES
  FillModifiers(&item.event);
  item.names = names;
  return Queue(window, std::move(item));
}

bool MouseDown(void* window, int x, int y, int button, bool doubleClick) {
  Window* w = AsWindow(window);
  if (!w || w->isControl) return false;
  int sx = x, sy = y;
  platform::ClientToScreenPoint(w, &sx, &sy);
  SetPointer(sx, sy);
  SetButton(button, true);
  return QueueMouse(window, button == 0 ? platform::kEventLeftDown : platform::kEventRightDown, x,
                    y, doubleClick);
}

bool MouseUp(void* window, int x, int y, int button) {
  Window* w = AsWindow(window);
  if (!w || w->isControl) return false;
  int sx = x, sy = y;
  platform::ClientToScreenPoint(w, &sx, &sy);
  SetPointer(sx, sy);
  SetButton(button, false);
  return QueueMouse(window, button == 0 ? platform::kEventLeftUp : platform::kEventRightUp, x, y,
                    false);
}

bool MouseMove(void* window, int x, int y) {
  Window* w = AsWindow(window);
  if (!w || w->isControl) return false;
  int sx = x, sy = y;
  platform::ClientToScreenPoint(w, &sx, &sy);
  SetPointer(sx, sy);
  return QueueMouse(window, platform::kEventMouseMove, x, y, false);
}

bool PostEvent(void* window, const platform::PlatformEvent& event) {
  QueuedInput item;
  item.event = event;
  return Queue(window, std::move(item));
}

int QueuedEvents() {
  return int(State().queue.size());
}

void ScheduleAction(uint32_t at, std::function<void()> action) {
  DesktopState& state = State();
  state.timeline.push_back({at, state.timelineOrder++, std::move(action)});
}

void ScheduleMove(uint32_t at, int x, int y) {
  ScheduleAction(at, [x, y] { SetPointer(x, y); });
}

void ScheduleButton(uint32_t at, int button, bool down) {
  ScheduleAction(at, [button, down] { SetButton(button, down); });
}

int ScheduledSteps() {
  return int(State().timeline.size());
}

const PumpCounters& Counters() {
  return State().counters;
}

void PaintNeedyWindows() {
  for (;;) {
    Window* needy = nullptr;
    for (Window* w : State().windows) {
      if (!w->isControl && w->visible && w->hasUpdate) {
        needy = w;
        break;
      }
    }
    if (!needy) break;
    PaintIfNeeded(needy);
  }
}

}  // namespace headless

namespace platform {

using headless::AsWindow;
using headless::State;

void SetEventHandler(EventHandler handler) {
  State().handler = handler;
}

bool PumpWindowMessages(void* window, bool dialogNavigation) {
  headless::Window* target = AsWindow(window);
  State().counters.windowPumps++;
  State().newInput = false;
  if (!target || target->isControl) return false;
  headless::QueuedInput item;
  while (AsWindow(target) && headless::TakeItem(target, &item)) {
    if (headless::ItemLive(item)) headless::Process(item, dialogNavigation);
  }
  headless::PaintIfNeeded(AsWindow(target));
  return true;
}

void PumpThreadMessages() {
  State().counters.threadPumps++;
  State().newInput = false;
  headless::QueuedInput item;
  while (headless::TakeItem(nullptr, &item)) {
    if (headless::ItemLive(item)) headless::Process(item, false);
  }
  headless::DeliverPostedEvents();
  // Paint events come last, as on Windows.
  headless::PaintNeedyWindows();
}

void PumpPaintMessages() {
  State().counters.paintPumps++;
  headless::PaintNeedyWindows();
}

bool HasPendingMessages() {
  State().newInput = false;
  return !State().queue.empty() || headless::NeedsPaint() || headless::HasPostedEvents();
}

void WaitForMessages(uint32_t timeoutMs) {
  headless::DesktopState& state = State();
  state.counters.waits++;
  state.counters.lastTimeout = timeoutMs;
  // Like WaitMessage: only input that arrived since the queue was last looked at ends the wait.
  if (state.newInput || headless::HasPostedEvents()) {
    state.newInput = false;
    return;
  }
  state.counters.blockingWaits++;
  const headless::TimelineStep* next = nullptr;
  for (const headless::TimelineStep& step : state.timeline) {
    if (!next || step.at < next->at || (step.at == next->at && step.order < next->order)) {
      next = &step;
    }
  }
  bool reachable = next && (timeoutMs == kWaitForever || next->at - state.now <= timeoutMs ||
                            int32_t(next->at - state.now) <= 0);
  if (reachable) {
    if (int32_t(next->at - state.now) > 0) {
      state.counters.waitedMs += next->at - state.now;
      state.now = next->at;
    }
    headless::RunDueSteps();
    return;
  }
  if (timeoutMs == kWaitForever) {
    // Only another thread can end this wait: block until it posts. The bound turns a test
    // whose worker never posts into a failure instead of a hang.
    if (headless::WaitForPostedEvent(headless::kPostWaitGuardMs)) return;
    std::fprintf(stderr,
                 "headless: WaitForMessages would block forever: nothing queued, scripted or "
                 "posted\n");
    std::abort();
  }
  state.counters.waitedMs += timeoutMs;
  state.now += timeoutMs;
}

}  // namespace platform
