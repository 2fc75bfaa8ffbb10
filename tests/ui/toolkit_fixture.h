// Shared fixture of the toolkit tests: a fresh headless desktop, a started
// toolkit with its window registry, an event recorder, and the leak check.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/headless/headless_desktop.h"
#include "ui/toolkit_event.h"
#include "ui/toolkit_runtime.h"
#include "ui/toolkit_window.h"
#include "ui/window_registry.h"

// One delivered event as the recorder saw it.
struct SeenEvent {
  void* window;
  int32_t code;
  ToolkitEvent event;
  std::vector<std::string> dropped;  // copied from the DropInfo
};

// Records every event and answers from per-window, per-code rules.
class EventRecorder {
 public:
  static EventRecorder& Get() {
    static EventRecorder recorder;
    return recorder;
  }

  static uint8_t Callback(void* window, int32_t code, ToolkitEvent* event) {
    EventRecorder& self = Get();
    SeenEvent seen{window, code, *event, {}};
    if (event->dropInfo) {
      for (uint32_t i = 0; i < event->dropInfo->count; ++i) {
        seen.dropped.push_back(event->dropInfo->files[i].path);
      }
    }
    self.events.push_back(seen);
    auto action = self.actions.find({window, code});
    if (action != self.actions.end()) return action->second(event);
    // Like the main window: destroy the window when it is told it is closing.
    if (code == platform::kEventClosing && self.destroyOnClosing) DestroyToolkitWindow(window);
    return 0;
  }

  void Reset() {
    events.clear();
    actions.clear();
    destroyOnClosing = true;
  }

  // Codes delivered to one window, in order.
  std::vector<int32_t> CodesFor(void* window) const {
    std::vector<int32_t> codes;
    for (const SeenEvent& seen : events) {
      if (seen.window == window) codes.push_back(seen.code);
    }
    return codes;
  }

  int Count(void* window, int32_t code) const {
    int n = 0;
    for (const SeenEvent& seen : events) n += seen.window == window && seen.code == code;
    return n;
  }

  std::vector<SeenEvent> events;
  std::map<std::pair<void*, int32_t>, std::function<uint8_t(ToolkitEvent*)>> actions;
  bool destroyOnClosing = true;
};

class ToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::ResetDesktop();
    EventRecorder::Get().Reset();
    ASSERT_TRUE(ToolkitStart(nullptr, true)) << "toolkit did not start";
    ASSERT_TRUE(AcquireWindowRegistry()) << "no window registry";
  }

  void TearDown() override {
    EventRecorder::Get().Reset();
    if (GetWindowRegistry()) {
      EXPECT_TRUE(ReleaseWindowRegistry());
    }
    headless::ResetDesktop();
    ToolkitContext* context = GetToolkitContext();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->bytesInUse, 0) << "toolkit allocator still holds bytes";
    EXPECT_TRUE(ToolkitStop());
    EXPECT_EQ(GetToolkitContext(), nullptr) << "context outlived the last stop";
  }

  // A registered kind-4 window with the recorder as callback.
  void* OpenWindow(void* parent = nullptr, int32_t interval = -1, int kind = 4) {
    void* window = CreateToolkitWindow(parent, 10, 20, 400, 100, kind);
    EXPECT_NE(window, nullptr) << "window not created";
    EXPECT_TRUE(AttachWindow(window, parent, &EventRecorder::Callback, nullptr, interval, false))
        << "window not attached";
    return window;
  }

  EventRecorder& recorder = EventRecorder::Get();
};
