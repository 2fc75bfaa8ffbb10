// Toolkit windows: frame kinds, geometry, painting, sizing, drops and the
// translation of platform events into toolkit events.
#include "ui/toolkit_window.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/gui_window.h"
#include "platform/headless/headless_surface.h"
#include "tests/ui/toolkit_fixture.h"

namespace {

using platform::Rect;

class ToolkitWindowTest : public ToolkitTest {};

bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const Rect& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

TEST_F(ToolkitWindowTest, FrameKindsGiveTheirStylesAndClientSizes) {
  const uint32_t styles[7] = {0x86000000, 0x86800000, 0x86C00000, 0x86C40000,
                              0x86CB0000, 0x86CF0000, 0x86EF0000};
  for (int kind = 0; kind <= 6; ++kind) {
    void* window = CreateToolkitWindow(nullptr, 30, 40, 400, 100, kind);
    ASSERT_NE(window, nullptr) << "kind " << kind;
    EXPECT_EQ(headless::WindowStyle(window), styles[kind]) << "style of kind " << kind;
    EXPECT_FALSE(headless::IsVisible(window)) << "windows are created hidden";
    Rect client = headless::ClientRect(window);
    EXPECT_EQ(client.right - client.left, 400) << "client width of kind " << kind;
    EXPECT_EQ(client.bottom - client.top, 100) << "client height of kind " << kind;
    Rect outer = headless::OuterRect(window);
    EXPECT_EQ(outer.left, 30) << "outer corner of kind " << kind;
    EXPECT_EQ(outer.top, 40);
    EXPECT_TRUE(DestroyToolkitWindow(window));
  }
  EXPECT_EQ(FrameKindStyle(7), 0u) << "a kind outside 0-6 has style 0";
  EXPECT_EQ(FrameKindStyle(-1), 0u);
  void* main = CreateToolkitWindow(nullptr, 0, 0, 400, 100, 4);
  Rect outer = headless::OuterRect(main);
  EXPECT_EQ(outer.right - outer.left, 406) << "caption frame: 3 px each side";
  EXPECT_EQ(outer.bottom - outer.top, 129) << "caption frame: 26 px on top, 3 below";
  EXPECT_EQ(headless::CursorCalls(), 0);
}

TEST_F(ToolkitWindowTest, BoundsInsetsAndConversions) {
  void* window = CreateToolkitWindow(nullptr, 100, 50, 200, 80, 4);
  Rect rect{};
  ASSERT_TRUE(GetWindowBounds(window, false, &rect));
  EXPECT_TRUE(rect == (Rect{0, 0, 200, 80})) << Show(rect);
  ASSERT_TRUE(GetWindowBounds(window, true, &rect));
  EXPECT_TRUE(rect == (Rect{-3, -26, 203, 83})) << "outer in own client coordinates " << Show(rect);
  ASSERT_TRUE(GetFrameInsets(window, &rect));
  EXPECT_TRUE(rect == (Rect{3, 26, 3, 3})) << Show(rect);

  Rect swapped{10, 20, 0, 5};
  ASSERT_TRUE(ClientToScreenRect(window, &swapped));
  EXPECT_TRUE(swapped == (Rect{103, 81, 113, 96})) << "normalised screen rect " << Show(swapped);
  ASSERT_TRUE(ScreenToClientRect(window, &swapped));
  EXPECT_TRUE(swapped == (Rect{0, 5, 10, 20})) << Show(swapped);

  EXPECT_FALSE(GetWindowBounds(nullptr, true, &rect));
  EXPECT_FALSE(GetWindowBounds(window, true, nullptr));
  EXPECT_FALSE(ClientToScreenRect(nullptr, &rect));
  EXPECT_FALSE(MoveWindowTo(nullptr, 1, 1));
  EXPECT_FALSE(GetFrameInsets(nullptr, &rect));
}

TEST_F(ToolkitWindowTest, MoveSizeAndCentre) {
  void* window = CreateToolkitWindow(nullptr, 0, 0, 100, 50, 4);
  ASSERT_TRUE(MoveWindowTo(window, 70, 80));
  Rect outer = headless::OuterRect(window);
  EXPECT_TRUE(outer == (Rect{70, 80, 176, 159})) << "size kept " << Show(outer);
  ASSERT_TRUE(SetClientSize(window, 300, 200));
  outer = headless::OuterRect(window);
  EXPECT_TRUE(outer == (Rect{70, 80, 376, 309})) << "top-left kept " << Show(outer);
  Rect wanted{5, 6, 105, 56};
  ASSERT_TRUE(SetWindowRect(window, &wanted));
  EXPECT_TRUE(headless::OuterRect(window) == wanted);

  headless::SetScreenSize(1024, 768);
  ASSERT_TRUE(CenterWindow(window, nullptr));
  outer = headless::OuterRect(window);
  EXPECT_EQ(outer.left, 512 - 50);
  EXPECT_EQ(outer.top, 384 - 25);

  void* other = CreateToolkitWindow(nullptr, 0, 0, 201, 101, 1);  // outer 203 x 103
  ASSERT_TRUE(CenterWindow(window, other));
  outer = headless::OuterRect(window);
  EXPECT_EQ(outer.left, 0 + 203 / 2 - 100 / 2) << "integer halves";
  EXPECT_EQ(outer.top, 0 + 103 / 2 - 50 / 2);
}

TEST_F(ToolkitWindowTest, ShowEnableFocusForegroundAndCursor) {
  void* window = OpenWindow();
  ASSERT_TRUE(ShowToolkitWindow(window));
  EXPECT_TRUE(headless::IsVisible(window));
  ASSERT_TRUE(SetForegroundToolkitWindow(window));
  EXPECT_EQ(headless::ForegroundWindow(), window);
  EXPECT_EQ(GetFocusWindow(), window);
  ASSERT_TRUE(EnableToolkitWindow(window, false));
  EXPECT_FALSE(IsToolkitWindowEnabled(window));
  ASSERT_TRUE(EnableToolkitWindow(window, true));
  EXPECT_TRUE(IsToolkitWindowEnabled(window));
  EXPECT_FALSE(IsToolkitWindowEnabled(nullptr));

  headless::SetPointer(200, 150);
  int x = 0, y = 0;
  ASSERT_TRUE(GetCursorPosition(nullptr, &x, &y));
  EXPECT_EQ(x, 200);
  EXPECT_EQ(y, 150);
  ASSERT_TRUE(GetCursorPosition(window, &x, &y));
  EXPECT_EQ(x, 200 - 13) << "client coordinates: window at x 10 plus 3 px border";
  EXPECT_EQ(y, 150 - 46) << "client coordinates: window at y 20 plus 26 px top";
  ASSERT_TRUE(SetCursorPosition(window, 0, 0));
  EXPECT_EQ(headless::Pointer(), std::make_pair(13, 46));
  headless::SetButton(0, true);
  EXPECT_TRUE(IsMouseButtonDown(0));
  EXPECT_FALSE(IsMouseButtonDown(1));
  EXPECT_FALSE(IsMouseButtonDown(2)) << "only buttons 0 and 1 exist";
}

TEST_F(ToolkitWindowTest, PaintIsDeliveredUntilTheUpdateRegionIsEmpty) {
  void* window = OpenWindow();
  ShowToolkitWindow(window);
  int* paints = new int(0);
  recorder.actions[{window, platform::kEventPaint}] = [window, paints](ToolkitEvent* event) {
    // The first paint invalidates part of the window again: a second paint must follow.
    if (++*paints == 1) {
      Rect again{5, 5, 20, 20};
      platform::InvalidateNativeWindow(window, &again, true);
    }
    EXPECT_NE(event->deviceContext, nullptr) << "paint without a device context";
    return uint8_t(0);
  };
  InvalidateAll(window);
  ASSERT_TRUE(UpdateToolkitWindow(window));
  EXPECT_EQ(*paints, 2) << "paint must repeat while an update region exists";
  EXPECT_FALSE(headless::HasUpdateRegion(window));
  std::vector<SeenEvent> paintEvents;
  for (const SeenEvent& seen : recorder.events) {
    if (seen.code == platform::kEventPaint) paintEvents.push_back(seen);
  }
  ASSERT_EQ(paintEvents.size(), 2u);
  EXPECT_TRUE(paintEvents[0].event.rect == (Rect{0, 0, 400, 100}))
      << Show(paintEvents[0].event.rect);
  EXPECT_TRUE(paintEvents[1].event.rect == (Rect{5, 5, 20, 20})) << Show(paintEvents[1].event.rect);
  EXPECT_EQ(paintEvents[0].event.deviceContext, headless::FindSurface(window))
      << "the paint context is the window's surface";
  EXPECT_EQ(headless::SurfaceWidth(headless::FindSurface(window)), 400);
  delete paints;
}

TEST_F(ToolkitWindowTest, DropsArriveAsPathBuffersAndLongNamesStayEmpty) {
  void* window = OpenWindow();
  ASSERT_TRUE(platform::AcceptDroppedFiles(window, true));
  std::string longName = "Z:\\" + std::string(297, 'a');  // 300 characters
  std::string exact = "Z:\\" + std::string(256, 'b');     // 259 characters: fits
  int32_t held = GetToolkitContext()->bytesInUse;
  ASSERT_TRUE(headless::DropFiles(window, 12, 34, {"Z:\\tmp\\scene.krn", longName, exact}));
  platform::PumpWindowMessages(window, true);
  ASSERT_EQ(recorder.Count(window, platform::kEventFilesDropped), 1);
  const SeenEvent& drop = recorder.events.back();
  EXPECT_EQ(drop.event.x, 12);
  EXPECT_EQ(drop.event.y, 34);
  ASSERT_EQ(drop.dropped.size(), 3u) << "the count includes the long name";
  EXPECT_EQ(drop.dropped[0], "Z:\\tmp\\scene.krn");
  EXPECT_EQ(drop.dropped[1], "") << "a 300-character name must arrive empty";
  EXPECT_EQ(drop.dropped[2], exact) << "259 characters fit";
  EXPECT_EQ(GetToolkitContext()->bytesInUse, held) << "the DropInfo must be freed after delivery";
}

TEST_F(ToolkitWindowTest, SizingConvertsTheProposedRectangleBothWays) {
  void* window = OpenWindow();  // outer (10, 20)-(416, 149)
  recorder.actions[{window, platform::kEventSizing}] = [](ToolkitEvent* event) {
    event->rect.right = event->rect.left + 300;  // force the client width to 300
    return uint8_t(1);
  };
  platform::PlatformEvent sizing{};
  sizing.window = window;
  sizing.code = platform::kEventSizing;
  sizing.sizing = {10, 20, 516, 249};  // user drags to 506 x 229 outer
  EXPECT_EQ(ToolkitWindowProc(&sizing), 1);
  const SeenEvent& seen = recorder.events.back();
  EXPECT_TRUE(seen.event.rect == (Rect{0, 0, 500, 200}))
      << "proposed client rectangle " << Show(seen.event.rect);
  EXPECT_TRUE(sizing.sizing == (Rect{10, 20, 316, 249}))
      << "accepted rectangle back in screen terms " << Show(sizing.sizing);

  recorder.actions[{window, platform::kEventSizing}] = [](ToolkitEvent* event) {
    event->rect.right = 1;
    return uint8_t(0);
  };
  sizing.sizing = {10, 20, 516, 249};
  EXPECT_EQ(ToolkitWindowProc(&sizing), 0);
  EXPECT_TRUE(sizing.sizing == (Rect{10, 20, 516, 249})) << "an answer of 0 changes nothing";
}

TEST_F(ToolkitWindowTest, EventTranslationFlags) {
  void* window = OpenWindow();
  headless::SetModifiers({true, false, true, true});
  headless::MouseDown(window, 7, 9, 0, true);
  headless::PressKey(window, 'Q', 'q');
  platform::PumpWindowMessages(window, false);
  ASSERT_GE(recorder.events.size(), 5u);
  const ToolkitEvent& down = recorder.events[1].event;
  EXPECT_EQ(down.code, platform::kEventLeftDown);
  EXPECT_EQ(down.x, 7);
  EXPECT_EQ(down.y, 9);
  EXPECT_TRUE(down.doubleClick);
  EXPECT_TRUE(down.shift);
  EXPECT_FALSE(down.control);
  EXPECT_FALSE(down.commandKey) << "commandKey repeats control";
  EXPECT_TRUE(down.alt);
  EXPECT_TRUE(down.capsLock);
  EXPECT_EQ(down.source, window);
  const ToolkitEvent& key = recorder.events[2].event;
  EXPECT_EQ(key.code, platform::kEventKeyDown);
  EXPECT_EQ(key.key, uint32_t('Q'));
  EXPECT_EQ(recorder.events[3].event.code, platform::kEventCharacter);
  EXPECT_EQ(recorder.events[3].event.character, 'q');
  EXPECT_EQ(recorder.events[4].event.code, platform::kEventKeyUp);

  platform::PlatformEvent repeatUp{};
  repeatUp.window = window;
  repeatUp.code = platform::kEventKeyUp;
  repeatUp.repeat = true;
  repeatUp.control = true;
  ToolkitWindowProc(&repeatUp);
  EXPECT_FALSE(recorder.events.back().event.repeat) << "key-up events clear repeat";
  EXPECT_TRUE(recorder.events.back().event.commandKey);
  repeatUp.code = platform::kEventKeyDown;
  ToolkitWindowProc(&repeatUp);
  EXPECT_TRUE(recorder.events.back().event.repeat);

  GetDisplayState()->bitsPerPixel = 0;
  platform::PlatformEvent display{};
  display.window = window;
  display.displayChanged = true;
  ToolkitWindowProc(&display);
  EXPECT_EQ(GetDisplayState()->bitsPerPixel, 24u) << "a display change re-reads the depth";

  platform::PlatformEvent unknown{};
  unknown.window = window;
  unknown.code = platform::kEventOther;
  unknown.rawMessage = 0x1234;
  ToolkitWindowProc(&unknown);
  EXPECT_EQ(recorder.events.back().event.code, platform::kEventOther);
  EXPECT_EQ(recorder.events.back().event.rawMessage, 0x1234u);
}

TEST_F(ToolkitWindowTest, UnregisteredWindowsGetNoEvents) {
  void* loose = CreateToolkitWindow(nullptr, 0, 0, 50, 50, 0);
  headless::RequestClose(loose);
  platform::PumpWindowMessages(loose, true);
  EXPECT_TRUE(recorder.events.empty()) << "an unregistered window must get no toolkit event";
  EXPECT_TRUE(headless::IsLive(loose)) << "a close request alone does not destroy a window";
  EXPECT_TRUE(DestroyToolkitWindow(loose));
  EXPECT_FALSE(DestroyToolkitWindow(nullptr));
}

}  // namespace
