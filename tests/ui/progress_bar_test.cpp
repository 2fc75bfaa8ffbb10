// ProgressBar through the headless backend: the part done, its colours and its caption.
#include "ui/progress_bar.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/headless/headless_surface.h"
#include "ui/toolkit_runtime.h"

namespace {

TEST(ProgressBar, PartDoneIsHeldToItsRange) {
  struct Case {
    uint64_t done, total;
    uint32_t permille;
  } cases[] = {
      {0, 0, 0},
      {5, 0, 0},
      {0, 10, 0},
      {1, 3, 333},
      {3, 3, 1000},
      {7, 3, 1000},
      {1ull << 40, 1ull << 41, 500},
      {UINT64_MAX / 2, UINT64_MAX, 500},
  };
  for (const Case& c : cases) {
    ProgressBar bar;
    bar.SetProgress(c.done, c.total);
    EXPECT_EQ(bar.Permille(), c.permille) << c.done << " of " << c.total;
  }
}

TEST(ProgressBar, PaintsTheDonePartTheRestAndTheCaption) {
  ASSERT_TRUE(ToolkitStart(nullptr, false));
  int fakeWindow = 0;
  headless::Surface* surface = headless::CreateSurface(&fakeWindow, 220, 40);
  ASSERT_NE(surface, nullptr);
  ProgressBar bar;
  bar.bounds = platform::DrawRect{10, 5, 210, 35};
  bar.SetProgress(1, 4);
  ASSERT_TRUE(bar.SetCaption("Reading a.krn: 25%"));
  bar.Paint(surface);
  // The inner width is 198 pixels from x = 11: a quarter is done up to x = 60.
  EXPECT_EQ(headless::SurfacePixel(surface, 12, 8), kProgressDoneColour);
  EXPECT_EQ(headless::SurfacePixel(surface, 58, 32), kProgressDoneColour);
  EXPECT_EQ(headless::SurfacePixel(surface, 62, 8), kProgressRestColour);
  EXPECT_EQ(headless::SurfacePixel(surface, 205, 32), kProgressRestColour);
  EXPECT_EQ(headless::SurfacePixel(surface, 10, 20), kProgressFrameColour);
  EXPECT_EQ(headless::SurfacePixel(surface, 209, 20), kProgressFrameColour);
  EXPECT_EQ(headless::SurfacePixel(surface, 5, 20), 0xFFFFFFu) << "nothing outside the bar";
  bool captioned = false;
  for (const headless::DrawOp& op : headless::SurfaceOps(surface)) {
    captioned = captioned || (op.kind == headless::DrawOpKind::kText && op.text == bar.Caption());
  }
  EXPECT_TRUE(captioned) << "the caption is drawn over the bar";
  headless::DestroySurface(surface);
  EXPECT_EQ(GetToolkitContext()->bytesInUse, 0) << "toolkit allocator still holds bytes";
  ToolkitStop();
}

}  // namespace
