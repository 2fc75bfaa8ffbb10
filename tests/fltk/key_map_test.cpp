#include "platform/fltk/key_map.h"

#include <FL/Enumerations.H>
#include <gtest/gtest.h>

namespace {

using fltk_backend::VirtualKeyForFltkKey;

TEST(KeyMap, PrintableKeys) {
  EXPECT_EQ(VirtualKeyForFltkKey('a'), 'A') << "letters report the upper-case VK code";
  EXPECT_EQ(VirtualKeyForFltkKey('z'), 'Z');
  EXPECT_EQ(VirtualKeyForFltkKey('Q'), 'Q');
  EXPECT_EQ(VirtualKeyForFltkKey('0'), '0');
  EXPECT_EQ(VirtualKeyForFltkKey('9'), '9');
  EXPECT_EQ(VirtualKeyForFltkKey(' '), 0x20);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_KP + '0'), 0x60) << "VK_NUMPAD0";
  EXPECT_EQ(VirtualKeyForFltkKey(FL_KP + '9'), 0x69) << "VK_NUMPAD9";
}

TEST(KeyMap, NamedKeysMatchFltkNumbers) {
  // Uses FLTK's own constants, so a wrong number in the table shows up here.
  EXPECT_EQ(VirtualKeyForFltkKey(FL_BackSpace), 0x08);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Tab), 0x09);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Enter), 0x0D);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_KP_Enter), 0x0D);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Escape), 0x1B);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Left), 0x25);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Up), 0x26);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Right), 0x27);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Down), 0x28);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Home), 0x24);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_End), 0x23);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Page_Up), 0x21);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Page_Down), 0x22);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Insert), 0x2D);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Delete), 0x2E);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Shift_L), 0x10);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Control_R), 0x11);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Alt_L), 0x12);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_Caps_Lock), 0x14);
  EXPECT_EQ(VirtualKeyForFltkKey(FL_F + 1), 0x70) << "VK_F1";
  EXPECT_EQ(VirtualKeyForFltkKey(FL_F + 12), 0x7B) << "VK_F12";
  EXPECT_EQ(VirtualKeyForFltkKey(FL_KP + '+'), 0x6B) << "VK_ADD";
}

TEST(KeyMap, UnknownKeysGiveZero) {
  EXPECT_EQ(VirtualKeyForFltkKey(0), 0);
  EXPECT_EQ(VirtualKeyForFltkKey('~'), 0) << "punctuation has no fixed VK code";
  EXPECT_EQ(VirtualKeyForFltkKey(FL_F + 30), 0) << "there is no VK_F30";
  EXPECT_EQ(VirtualKeyForFltkKey(-5), 0);
}

}  // namespace
