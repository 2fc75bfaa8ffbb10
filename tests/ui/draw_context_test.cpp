// DrawContext through the headless backend: fonts, colours, pens, brushes,
// shapes, wrapped text and colour blending.
#include "ui/draw_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/headless/headless_surface.h"
#include "ui/gdi_brush.h"
#include "ui/gdi_font.h"
#include "ui/gdi_pen.h"
#include "ui/toolkit_runtime.h"

namespace {

using headless::DrawOp;
using headless::DrawOpKind;

class DrawContextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ToolkitStart(nullptr, false)) << "toolkit did not start";
    liveObjects = headless::LiveDrawObjects();
    surface = headless::CreateSurface(&fakeWindow, 200, 100);
    ASSERT_NE(surface, nullptr);
    originalPen = headless::SelectedPen(surface);
    originalBrush = headless::SelectedBrush(surface);
    originalFont = headless::SelectedFont(surface);
  }
  void TearDown() override {
    headless::FailDrawObjectCreation(false, false, false);
    EXPECT_EQ(headless::SelectedPen(surface), originalPen) << "pen not restored";
    EXPECT_EQ(headless::SelectedBrush(surface), originalBrush) << "brush not restored";
    EXPECT_EQ(headless::SelectedFont(surface), originalFont) << "font not restored";
    headless::DestroySurface(surface);
    EXPECT_EQ(headless::LiveDrawObjects(), liveObjects) << "drawing objects leaked";
    EXPECT_EQ(headless::OutstandingDrawContexts(), 0) << "a context was not given back";
    ToolkitContext* context = GetToolkitContext();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->bytesInUse, 0) << "toolkit allocator still holds bytes";
    ToolkitStop();
  }

  std::vector<DrawOp> Ops(DrawOpKind kind) const {
    std::vector<DrawOp> out;
    for (const DrawOp& op : headless::SurfaceOps(surface)) {
      if (op.kind == kind) out.push_back(op);
    }
    return out;
  }

  int fakeWindow = 0;
  int liveObjects = 0;
  headless::Surface* surface = nullptr;
  platform::DrawObject originalPen = nullptr;
  platform::DrawObject originalBrush = nullptr;
  platform::DrawObject originalFont = nullptr;
};

TEST_F(DrawContextTest, AttachesWithBlackAndDefaults) {
  DrawContext draw(surface);
  EXPECT_TRUE(draw.active);
  EXPECT_TRUE(draw.borrowed) << "an attached context is always borrowed";
  EXPECT_EQ(draw.window, &fakeWindow) << "window must come from the context";
  EXPECT_EQ(draw.dc, surface);
  EXPECT_EQ(draw.penWidth, 1);
  EXPECT_EQ(draw.penStyle, 0);
  EXPECT_EQ(draw.textMode, 2);
  ASSERT_NE(draw.pen, nullptr) << "construction sets the colour, so a pen exists";
  ASSERT_NE(draw.brush, nullptr);
  EXPECT_EQ(headless::DescribeDrawObject(headless::SelectedPen(surface)).colour, 0u);
  EXPECT_TRUE(headless::SurfaceTransparent(surface));

  DrawContext idle(nullptr);
  EXPECT_FALSE(idle.active);
  EXPECT_EQ(idle.pen, nullptr);
  EXPECT_FALSE(idle.FillRectangle({0, 0, 10, 10})) << "inactive wrapper has no brush";
  EXPECT_FALSE(idle.DrawTextIn({0, 0, 10, 10}, "x"));
  EXPECT_FALSE(idle.SetColour(1, 2, 3)) << "inactive wrapper creates no objects";
}

TEST_F(DrawContextTest, SetFontWeightSizeAndAngle) {
  DrawContext draw(surface);
  ASSERT_TRUE(draw.SetFont("Arial", 8, 0.1f, 0, 0, false, false, false));
  auto info = headless::DescribeDrawObject(headless::SelectedFont(surface));
  EXPECT_EQ(info.font.weight, 180) << "100 + 0.1 x 800";
  EXPECT_EQ(info.font.height, -11) << "8 points at 96 dpi, rounded, negated";
  EXPECT_STREQ(info.font.face, "Arial");
  EXPECT_FALSE(info.font.fixedPitch);
  EXPECT_FALSE(info.font.italic);

  ASSERT_TRUE(draw.SetFont("Times", 9, 0.5f, 0, 45.0f, true, true, true));
  info = headless::DescribeDrawObject(headless::SelectedFont(surface));
  EXPECT_EQ(info.font.weight, 500) << "100 + 0.5 x 800";
  EXPECT_EQ(info.font.height, -12);
  EXPECT_EQ(info.font.escapement, 450) << "angle in tenths of a degree";
  EXPECT_EQ(info.font.orientation, 450);
  EXPECT_TRUE(info.font.italic && info.font.underline && info.font.strikeOut);
  EXPECT_TRUE(draw.italic);
  EXPECT_FLOAT_EQ(draw.fontSize, 9.0f);

  ASSERT_TRUE(draw.SetFont("Arial", 8, 0.9999f, 0, 0, false, false, false));
  info = headless::DescribeDrawObject(headless::SelectedFont(surface));
  EXPECT_EQ(info.font.weight, 899) << "weight is truncated, not rounded";
}

TEST_F(DrawContextTest, SetFontWithoutContextUsesScreenResolution) {
  DrawContext idle(nullptr);
  EXPECT_TRUE(idle.SetFont("Arial", 12, 0.5f, 0, 0, false, false, false));
  ASSERT_NE(idle.font, nullptr);
  auto info = headless::DescribeDrawObject(idle.font->handle);
  EXPECT_EQ(info.font.height, -16) << "12 points on the screen's 96 dpi";
  EXPECT_EQ(idle.font->dc, nullptr) << "nothing to select into";
  idle.Release();
}

TEST_F(DrawContextTest, CourierBecomesFixedArialOnWindows95Only) {
  DisplayState* display = GetDisplayState();
  ASSERT_NE(display, nullptr);
  uint32_t saved = display->platform;
  DrawContext draw(surface);

  display->platform = 3;
  ASSERT_TRUE(draw.SetFont("Courier", 9, 0.5f, 0, 0, false, false, false));
  auto info = headless::DescribeDrawObject(headless::SelectedFont(surface));
  EXPECT_STREQ(info.font.face, "Arial") << "Windows 95 family replaces Courier";
  EXPECT_TRUE(info.font.fixedPitch);
  ASSERT_TRUE(draw.SetFont("Courier New", 9, 0.5f, 0, 0, false, false, false));
  info = headless::DescribeDrawObject(headless::SelectedFont(surface));
  EXPECT_STREQ(info.font.face, "Arial") << "any face containing Courier";
  ASSERT_TRUE(draw.SetFont("Verdana", 9, 0.5f, 0, 0, false, false, false));
  info = headless::DescribeDrawObject(headless::SelectedFont(surface));
  EXPECT_STREQ(info.font.face, "Verdana");
  EXPECT_FALSE(info.font.fixedPitch);

  display->platform = 1;
  ASSERT_TRUE(draw.SetFont("Courier", 9, 0.5f, 0, 0, false, false, false));
  info = headless::DescribeDrawObject(headless::SelectedFont(surface));
  EXPECT_STREQ(info.font.face, "Courier") << "other platforms keep Courier";
  EXPECT_FALSE(info.font.fixedPitch) << "and variable pitch";
  display->platform = saved;
}

TEST_F(DrawContextTest, SetColourRedTextBrushAndPen) {
  DrawContext draw(surface);
  ASSERT_TRUE(draw.SetPenWidth(3));
  ASSERT_TRUE(draw.SetColour(255, 0, 0));
  EXPECT_EQ(headless::SurfaceTextColour(surface), 0xFF0000u) << "text colour";
  EXPECT_TRUE(headless::SurfaceTransparent(surface)) << "background mode";
  auto pen = headless::DescribeDrawObject(headless::SelectedPen(surface));
  EXPECT_EQ(pen.kind, headless::DrawObjectInfo::kPen);
  EXPECT_EQ(pen.colour, 0xFF0000u) << "pen colour";
  EXPECT_EQ(pen.penWidth, 3) << "pen keeps the current width";
  auto brush = headless::DescribeDrawObject(headless::SelectedBrush(surface));
  EXPECT_EQ(brush.colour, 0xFF0000u) << "brush colour";
  EXPECT_EQ(draw.red, 255);
  EXPECT_EQ(draw.green, 0);

  ASSERT_TRUE(draw.FillRectangle({10, 10, 20, 20}));
  EXPECT_EQ(headless::SurfacePixel(surface, 10, 10), 0xFF0000u);
  EXPECT_EQ(headless::SurfacePixel(surface, 19, 19), 0xFF0000u);
  EXPECT_EQ(headless::SurfacePixel(surface, 20, 20), 0xFFFFFFu) << "right/bottom exclusive";

  draw.SetColour(0, 0, 255);
  draw.MovePenTo(50, 50);
  draw.LineTo(60, 50);
  auto lines = Ops(DrawOpKind::kLine);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].colour, 0x0000FFu) << "blue pen, platform value converted back";
  EXPECT_EQ(lines[0].penWidth, 3);
  EXPECT_EQ(headless::SurfacePixel(surface, 55, 50), 0x0000FFu);
  EXPECT_EQ(headless::SurfacePixel(surface, 55, 51), 0x0000FFu) << "3-pixel-wide pen";
}

TEST_F(DrawContextTest, PenStyles) {
  DrawContext draw(surface);
  ASSERT_TRUE(draw.SetPenStyle(2));
  EXPECT_FALSE(draw.SetPenStyle(7)) << "unknown style refused";
  EXPECT_EQ(draw.penStyle, 2);
  draw.MovePenTo(0, 5);
  draw.LineTo(30, 5);
  auto lines = Ops(DrawOpKind::kLine);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].penStyle, 2);
  int inked = 0;
  for (int x = 0; x < 30; ++x) inked += headless::SurfacePixel(surface, x, 5) == 0;
  EXPECT_EQ(inked, 15) << "dotted: 3 on, 3 off";
}

TEST_F(DrawContextTest, FailedCreationFallsBackToStockObjects) {
  DrawContext draw(surface);
  headless::FailDrawObjectCreation(true, true, true);
  EXPECT_TRUE(draw.SetColour(0, 255, 0)) << "stock objects stand in";
  auto pen = headless::DescribeDrawObject(headless::SelectedPen(surface));
  EXPECT_TRUE(pen.stock) << "stock black pen";
  EXPECT_EQ(pen.colour, 0u);
  auto brush = headless::DescribeDrawObject(headless::SelectedBrush(surface));
  EXPECT_TRUE(brush.stock && !brush.nullBrush) << "stock black brush";
  EXPECT_TRUE(draw.SetFont("Arial", 8, 0.1f, 0, 0, false, false, false));
  auto font = headless::DescribeDrawObject(headless::SelectedFont(surface));
  EXPECT_TRUE(font.stock) << "system font";

  DrawContext idle(nullptr);
  EXPECT_FALSE(idle.SetFont("Arial", 8, 0.1f, 0, 0, false, false, false))
      << "without a context a failed font is no font";
  headless::FailDrawObjectCreation(false, false, false);
}

TEST_F(DrawContextTest, ReleaseRestoresPreviousObjects) {
  {
    DrawContext draw(surface);
    draw.SetFont("Arial", 8, 0.1f, 0, 0, false, false, false);
    draw.SetColour(1, 2, 3);
    EXPECT_NE(headless::SelectedPen(surface), originalPen);
    EXPECT_GT(headless::LiveDrawObjects(), liveObjects);
    draw.Release();
    EXPECT_FALSE(draw.active);
    EXPECT_EQ(draw.dc, nullptr);
    EXPECT_EQ(headless::SelectedPen(surface), originalPen) << "release restores the pen";
    EXPECT_EQ(headless::SelectedBrush(surface), originalBrush);
    EXPECT_EQ(headless::SelectedFont(surface), originalFont);
    EXPECT_EQ(headless::LiveDrawObjects(), liveObjects) << "release deletes its objects";
  }
  // Nested wrappers on one context restore in reverse order.
  GdiPen* outer = new GdiPen(surface, 0, 1, 0x0000FF);
  GdiPen* inner = new GdiPen(surface, 0, 1, 0x00FF00);
  EXPECT_EQ(inner->previous, outer->handle);
  delete inner;
  EXPECT_EQ(headless::SelectedPen(surface), outer->handle);
  delete outer;
}

TEST_F(DrawContextTest, RectanglesAndEllipses) {
  DrawContext draw(surface);
  draw.SetColour(0, 0, 0);
  ASSERT_TRUE(draw.FrameRectangle({10, 10, 20, 15}));
  auto lines = Ops(DrawOpKind::kLine);
  ASSERT_EQ(lines.size(), 4u) << "four sides";
  EXPECT_EQ(lines[0].left, 10);
  EXPECT_EQ(lines[0].top, 10);
  EXPECT_EQ(lines[0].right, 19) << "right side at right - 1";
  EXPECT_EQ(lines[1].bottom, 14) << "bottom side at bottom - 1";
  EXPECT_EQ(lines[3].right, 10);
  EXPECT_EQ(lines[3].bottom, 10) << "back to the start";
  EXPECT_EQ(headless::SurfacePixel(surface, 19, 14), 0u) << "bottom-right corner inked";
  EXPECT_EQ(headless::SurfacePixel(surface, 20, 15), 0xFFFFFFu) << "outline stays inside";
  EXPECT_EQ(headless::SurfacePixel(surface, 15, 12), 0xFFFFFFu) << "inside not filled";

  draw.SetColour(0, 128, 0);
  ASSERT_TRUE(draw.FillEllipse({100, 10, 140, 50}));
  EXPECT_EQ(headless::SurfacePixel(surface, 120, 30), 0x008000u) << "filled centre";
  platform::DrawObject brushBefore = headless::SelectedBrush(surface);
  ASSERT_TRUE(draw.FrameEllipse({150, 10, 190, 50}));
  EXPECT_EQ(headless::SelectedBrush(surface), brushBefore) << "hollow brush only for the call";
  EXPECT_EQ(headless::SurfacePixel(surface, 170, 30), 0xFFFFFFu) << "frame leaves centre";
  EXPECT_EQ(headless::SurfacePixel(surface, 150, 30), 0x008000u) << "outline at the edge";
  auto ellipses = Ops(DrawOpKind::kEllipse);
  ASSERT_EQ(ellipses.size(), 2u);
  EXPECT_TRUE(ellipses[0].filled);
  EXPECT_FALSE(ellipses[1].filled);
}

// Sets an 8-point font: line height 11 pixels, 5 pixels per character.
void UseEightPoints(DrawContext& draw) {
  ASSERT_TRUE(draw.SetFont("Arial", 8, 0.1f, 0, 0, false, false, false));
}

TEST_F(DrawContextTest, DrawTextInWrapsRunByRun) {
  DrawContext draw(surface);
  UseEightPoints(draw);
  constexpr int kLine = 11;
  // Ten characters fit in 50 pixels; twenty need two runs.
  ASSERT_TRUE(draw.DrawTextIn({0, 0, 50, 60}, "abcdefghijklmnopqrst"));
  auto texts = Ops(DrawOpKind::kText);
  ASSERT_EQ(texts.size(), 2u) << "two runs";
  EXPECT_EQ(texts[0].text, "abcdefghij");
  EXPECT_EQ(texts[1].text, "klmnopqrst");
  EXPECT_EQ(texts[0].top, 0);
  EXPECT_EQ(texts[1].top, kLine) << "second run one line lower";
  EXPECT_EQ(texts[1].bottom, 60);
  EXPECT_EQ(texts[0].flags, platform::kTextNoPrefix | platform::kTextWordBreak);
  // Glyphs land in the buffer: first run on line 0, second on line 1.
  EXPECT_EQ(headless::SurfacePixel(surface, 2, 5), 0u) << "glyph of 'a'";
  EXPECT_EQ(headless::SurfacePixel(surface, 2, kLine + 5), 0u) << "glyph of 'k'";

  // A rectangle exactly one line high: the second run gets zero height, then stop.
  headless::ClearSurfaceOps(surface);
  ASSERT_TRUE(draw.DrawTextIn({0, 20, 50, 20 + kLine}, "abcdefghijklmnopqrstuvwxyz01234"));
  texts = Ops(DrawOpKind::kText);
  ASSERT_EQ(texts.size(), 2u) << "the loop stops once the top passes the bottom";
  EXPECT_EQ(texts[1].top, 20 + kLine);
  EXPECT_EQ(texts[1].bottom, 20 + kLine) << "zero-height second rectangle";
}

TEST_F(DrawContextTest, DrawTextInModesAndFlags) {
  DrawContext draw(surface);
  UseEightPoints(draw);
  EXPECT_FALSE(draw.DrawTextIn({0, 0, 50, 50}, nullptr));
  EXPECT_FALSE(draw.DrawTextIn({0, 0, 50, 50}, ""));
  EXPECT_TRUE(Ops(DrawOpKind::kText).empty()) << "nothing drawn for no text";

  draw.SetTextMode(0);
  draw.DrawTextIn({0, 0, 50, 50}, "abcdefghijklmno");
  auto texts = Ops(DrawOpKind::kText);
  ASSERT_EQ(texts.size(), 2u) << "mode 0 still runs line by line";
  EXPECT_EQ(texts[0].flags, platform::kTextNoPrefix) << "mode 0 has no word breaks";

  headless::ClearSurfaceOps(surface);
  draw.SetTextMode(1);
  draw.SetHorizontalAlign(1);
  draw.SetVerticalAlign(2);
  draw.DrawTextIn({0, 0, 50, 50}, "abcdefghijklmno");
  texts = Ops(DrawOpKind::kText);
  ASSERT_EQ(texts.size(), 1u) << "other modes draw in one call";
  EXPECT_EQ(texts[0].text, "abcdefghijklmno");
  EXPECT_EQ(texts[0].flags,
            platform::kTextNoPrefix | platform::kTextCenter | platform::kTextBottom);

  headless::ClearSurfaceOps(surface);
  headless::FillSurface(surface, 0xFFFFFF);
  draw.SetTextMode(2);
  draw.SetHorizontalAlign(2);
  draw.SetVerticalAlign(1);
  draw.SetFont("Times", 8, 0.5f, 0, 0, true, false, false);
  draw.DrawTextIn({0, 0, 50, 50}, "abc");
  texts = Ops(DrawOpKind::kText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].flags, platform::kTextNoPrefix | platform::kTextWordBreak |
                                platform::kTextRight | platform::kTextVCenter |
                                platform::kTextNoClip)
      << "right-aligned italic text is not clipped";
  EXPECT_EQ(headless::SurfacePixel(surface, 47, 5), 0u) << "right-aligned glyph at the end";
  EXPECT_EQ(headless::SurfacePixel(surface, 2, 5), 0xFFFFFFu) << "nothing at the left";
}

TEST_F(DrawContextTest, DrawTextInTooNarrowEnds) {
  DrawContext draw(surface);
  UseEightPoints(draw);
  // Narrower than one character: nothing ever fits; the call must return.
  EXPECT_TRUE(draw.DrawTextIn({0, 0, 3, 100000}, "abc"));
  EXPECT_TRUE(Ops(DrawOpKind::kText).empty());
}

// floor(b + (a - b) x t / 256) per channel, computed one channel at a time.
uint32_t ReferenceBlend(uint32_t a, uint32_t b, int t) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    int c = cb + static_cast<int>(std::floor((ca - cb) * t / 256.0));
    out |= static_cast<uint32_t>(c) << shift;
  }
  return out;
}

TEST(BlendColourTest, ExactValues) {
  EXPECT_EQ(BlendColour(0xFFFFFF, 0x808080, 128), 0xBFBFBFu) << "191 in each channel";
  EXPECT_EQ(BlendColour(0x123456, 0xABCDEF, 0), 0xABCDEFu) << "t = 0 gives b";
  EXPECT_EQ(BlendColour(0x123456, 0xABCDEF, 255), 0x123456u) << "t = 255 gives a";
  EXPECT_EQ(BlendColour(0x123456, 0xABCDEF, 1000), 0x123456u) << "t above 255 gives a";
  EXPECT_EQ(BlendColour(0x123456, 0xABCDEF, -4), 0xABCDEFu) << "negative t gives b";
  // Channels of mixed direction must not disturb each other.
  const uint32_t colours[] = {0x000000, 0xFFFFFF, 0xFF00FF, 0x00FF00, 0x10F020,
                              0xF0100F, 0x808080, 0x7F8081, 0x01FE02};
  for (uint32_t a : colours) {
    for (uint32_t b : colours) {
      for (int t : {1, 2, 64, 127, 128, 129, 200, 254}) {
        ASSERT_EQ(BlendColour(a, b, t), ReferenceBlend(a, b, t))
            << std::hex << "a=" << a << " b=" << b << std::dec << " t=" << t;
      }
    }
  }
}

}  // namespace
