#include "platform/display_units.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using namespace platform;

static_assert(ScaleUp(481, 192) == 962 && ScaleDown(962, 192) == 481, "usable at compile time");

TEST(DisplayUnits, UnitsAndPixels) {
  struct Case {
    int value;
    int dpi;
    int up, down, at, covering;
  };
  const Case cases[] = {
      {481, 96, 481, 481, 481, 481},   // 100 %: unchanged
      {481, 144, 722, 321, 320, 321},  // 721.5 rounds away from zero
      {481, 192, 962, 241, 240, 241},  // 240.5 rounds away from zero
      {75, 144, 113, 50, 50, 50},      //
      {3, 144, 5, 2, 2, 2},            // 4.5 -> 5; 2 exactly
      {-3, 144, -5, -2, -2, -2},       // symmetric about zero
      {-1, 192, -2, -1, -1, 0},        // -0.5 rounds away; one pixel needs no unit below 0
      {1, 120, 1, 1, 1, 1},            // 1.25 -> 1 and 2.5 -> 3: pixel 1 is unit 1's
      {0, 192, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleUp(c.value, c.dpi), c.up) << c.value << " at " << c.dpi;
    EXPECT_EQ(ScaleDown(c.value, c.dpi), c.down) << c.value << " at " << c.dpi;
    EXPECT_EQ(UnitAtPixel(c.value, c.dpi), c.at) << c.value << " at " << c.dpi;
    EXPECT_EQ(UnitsCovering(c.value, c.dpi), c.covering) << c.value << " at " << c.dpi;
  }
  EXPECT_EQ(ScaleUp(INT_MAX, 192), INT_MAX) << "a width without limit stays without limit";
}

TEST(DisplayUnits, SizesSurviveTheRoundTrip) {
  for (int dpi : {96, 120, 144, 168, 192, 288}) {
    for (int units = -300; units <= 3000; ++units) {
      ASSERT_EQ(ScaleDown(ScaleUp(units, dpi), dpi), units) << units << " units at " << dpi;
      // A pixel maps to the unit whose scaled span holds it.
      int pixel = ScaleUp(units, dpi);
      ASSERT_EQ(UnitAtPixel(pixel, dpi), units) << "pixel " << pixel << " at " << dpi;
      ASSERT_EQ(UnitAtPixel(ScaleUp(units + 1, dpi) - 1, dpi), units)
          << "the last pixel of unit " << units << " at " << dpi;
      ASSERT_EQ(UnitsCovering(pixel, dpi), units) << pixel << " pixels at " << dpi;
      ASSERT_GE(ScaleUp(UnitsCovering(pixel + 1, dpi), dpi), pixel + 1);
    }
  }
}

}  // namespace
