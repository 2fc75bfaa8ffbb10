// The desktop backend at 150 % (run with KRN2HTML_SCALE=1.5, the "Scaled"
// cases only): the toolkit's units become pixels at the seam and back.
#include "display_fixture.h"  // gtest before Xlib, whose macros clash with it

#include <FL/fl_draw.H>
#include <FL/x.H>

#include "platform/display_units.h"
#include "platform/drawing.h"
#include "platform/fltk/fltk_state.h"
#include "platform/fltk/fltk_window.h"
#include "platform/gui_controls.h"
#include "platform/gui_input.h"
#include "platform/gui_window.h"

namespace display_test {
namespace {

constexpr uint32_t kRed = 0x0000FF;  // COLORREF: red in the low byte

class Scaled : public DisplayTest {
 public:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_EQ(fltk_backend::ScaleDpi(), 144) << "run with KRN2HTML_SCALE=1.5";
  }
};

Window Xid(void* window) {
  return fl_xid(fltk_backend::AsWindow(window)->window);
}

TEST_F(Scaled, WindowsArePlacedAndSizedInPixelsAndReportUnits) {
  void* w = MakeWindow(kMainStyle, 100, 120, 481, 75);
  ASSERT_NE(w, nullptr);
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(fl_display, Xid(w), &a));
  EXPECT_EQ(a.width, 722) << "481 units are 721.5 pixels, rounded away from zero";
  EXPECT_EQ(a.height, 113);
  int rx = 0, ry = 0;
  Window child;
  XTranslateCoordinates(fl_display, Xid(w), RootWindow(fl_display, fl_screen), 0, 0, &rx, &ry,
                        &child);
  EXPECT_EQ(rx, 150);
  EXPECT_EQ(ry, 180);

  platform::Rect outer{}, client{};
  ASSERT_TRUE(platform::GetOuterRect(w, &outer));
  ASSERT_TRUE(platform::GetClientArea(w, &client));
  EXPECT_EQ(outer.left, 100) << "the toolkit reads back the units it asked for";
  EXPECT_EQ(outer.top, 120);
  EXPECT_EQ(outer.right, 581);
  EXPECT_EQ(outer.bottom, 195);
  EXPECT_EQ(client.right, 481);
  EXPECT_EQ(client.bottom, 75);
  int x = 5, y = 6;
  ASSERT_TRUE(platform::ClientToScreenPoint(w, &x, &y));
  EXPECT_EQ(x, 105);
  EXPECT_EQ(y, 126);
  EXPECT_EQ(platform::GetScreenWidth(), 683) << "1024 pixels are 682.7 units";
  EXPECT_EQ(platform::GetScreenHeight(), 512);
}

TEST_F(Scaled, ControlsAreScaledByTheirEdges) {
  void* w = MakeWindow(kMainStyle, 20, 20, 400, 100);
  ASSERT_NE(w, nullptr);
  void* edit = platform::CreateChildControl(w, platform::ControlClass::kEdit,
                                            platform::kStyleChild | platform::kStyleVisible,
                                            {151, 25, 347, 50}, "text");
  ASSERT_NE(edit, nullptr);
  Fl_Widget* widget = fltk_backend::AsWindow(edit)->widget;
  EXPECT_EQ(widget->x(), 227) << "151 units are 226.5 pixels";
  EXPECT_EQ(widget->y(), 38);
  EXPECT_EQ(widget->x() + widget->w(), 521) << "the right edge is 347 units, 520.5 pixels";
  EXPECT_EQ(widget->y() + widget->h(), 75);
  platform::Rect outer{};
  ASSERT_TRUE(platform::GetOuterRect(edit, &outer));
  EXPECT_EQ(outer.left, 20 + 151);
  EXPECT_EQ(outer.top, 20 + 25);
  EXPECT_EQ(outer.right, 20 + 347);
  EXPECT_EQ(outer.bottom, 20 + 50);
  ASSERT_TRUE(platform::MoveNativeWindow(edit, 0, 0, 10, 10, false));
  EXPECT_EQ(widget->w(), 15);
}

TEST_F(Scaled, ClicksArriveInUnits) {
  void* w = MakeWindow(kMainStyle, 100, 100, 200, 100);
  ASSERT_NE(w, nullptr);
  struct Case {
    int pixelX, pixelY;  // in the client area
    int unitX, unitY;
  };
  // Unit 40 covers pixels 60 and 61 (60 to 61.5); unit 41 starts at pixel 62.
  const Case cases[] = {{60, 45, 40, 30}, {61, 46, 40, 30}, {62, 47, 41, 31}, {0, 0, 0, 0}};
  for (const Case& c : cases) {
    events.clear();
    ClickAt(150 + c.pixelX, 150 + c.pixelY);
    ASSERT_TRUE(PumpUntil([&] { return !Seen(platform::kEventLeftUp).empty(); }))
        << "no click at pixel " << c.pixelX << "," << c.pixelY;
    auto down = Seen(platform::kEventLeftDown);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].x, c.unitX) << "pixel " << c.pixelX;
    EXPECT_EQ(down[0].y, c.unitY) << "pixel " << c.pixelY;
  }
  int px = 0, py = 0;
  ASSERT_TRUE(platform::SetPointerPosition(100, 50));
  ASSERT_TRUE(platform::GetPointerPosition(&px, &py));
  EXPECT_EQ(px, 100) << "the pointer is read back in units";
  EXPECT_EQ(py, 50);
}

TEST_F(Scaled, PaintingFillsThePixelsOfTheUnits) {
  onPaint = [](platform::PlatformEvent* event) {
    platform::Rect area{};
    while (platform::GetUpdateBounds(event->window, &area)) {
      platform::Rect paintRect{};
      void* dc = platform::BeginNativePaint(event->window, &paintRect);
      ASSERT_NE(dc, nullptr);
      EXPECT_LE(paintRect.right, 200) << "the paint rectangle is in units";
      platform::DrawObject brush = platform::CreateDrawBrush(kRed);
      platform::DrawFillRect(dc, {10, 10, 30, 30}, brush);
      platform::EndNativePaint(event->window, dc);
      platform::DeleteDrawObject(brush);
    }
  };
  void* w = MakeWindow(kMainStyle, 40, 40, 200, 100);
  ASSERT_TRUE(PumpUntil([&] { return PixelAt(w, 20, 20) == 0xFF0000; }))
      << "pixel is " << std::hex << PixelAt(w, 20, 20);
  EXPECT_EQ(PixelAt(w, 15, 15), 0xFF0000u) << "10 units start at pixel 15";
  EXPECT_NE(PixelAt(w, 14, 15), 0xFF0000u);
  EXPECT_EQ(PixelAt(w, 44, 44), 0xFF0000u) << "30 units end before pixel 45";
  EXPECT_NE(PixelAt(w, 45, 44), 0xFF0000u);
  platform::Rect bounds{};
  ASSERT_TRUE(platform::InvalidateNativeWindow(w, nullptr, true));
  ASSERT_TRUE(platform::GetUpdateBounds(w, &bounds));
  EXPECT_EQ(bounds.right, 200) << "the update area is read back in units";
  EXPECT_EQ(bounds.bottom, 100);
}

TEST_F(Scaled, LinesAndTextGrowWithTheScale) {
  void* w = MakeWindow(kMainStyle, 40, 40, 200, 100);
  void* dc = platform::GetWindowDrawContext(w);
  ASSERT_NE(dc, nullptr);
  platform::DrawObject pen = platform::CreateDrawPen(platform::kPenSolid, 1, kRed);
  platform::DrawObject old = platform::SelectDrawObject(dc, pen);
  platform::DrawMoveTo(dc, 10, 50);
  ASSERT_TRUE(platform::DrawLineTo(dc, 20, 50));
  Settle();
  EXPECT_EQ(PixelAt(w, 15, 75), 0xFF0000u) << "the line starts at pixel 15 of row 75";
  EXPECT_EQ(PixelAt(w, 29, 75), 0xFF0000u) << "and ends before pixel 30 (unit 20)";
  EXPECT_NE(PixelAt(w, 30, 75), 0xFF0000u) << "the end point is not drawn";
  EXPECT_EQ(PixelAt(w, 15, 76), 0xFF0000u) << "unit row 50 is pixel rows 75 and 76";
  EXPECT_NE(PixelAt(w, 15, 74), 0xFF0000u);
  EXPECT_NE(PixelAt(w, 15, 77), 0xFF0000u);
  platform::SelectDrawObject(dc, old);
  platform::DeleteDrawObject(pen);

  // The same font measures about 1.5 times its unscaled size in pixels, so its
  // extent in units is close to what the toolkit laid out at 100 %.
  platform::FontSpec wanted{};
  wanted.height = -20;
  wanted.weight = 400;
  wanted.face = "Arial";
  platform::DrawObject font = platform::CreateDrawFont(wanted);
  platform::DrawObject oldFont = platform::SelectDrawObject(dc, font);
  int fit = 0, width = 0, height = 0;
  ASSERT_TRUE(platform::MeasureDrawText(dc, "Convert", 7, 1000, &fit, &width, &height));
  fl_font(fltk_backend::FontIndex(fltk_backend::FontFamily::kSans, false, false), 30);
  int pixels = int(fl_width("Convert", 7) + 0.5);
  EXPECT_GE(platform::ScaleUp(width, 144), pixels) << "the units cover the 30-pixel font's width";
  EXPECT_LT(platform::ScaleUp(width - 1, 144), pixels) << "and no more units than that";
  EXPECT_GE(height, 20);
  EXPECT_LE(height, 30);
  EXPECT_EQ(fit, 7);
  platform::SelectDrawObject(dc, oldFont);
  platform::DeleteDrawObject(font);
  platform::ReleaseWindowDrawContext(w, dc);
}

}  // namespace
}  // namespace display_test
