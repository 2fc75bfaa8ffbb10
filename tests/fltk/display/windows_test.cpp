#include "display_fixture.h"  // gtest before Xlib, whose macros clash with it

#include <FL/x.H>
#include <X11/Xutil.h>

#include "platform/drawing.h"
#include "platform/fltk/fltk_state.h"
#include "platform/fltk/fltk_window.h"
#include "platform/gui_window.h"

namespace display_test {
namespace {

Window Xid(void* window) {
  return fl_xid(fltk_backend::AsWindow(window)->window);
}

TEST_F(DisplayTest, MainWindowGeometryMatchesTheServer) {
  void* w = MakeWindow(kMainStyle, 100, 120, 481, 75);
  ASSERT_NE(w, nullptr) << "a decorated window must be created";
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(fl_display, Xid(w), &a));
  EXPECT_EQ(a.width, 481) << "without a window manager the outer size is the client size";
  EXPECT_EQ(a.height, 75);
  EXPECT_FALSE(a.override_redirect) << "a main window is managed";
  int rx = 0, ry = 0;
  Window child;
  XTranslateCoordinates(fl_display, Xid(w), RootWindow(fl_display, fl_screen), 0, 0, &rx, &ry,
                        &child);
  EXPECT_EQ(rx, 100) << "the window must sit where the program put it";
  EXPECT_EQ(ry, 120);

  platform::Rect outer{}, client{};
  ASSERT_TRUE(platform::GetOuterRect(w, &outer));
  ASSERT_TRUE(platform::GetClientArea(w, &client));
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 120);
  EXPECT_EQ(outer.right, 581);
  EXPECT_EQ(outer.bottom, 195);
  EXPECT_EQ(client.right, 481);
  EXPECT_EQ(client.bottom, 75);
  int x = 5, y = 6;
  ASSERT_TRUE(platform::ClientToScreenPoint(w, &x, &y));
  EXPECT_EQ(x, 105);
  EXPECT_EQ(y, 126);
  ASSERT_TRUE(platform::ScreenToClientPoint(w, &x, &y));
  EXPECT_EQ(x, 5) << "screen to client must undo client to screen";
  EXPECT_EQ(y, 6);
  platform::Rect adjusted{0, 0, 400, 100};
  ASSERT_TRUE(platform::AdjustRectForStyle(kMainStyle, &adjusted));
  EXPECT_EQ(adjusted.right - adjusted.left, 400) << "no window manager, no frame";
}

TEST_F(DisplayTest, TitleStyleAndVisibility) {
  void* w = MakeWindow(kMainStyle, 10, 10, 200, 100);
  ASSERT_NE(w, nullptr);
  const char* title = "Tessaly KRN 2 HTML (Drag and drop files on this window to convert)";
  ASSERT_TRUE(platform::SetNativeWindowTitle(w, title));
  Settle();
  char* name = nullptr;
  ASSERT_TRUE(XFetchName(fl_display, Xid(w), &name)) << "the title must reach the server";
  EXPECT_STREQ(name, title);
  XFree(name);
  EXPECT_EQ(platform::GetNativeWindowStyle(w), kMainStyle | platform::kStyleVisible);
  EXPECT_TRUE(platform::IsNativeWindowVisible(w));
  ASSERT_TRUE(platform::ShowNativeWindow(w, false));
  EXPECT_FALSE(platform::IsNativeWindowVisible(w));
  EXPECT_EQ(platform::GetNativeWindowStyle(w), kMainStyle) << "hidden windows lose WS_VISIBLE";
  EXPECT_TRUE(platform::EnableNativeWindow(w, false));
  EXPECT_FALSE(platform::IsNativeWindowEnabled(w));
  EXPECT_TRUE(platform::EnableNativeWindow(w, true));
  EXPECT_TRUE(platform::IsNativeWindowEnabled(w));
}

TEST_F(DisplayTest, PopupIsBorderlessAndUnmanaged) {
  void* p = MakeWindow(kPopupStyle, 300, 200, 160, 60);
  ASSERT_NE(p, nullptr);
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(fl_display, Xid(p), &a));
  EXPECT_TRUE(a.override_redirect) << "the window manager must leave a pop-up list alone";
  EXPECT_EQ(a.width, 160);
  EXPECT_EQ(a.height, 60);
  EXPECT_EQ(a.map_state, IsViewable) << "the list must be on screen right after it is shown";
}

TEST_F(DisplayTest, DestroyedHandlesAreRejected) {
  void* w = platform::CreateFrameWindow(nullptr, kMainStyle);
  ASSERT_NE(w, nullptr);
  void* button = platform::CreateChildControl(w, platform::ControlClass::kButton, 0x50810000,
                                              {1, 1, 50, 20}, "x");
  ASSERT_NE(button, nullptr);
  void* dc = platform::GetWindowDrawContext(w);
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(platform::DestroyNativeWindow(w));
  // The main window's rebuild releases its context after the window is gone.
  platform::ReleaseWindowDrawContext(w, dc);
  EXPECT_FALSE(platform::SetDrawTextColour(dc, 0)) << "a dead window's context is refused";
  platform::DrawObject brush = platform::CreateDrawBrush(0);
  EXPECT_FALSE(platform::DrawFillRect(dc, {0, 0, 5, 5}, brush));
  EXPECT_EQ(platform::WindowFromDrawContext(dc), nullptr);
  platform::DeleteDrawObject(brush);
  EXPECT_FALSE(platform::IsNativeWindow(w)) << "a destroyed window must not be taken for live";
  EXPECT_FALSE(platform::IsNativeWindow(button)) << "controls go with their window";
  platform::Rect r{};
  EXPECT_FALSE(platform::GetOuterRect(w, &r));
  EXPECT_FALSE(platform::SetNativeWindowTitle(w, "x"));
  EXPECT_FALSE(platform::DestroyNativeWindow(w));
  EXPECT_EQ(platform::CreateFrameWindow(w, kMainStyle), nullptr) << "a dead owner is refused";
  EXPECT_FALSE(platform::IsNativeWindow(nullptr));
  auto closes = Seen(platform::kEventCloseRequest);
  ASSERT_EQ(closes.size(), 1u) << "destroying sends one WM_DESTROY-like close request";
  EXPECT_EQ(closes[0].window, w);
  Settle(50);
}

}  // namespace
}  // namespace display_test
