#include "display_fixture.h"  // gtest before Xlib, whose macros clash with it

#include <FL/x.H>

#include <chrono>
#include <ctime>

#include "platform/drawing.h"
#include "platform/gui_input.h"
#include "platform/gui_window.h"

namespace display_test {
namespace {

constexpr uint32_t kRed = 0x0000FF;  // COLORREF: red in the low byte
constexpr uint32_t kBlue = 0xFF0000;

TEST_F(DisplayTest, PaintEventsDrawThroughBeginAndEndPaint) {
  onPaint = [](platform::PlatformEvent* event) {
    platform::Rect area{};
    while (platform::GetUpdateBounds(event->window, &area)) {
      platform::Rect paintRect{};
      void* dc = platform::BeginNativePaint(event->window, &paintRect);
      ASSERT_NE(dc, nullptr);
      platform::DrawObject brush = platform::CreateDrawBrush(kRed);
      platform::DrawFillRect(dc, {10, 10, 30, 30}, brush);
      platform::EndNativePaint(event->window, dc);
      platform::DeleteDrawObject(brush);
    }
  };
  void* w = MakeWindow(kMainStyle, 40, 40, 200, 100);
  ASSERT_TRUE(PumpUntil([&] { return PixelAt(w, 20, 20) == 0xFF0000; }))
      << "the toolkit's painting must reach the screen; pixel is " << std::hex
      << PixelAt(w, 20, 20);
  EXPECT_NE(PixelAt(w, 35, 20), 0xFF0000u) << "right is exclusive";
  EXPECT_FALSE(Seen(platform::kEventPaint).empty());
  EXPECT_FALSE(platform::GetUpdateBounds(w, nullptr)) << "painting validates the window";

  events.clear();
  ASSERT_TRUE(platform::InvalidateNativeWindow(w, nullptr, true));
  platform::Rect bounds{};
  ASSERT_TRUE(platform::GetUpdateBounds(w, &bounds));
  EXPECT_EQ(bounds.right, 200);
  EXPECT_EQ(bounds.bottom, 100);
  ASSERT_TRUE(platform::HasPendingMessages()) << "an invalid window is pending work";
  ASSERT_TRUE(PumpUntil([&] { return !Seen(platform::kEventPaint).empty(); }))
      << "invalidating must bring a paint event";
}

TEST_F(DisplayTest, DirectDrawingLinesEllipsesAndText) {
  void* w = MakeWindow(kMainStyle, 40, 40, 200, 100);
  void* dc = platform::GetWindowDrawContext(w);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(platform::WindowFromDrawContext(dc), w);
  platform::DrawObject pen = platform::CreateDrawPen(platform::kPenSolid, 1, kBlue);
  platform::DrawObject old = platform::SelectDrawObject(dc, pen);
  EXPECT_EQ(old, platform::GetStockDrawObject(platform::kStockBlackPen))
      << "a fresh context holds the black pen";
  platform::DrawMoveTo(dc, 10, 50);
  ASSERT_TRUE(platform::DrawLineTo(dc, 20, 50));
  platform::DrawObject brush = platform::CreateDrawBrush(kRed);
  platform::SelectDrawObject(dc, brush);
  ASSERT_TRUE(platform::DrawEllipse(dc, {100, 10, 140, 50}));
  platform::ReleaseWindowDrawContext(w, dc);
  EXPECT_EQ(PixelAt(w, 10, 50), 0x0000FFu) << "the pen's colour, red and blue not swapped";
  EXPECT_EQ(PixelAt(w, 19, 50), 0x0000FFu);
  EXPECT_NE(PixelAt(w, 20, 50), 0x0000FFu) << "a line stops before its end point";
  EXPECT_EQ(PixelAt(w, 120, 30), 0xFF0000u) << "an ellipse is filled with the brush";
  EXPECT_FALSE(platform::DeleteDrawObject(brush)) << "a selected object is not deleted";
  platform::SelectDrawObject(dc, platform::GetStockDrawObject(platform::kStockBlackBrush));
  platform::SelectDrawObject(dc, old);
  EXPECT_TRUE(platform::DeleteDrawObject(brush));
  EXPECT_TRUE(platform::DeleteDrawObject(pen));
  EXPECT_FALSE(platform::DeleteDrawObject(pen)) << "a deleted object is gone";

  platform::FontSpec wanted{};
  wanted.height = -11;
  wanted.weight = 180;
  wanted.face = "Arial";
  platform::DrawObject font = platform::CreateDrawFont(wanted);
  ASSERT_NE(font, nullptr);
  platform::SelectDrawObject(dc, font);
  int fit = -1, width = 0, height = 0;
  const char* text = "Convert KRN/KRQ File to HTML...";
  ASSERT_TRUE(platform::MeasureDrawText(dc, text, 31, 60, &fit, &width, &height));
  EXPECT_GT(width, 60) << "this text is wider than 60 pixels in an 11-pixel font";
  EXPECT_GT(fit, 0);
  EXPECT_LT(fit, 31) << "only part of it fits in 60 pixels";
  EXPECT_GE(height, 11);
  platform::SetDrawTransparent(dc);
  platform::SetDrawTextColour(dc, 0x000000);
  int drawn = platform::DrawTextInRect(dc, "one two three four", 18, {10, 60, 70, 100},
                                       platform::kTextWordBreak | platform::kTextNoPrefix);
  EXPECT_GE(drawn, 2 * height) << "word breaking in 60 pixels needs at least two lines";
  platform::SelectDrawObject(dc, platform::GetStockDrawObject(platform::kStockSystemFont));
  EXPECT_TRUE(platform::DeleteDrawObject(font));
  EXPECT_GE(platform::GetDrawCaps(dc, platform::kCapsLogPixelsY), 48);
  EXPECT_EQ(platform::GetDrawCaps(dc, platform::kCapsBitsPixel), 24);
}

TEST_F(DisplayTest, PointerAndButtons) {
  ASSERT_TRUE(platform::SetPointerPosition(33, 44));
  int x = 0, y = 0;
  ASSERT_TRUE(platform::GetPointerPosition(&x, &y));
  EXPECT_EQ(x, 33);
  EXPECT_EQ(y, 44);
  EXPECT_FALSE(platform::IsMouseButtonDown(0));
  ButtonAt(33, 44, true);
  EXPECT_TRUE(platform::IsMouseButtonDown(0)) << "the held button must be seen without pumping";
  EXPECT_FALSE(platform::IsMouseButtonDown(1));
  ButtonAt(33, 44, false);
  EXPECT_FALSE(platform::IsMouseButtonDown(0));
  EXPECT_FALSE(platform::IsMouseButtonDown(2)) << "only buttons 0 and 1 exist";
  EXPECT_EQ(platform::GetScreenWidth(), 1024);
  EXPECT_EQ(platform::GetScreenHeight(), 768);
  Settle(50);
}

TEST_F(DisplayTest, WaitBlocksWithoutSpinning) {
  Settle();
  ASSERT_FALSE(platform::HasPendingMessages()) << "a settled desktop has nothing to do";
  std::clock_t cpu = std::clock();
  auto start = std::chrono::steady_clock::now();
  platform::WaitForMessages(300);
  auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - start)
                    .count();
  double cpuMs = double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
  EXPECT_GE(waited, 250) << "the wait must block up to its timeout when nothing comes";
  EXPECT_LT(cpuMs, 100.0) << "the wait must sleep, not spin";
}

}  // namespace
}  // namespace display_test
