// The headless drawing surfaces: object lifetimes, text layout and metrics,
// clipping, resizing and context bookkeeping.
#include "platform/headless/headless_surface.h"

#include <gtest/gtest.h>

#include "platform/drawing.h"

namespace {

TEST(HeadlessSurfaceTest, ObjectsSelectRestoreAndDelete) {
  int window = 0;
  int live = headless::LiveDrawObjects();
  headless::Surface* s = headless::CreateSurface(&window, 40, 20);
  ASSERT_NE(s, nullptr);
  platform::DeviceContext dc = s;
  EXPECT_EQ(platform::WindowFromDrawContext(dc), &window);
  EXPECT_EQ(headless::FindSurface(&window), s);

  platform::DrawObject pen = platform::CreateDrawPen(platform::kPenSolid, 2, 0x0000FF);
  ASSERT_NE(pen, nullptr);
  EXPECT_EQ(headless::DescribeDrawObject(pen).colour, 0xFF0000u)
      << "0x00BBGGRR red reads back as 0x00RRGGBB red";
  platform::DrawObject previous = platform::SelectDrawObject(dc, pen);
  ASSERT_NE(previous, nullptr) << "a fresh surface has a default pen";
  EXPECT_FALSE(platform::DeleteDrawObject(pen)) << "a selected object cannot be deleted";
  EXPECT_EQ(platform::SelectDrawObject(dc, previous), pen);
  EXPECT_TRUE(platform::DeleteDrawObject(pen));
  EXPECT_FALSE(platform::DeleteDrawObject(pen)) << "a deleted handle is unknown";
  EXPECT_EQ(platform::SelectDrawObject(dc, pen), nullptr) << "and cannot be selected";
  EXPECT_TRUE(platform::DeleteDrawObject(platform::GetStockDrawObject(platform::kStockBlackPen)))
      << "stock objects ignore deletion";
  EXPECT_NE(platform::GetStockDrawObject(platform::kStockBlackPen), nullptr);
  EXPECT_EQ(platform::GetStockDrawObject(99), nullptr);
  EXPECT_EQ(headless::LiveDrawObjects(), live);

  EXPECT_EQ(platform::SelectDrawObject(nullptr, previous), nullptr) << "null context";
  EXPECT_EQ(platform::GetDrawCaps(dc, platform::kCapsLogPixelsY), 96);
  EXPECT_EQ(platform::GetDrawCaps(dc, platform::kCapsBitsPixel), 24);
  headless::DestroySurface(s);
  EXPECT_EQ(headless::FindSurface(&window), nullptr);
  EXPECT_EQ(platform::WindowFromDrawContext(dc), nullptr) << "destroyed surface is unknown";
}

TEST(HeadlessSurfaceTest, TextMetricsAndLayout) {
  headless::Surface* s = headless::CreateSurface(nullptr, 100, 60);
  platform::FontSpec wanted{};
  wanted.height = -10;
  wanted.weight = 400;
  wanted.face = "Arial";
  platform::DrawObject font = platform::CreateDrawFont(wanted);
  platform::DrawObject old = platform::SelectDrawObject(s, font);

  int fit = -1, width = -1, height = -1;
  ASSERT_TRUE(platform::MeasureDrawText(s, "abcdefgh", 8, 23, &fit, &width, &height));
  EXPECT_EQ(fit, 4) << "5 pixels per character, 23 pixels hold 4";
  EXPECT_EQ(width, 40) << "width of the whole text";
  EXPECT_EQ(height, 10);
  ASSERT_TRUE(platform::MeasureDrawText(s, "ab", 2, 1000, &fit, &width, &height));
  EXPECT_EQ(fit, 2) << "fit never exceeds the length";
  EXPECT_FALSE(platform::MeasureDrawText(s, nullptr, 3, 10, &fit, &width, &height));

  // Word breaks split at blanks; a line feed always breaks.
  int drawn =
      platform::DrawTextInRect(s, "aa bb cc\ndd", -1, {0, 0, 30, 60}, platform::kTextWordBreak);
  EXPECT_EQ(drawn, 30) << "three lines of 10 pixels: 'aa bb', 'cc', 'dd'";
  EXPECT_EQ(headless::SurfacePixel(s, 2, 5), 0u) << "first glyph";
  EXPECT_EQ(headless::SurfacePixel(s, 12, 5), 0xFFFFFFu) << "blank has no glyph";
  EXPECT_EQ(headless::SurfacePixel(s, 2, 15), 0u) << "'cc' on the second line";
  EXPECT_EQ(headless::SurfacePixel(s, 2, 25), 0u) << "'dd' on the third line";

  // Single line: vertical centring and clipping to the rectangle.
  headless::FillSurface(s, 0xFFFFFF);
  platform::DrawTextInRect(s, "abcdefgh", 8, {0, 30, 20, 60},
                           platform::kTextSingleLine | platform::kTextVCenter);
  EXPECT_EQ(headless::SurfacePixel(s, 2, 45), 0u) << "centred line around y 45";
  EXPECT_EQ(headless::SurfacePixel(s, 2, 33), 0xFFFFFFu);
  EXPECT_EQ(headless::SurfacePixel(s, 22, 45), 0xFFFFFFu) << "clipped at the right";
  platform::DrawTextInRect(s, "abcdefgh", 8, {0, 30, 20, 60},
                           platform::kTextSingleLine | platform::kTextNoClip);
  EXPECT_EQ(headless::SurfacePixel(s, 22, 35), 0u) << "not clipped with DT_NOCLIP";

  platform::SelectDrawObject(s, old);
  platform::DeleteDrawObject(font);
  headless::DestroySurface(s);
}

TEST(HeadlessSurfaceTest, ResizeKeepsPixelsAndContextsBalance) {
  int window = 0;
  headless::Surface* s = headless::CreateSurface(&window, 10, 10);
  platform::DrawObject brush = platform::CreateDrawBrush(0x00FF00);
  ASSERT_TRUE(platform::DrawFillRect(s, {0, 0, 10, 10}, brush));
  EXPECT_FALSE(platform::DrawFillRect(s, {0, 0, 10, 10}, nullptr)) << "no brush, no fill";
  headless::ResizeSurface(s, 20, 5);
  EXPECT_EQ(headless::SurfaceWidth(s), 20);
  EXPECT_EQ(headless::SurfaceHeight(s), 5);
  EXPECT_EQ(headless::SurfacePixel(s, 9, 4), 0x00FF00u) << "kept pixel";
  EXPECT_EQ(headless::SurfacePixel(s, 15, 4), 0xFFFFFFu) << "new pixel is white";
  EXPECT_EQ(headless::SurfacePixel(s, 9, 5), headless::kNoPixel) << "cut off";
  EXPECT_EQ(headless::SurfacePixel(s, -1, 0), headless::kNoPixel);

  int before = headless::OutstandingDrawContexts();
  platform::DeviceContext dc = platform::GetWindowDrawContext(&window);
  EXPECT_EQ(dc, s);
  EXPECT_EQ(headless::OutstandingDrawContexts(), before + 1);
  platform::ReleaseWindowDrawContext(&window, dc);
  platform::ReleaseWindowDrawContext(&window, dc);
  EXPECT_EQ(headless::OutstandingDrawContexts(), before) << "a double release is ignored";
  int other = 0;
  EXPECT_EQ(platform::GetWindowDrawContext(&other), nullptr) << "window without surface";
  platform::DeviceContext screen = platform::GetScreenDrawContext();
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(platform::WindowFromDrawContext(screen), nullptr) << "the screen has no window";
  platform::ReleaseScreenDrawContext(screen);
  EXPECT_EQ(headless::OutstandingDrawContexts(), before);

  EXPECT_TRUE(platform::DeleteDrawObject(brush));
  headless::DestroySurface(s);
}

}  // namespace
