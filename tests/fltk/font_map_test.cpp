#include "platform/fltk/font_map.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace fltk_backend;

TEST(FontMap, FacesMapToFamilies) {
  EXPECT_EQ(FamilyForFace("Arial"), FontFamily::kSans) << "the menu widget's face";
  EXPECT_EQ(FamilyForFace("Times"), FontFamily::kSerif) << "the button kinds' italic face";
  EXPECT_EQ(FamilyForFace("Times New Roman"), FontFamily::kSerif);
  EXPECT_EQ(FamilyForFace("Courier"), FontFamily::kMono);
  EXPECT_EQ(FamilyForFace("courier new"), FontFamily::kMono) << "faces ignore case";
  EXPECT_EQ(FamilyForFace("MS Sans Serif"), FontFamily::kSans)
      << "'Sans Serif' must not be taken for a serif face";
  EXPECT_EQ(FamilyForFace(""), FontFamily::kSans);
  EXPECT_EQ(FamilyForFace(nullptr), FontFamily::kSans);
}

TEST(FontMap, WeightsFollowTheFractionRule) {
  EXPECT_EQ(WeightForFraction(0.1), 180) << "the menu widget's item text";
  EXPECT_EQ(WeightForFraction(0.5), 500) << "the menu widget's label";
  EXPECT_EQ(WeightForFraction(0.0), 100);
  EXPECT_EQ(WeightForFraction(1.0), 900);
  EXPECT_EQ(WeightForFraction(-3), 100) << "clamped below";
  EXPECT_EQ(WeightForFraction(7), 900) << "clamped above";
  EXPECT_EQ(WeightForFraction(std::nan("")), 100) << "NaN must not reach the integer cast";
  EXPECT_FALSE(IsBoldWeight(500));
  EXPECT_TRUE(IsBoldWeight(600));
  EXPECT_TRUE(IsBoldWeight(700));
}

TEST(FontMap, PointsBecomePixelsLikeMulDiv) {
  EXPECT_EQ(PixelHeightForPoints(8, 96), 11) << "8 pt at 96 dpi is 10.67 px, rounded";
  EXPECT_EQ(PixelHeightForPoints(9, 96), 12);
  EXPECT_EQ(PixelHeightForPoints(12, 72), 12);
  EXPECT_EQ(PixelHeightForPoints(8.9, 96), 11) << "points are truncated first";
  EXPECT_EQ(PixelHeightForPoints(3, 12), 1) << "0.5 rounds away from zero";
  EXPECT_EQ(PixelHeightForPoints(-8, 96), 11);
  EXPECT_EQ(PixelHeightForPoints(0, 96), 0);
  EXPECT_EQ(PixelHeightForPoints(INFINITY, 96), 0);
}

TEST(FontMap, ScreenDpiFromItsSize) {
  EXPECT_EQ(DpiFromScreenSize(768, 203), 96);
  EXPECT_EQ(DpiFromScreenSize(2160, 336), 163);
  EXPECT_EQ(DpiFromScreenSize(768, 0), 96) << "no physical size: the Windows default";
  EXPECT_EQ(DpiFromScreenSize(768, 5000), 96) << "absurd sizes fall back too";
  EXPECT_EQ(DpiFromScreenSize(0, 200), 96);
}

}  // namespace
