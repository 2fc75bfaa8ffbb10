#include "platform/fltk/display_scale.h"

#include <gtest/gtest.h>

namespace {

using namespace fltk_backend;

TEST(DisplayScale, XftDpiIsReadFromTheResources) {
  struct Case {
    const char* resources;
    int dpi;
    const char* why;
  };
  const Case cases[] = {
      {"Xft.dpi:\t192\n", 192, "as xrdb -query prints it"},
      {"Xcursor.size:\t24\nXft.dpi:\t144\nXft.hinting:\t1\n", 144, "among other resources"},
      {"Xft.dpi: 96", 96, "last line without a newline"},
      {"Xft.dpi:\t120.4\n", 120, "fractions are rounded"},
      {"Xft.antialias:\t1\n", 0, "no Xft.dpi"},
      {"Xft.dpi:\tlarge\n", 0, "not a number"},
      {"Xft.dpi:\t20\n", 0, "implausibly small"},
      {"Xft.dpi:\t5000\n", 0, "implausibly large"},
      {"MyXft.dpi:\t192\n", 0, "another resource's name"},
      {"", 0, "empty resources"},
      {nullptr, 0, "no resources at all"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(XftDpiFromResources(c.resources), c.dpi) << c.why;
  }
}

TEST(DisplayScale, FactorsBecomeDpi) {
  struct Case {
    const char* text;
    int dpi;
  };
  const Case cases[] = {
      {"1", 96},   {"1.5", 144}, {"2", 192}, {"150%", 144}, {" 2 ", 192}, {"1.25", 120},
      {"0.5", 48}, {"4", 384},   {"0.4", 0}, {"4.5", 0},    {"2x", 0},    {"", 0},
      {"abc", 0},  {"%", 0},     {"nan", 0}, {nullptr, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleDpiFromFactor(c.text), c.dpi) << (c.text ? c.text : "(null)");
  }
}

TEST(DisplayScale, SettingsArePickedInOrder) {
  struct Case {
    DesktopScaleSettings settings;
    int dpi;
    int fontDpi;
    const char* why;
  };
  const Case cases[] = {
      {{nullptr, nullptr, nullptr}, 96, 0, "nothing set: 100 % and the screen's own font DPI"},
      {{nullptr, nullptr, "Xft.dpi:\t144\n"}, 144, 96, "Xft.dpi alone sets both"},
      {{nullptr, nullptr, "Xft.dpi:\t96\n"}, 96, 96, "a desktop at 100 %"},
      {{nullptr, "2", "Xft.dpi:\t96\n"}, 192, 96, "GDK_SCALE before Xft.dpi; text grows with it"},
      {{nullptr, "2", "Xft.dpi:\t192\n"}, 192, 96, "GDK_SCALE with a matching Xft.dpi"},
      {{nullptr, "1.5", "Xft.dpi:\t144\n"}, 144, 96, "GDK_SCALE takes whole factors only"},
      {{"1.5", "2", "Xft.dpi:\t192\n"}, 144, 96, "the program's override first"},
      {{"2", nullptr, nullptr}, 192, 0, "the override without any desktop setting"},
      {{"banana", nullptr, "Xft.dpi:\t192\n"}, 192, 96, "a bad override is ignored"},
  };
  for (const Case& c : cases) {
    DesktopScale scale = ScaleFromSettings(c.settings);
    EXPECT_EQ(scale.dpi, c.dpi) << c.why;
    EXPECT_EQ(scale.fontDpi, c.fontDpi) << c.why;
  }
}

}  // namespace
