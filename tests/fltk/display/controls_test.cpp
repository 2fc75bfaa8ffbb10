#include <cstring>

#include "display_fixture.h"
#include "platform/gui_controls.h"
#include "platform/gui_window.h"

namespace display_test {
namespace {

constexpr uint32_t kButtonStyle = 0x50810000;
constexpr uint32_t kEditStyle = 0x50810080;
constexpr uint32_t kStaticStyle = 0x50800100;

TEST_F(DisplayTest, ControlTextsAndIds) {
  void* w = MakeWindow(kMainStyle, 50, 50, 400, 100);
  void* edit = platform::CreateChildControl(w, platform::ControlClass::kEdit, kEditStyle,
                                            {151, 50, 475, 74}, "My Scene");
  void* label = platform::CreateChildControl(w, platform::ControlClass::kStatic, kStaticStyle,
                                             {0, 50, 149, 74}, "TITLE");
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(label, nullptr);
  ASSERT_TRUE(platform::SetControlId(edit, 2000));
  EXPECT_EQ(platform::GetControlId(edit), 2000);
  EXPECT_EQ(platform::GetControlId(label), 0) << "ids are 0 until set";
  char buffer[64];
  EXPECT_EQ(platform::GetControlText(edit, buffer, sizeof buffer), 8);
  EXPECT_STREQ(buffer, "My Scene");
  EXPECT_EQ(platform::GetControlTextLength(edit), 8);
  EXPECT_EQ(platform::GetControlText(edit, buffer, 4), 3) << "size - 1 characters and the NUL";
  EXPECT_STREQ(buffer, "My ");
  ASSERT_TRUE(platform::SetControlText(edit, nullptr));
  EXPECT_EQ(platform::GetControlText(edit, buffer, sizeof buffer), 0) << "null sets the empty text";
  EXPECT_STREQ(buffer, "");
  ASSERT_TRUE(platform::SetControlText(label, "a@b"));
  EXPECT_EQ(platform::GetControlText(label, buffer, sizeof buffer), 3)
      << "the text stays as set, whatever FLTK needs to show it";
  EXPECT_STREQ(buffer, "a@b");
  ASSERT_TRUE(platform::GetControlClassName(edit, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "EDIT");
  ASSERT_TRUE(platform::GetControlClassName(label, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "STATIC");
  EXPECT_FALSE(platform::GetControlClassName(label, buffer, 6)) << "\"STATIC\" needs 7 bytes";
  EXPECT_EQ(platform::CreateChildControl(nullptr, platform::ControlClass::kEdit, kEditStyle,
                                         {0, 0, 1, 1}, ""),
            nullptr);
}

TEST_F(DisplayTest, ButtonClickIsACommandAndLabelsSwallowPresses) {
  void* w = MakeWindow(kMainStyle, 50, 50, 481, 75);
  void* button = platform::CreateChildControl(w, platform::ControlClass::kButton, kButtonStyle,
                                              {21, 1, 454, 23}, "Convert KRN/KRQ File to HTML...");
  void* label = platform::CreateChildControl(w, platform::ControlClass::kStatic, kStaticStyle,
                                             {0, 25, 149, 49}, "HTML template menu:");
  ASSERT_TRUE(platform::SetControlId(button, 1));
  ASSERT_TRUE(platform::SetControlId(label, 1002));
  Settle();
  events.clear();
  ClickAt(50 + 200, 50 + 12);
  ASSERT_TRUE(PumpUntil([&] { return !Seen(platform::kEventCommand).empty(); }))
      << "a click on the button must reach the window as a command";
  auto command = Seen(platform::kEventCommand)[0];
  EXPECT_EQ(command.window, w);
  EXPECT_EQ(command.commandId, 1);
  EXPECT_EQ(command.notification, platform::kButtonClicked);
  EXPECT_EQ(command.sender, button);
  EXPECT_TRUE(Seen(platform::kEventLeftDown).empty()) << "a press on a control is not the window's";

  events.clear();
  ClickAt(50 + 60, 50 + 37);
  Settle();
  EXPECT_TRUE(Seen(platform::kEventLeftDown).empty())
      << "a press on a label must not reach the window (it would move the template selector)";

  events.clear();
  ClickAt(50 + 470, 50 + 60);
  ASSERT_TRUE(PumpUntil([&] { return !Seen(platform::kEventLeftUp).empty(); }))
      << "a press on free space is the window's";
  auto down = Seen(platform::kEventLeftDown);
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(down[0].x, 470) << "mouse events carry client coordinates";
  EXPECT_EQ(down[0].y, 60);
}

TEST_F(DisplayTest, TabMovesTheFocusBetweenEditFields) {
  void* w = MakeWindow(kMainStyle, 80, 80, 481, 125);
  void* first = platform::CreateChildControl(w, platform::ControlClass::kEdit, kEditStyle,
                                             {151, 50, 475, 74}, "one");
  void* label = platform::CreateChildControl(w, platform::ControlClass::kStatic, kStaticStyle,
                                             {0, 75, 149, 99}, "AUTHOR");
  void* second = platform::CreateChildControl(w, platform::ControlClass::kEdit, kEditStyle,
                                              {151, 75, 475, 99}, "two");
  ASSERT_TRUE(first && label && second);
  Settle();
  ClickAt(80 + 300, 80 + 62);  // into the first field; the keyboard follows the pointer
  ASSERT_TRUE(PumpUntil([&] { return platform::GetFocusedWindow() == first; }))
      << "a click gives the edit field the focus";
  PressKey(0xFF09);  // XK_Tab
  EXPECT_TRUE(PumpUntil([&] { return platform::GetFocusedWindow() == second; }))
      << "Tab must move the focus to the next tab stop, past the label";
  PressKey(0xFF09);
  PumpUntil([&] { return platform::GetFocusedWindow() != second; }, 500);
  EXPECT_EQ(platform::GetFocusedWindow(), first) << "Tab wraps around to the first field";
  EXPECT_TRUE(Seen(platform::kEventKeyDown).empty())
      << "keys taken by the controls do not reach the window";
}

}  // namespace
}  // namespace display_test
