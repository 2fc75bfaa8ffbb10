// Child controls: creation with default styles, ids and texts, GetText limits,
// command events with their double-click rule, and Tab navigation.
#include "ui/child_control.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/gui_window.h"
#include "tests/ui/toolkit_fixture.h"

namespace {

using platform::ControlClass;

class ChildControlTest : public ToolkitTest {
 protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    window = OpenWindow();
  }
  void* window = nullptr;
};

TEST_F(ChildControlTest, CreationUsesDefaultStylesIdsAndTexts) {
  PushButton button(window, 1, {10, 20, 110, 45}, "Convert KRN/KRQ File to HTML...");
  EditField edit(window, 7, {0, 0, 50, 20}, "start");
  TextLabel label(window, 9, {0, 30, 50, 50}, nullptr);
  ASSERT_TRUE(button.IsValid());
  ASSERT_TRUE(edit.IsValid());
  ASSERT_TRUE(label.IsValid());
  EXPECT_EQ(headless::WindowStyle(button.GetHandle()), 0x40810000u)
      << "BUTTON default style (WS_VISIBLE kept as visibility)";
  EXPECT_TRUE(headless::IsVisible(button.GetHandle()));
  EXPECT_EQ(headless::WindowStyle(edit.GetHandle()), 0x40810080u);
  EXPECT_EQ(headless::WindowStyle(label.GetHandle()), 0x40800100u);
  EXPECT_EQ(headless::ControlClassOf(button.GetHandle()), ControlClass::kButton);
  EXPECT_EQ(headless::ControlClassOf(edit.GetHandle()), ControlClass::kEdit);
  EXPECT_EQ(headless::ControlClassOf(label.GetHandle()), ControlClass::kStatic);
  EXPECT_EQ(headless::FindControl(window, 1), button.GetHandle()) << "id not set";
  EXPECT_EQ(headless::FindControl(window, 7), edit.GetHandle());
  EXPECT_EQ(headless::WindowText(button.GetHandle()), "Convert KRN/KRQ File to HTML...");
  EXPECT_EQ(headless::WindowText(edit.GetHandle()), "start");
  EXPECT_EQ(headless::WindowText(label.GetHandle()), "") << "null text gives the empty string";
  platform::Rect rect = headless::ControlRect(button.GetHandle());
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.bottom, 45);

  TextLabel styled(window, 3, {0, 0, 5, 5}, "x", 0x50000000);
  EXPECT_EQ(headless::WindowStyle(styled.GetHandle()), 0x40000000u) << "an explicit style is kept";
}

TEST_F(ChildControlTest, NullParentOrCaptionCreatesNothing) {
  size_t before = headless::AllWindows().size();
  PushButton noCaption(window, 1, {0, 0, 10, 10}, nullptr);
  PushButton noParent(nullptr, 1, {0, 0, 10, 10}, "x");
  EditField editNoParent(nullptr, 2, {0, 0, 10, 10}, "x");
  TextLabel labelNoParent(nullptr, 3, {0, 0, 10, 10}, "x");
  EXPECT_EQ(headless::AllWindows().size(), before) << "a window was created anyway";
  for (ChildControl* control :
       std::initializer_list<ChildControl*>{&noCaption, &noParent, &editNoParent, &labelNoParent}) {
    EXPECT_FALSE(control->IsValid());
    EXPECT_EQ(control->GetHandle(), nullptr);
    char buffer[8] = "junk";
    EXPECT_FALSE(control->GetText(buffer, sizeof buffer));
    EXPECT_FALSE(control->SetText("a")) << "SetText on an invalid control";
    EXPECT_FALSE(control->SetId(4)) << "SetId on an invalid control";
  }
}

TEST_F(ChildControlTest, GetTextTruncatesAndFailsOnEmpty) {
  std::string long2000(2000, 'k');
  long2000[1022] = 'Y';
  long2000[1023] = 'Z';
  EditField edit(window, 5, {0, 0, 100, 20}, long2000.c_str());
  char buffer[1024];
  std::memset(buffer, '#', sizeof buffer);
  ASSERT_TRUE(edit.GetText(buffer, sizeof buffer));
  EXPECT_EQ(std::strlen(buffer), 1023u) << "1023 characters and the terminator";
  EXPECT_EQ(buffer[1022], 'Y');
  EXPECT_EQ(std::string(buffer), long2000.substr(0, 1023));

  char small[16];
  ASSERT_TRUE(edit.SetText("abc"));
  std::memset(small, '#', sizeof small);
  ASSERT_TRUE(edit.GetText(small, sizeof small));
  EXPECT_STREQ(small, "abc") << "never more than the text";

  ASSERT_TRUE(edit.SetText(nullptr));
  std::strcpy(small, "old");
  EXPECT_FALSE(edit.GetText(small, sizeof small)) << "an empty field reads as a failure";
  EXPECT_STREQ(small, "") << "with an empty buffer";
  EXPECT_FALSE(edit.GetText(nullptr, 10));
  ASSERT_TRUE(edit.SetText("x"));
  char one[1] = {'#'};
  EXPECT_FALSE(edit.GetText(one, 1)) << "room for the terminator only: nothing copied";
  EXPECT_EQ(one[0], '\0');
}

TEST_F(ChildControlTest, CommandEventsCarryIdAndDoubleClickFromTheClassTable) {
  PushButton button(window, 1, {0, 0, 10, 10}, "Go");
  TextLabel label(window, 9, {0, 0, 10, 10}, "L");
  EditField edit(window, 4, {0, 0, 10, 10}, "");
  ASSERT_TRUE(headless::ClickControl(button.GetHandle()));
  ASSERT_TRUE(headless::ClickControl(button.GetHandle(), true));
  ASSERT_TRUE(headless::ClickControl(label.GetHandle(), true));
  ASSERT_TRUE(headless::TypeText(edit.GetHandle(), "typed"));
  platform::PumpWindowMessages(window, true);
  std::vector<ToolkitEvent> commands;
  for (const SeenEvent& seen : recorder.events) {
    if (seen.code == platform::kEventCommand) commands.push_back(seen.event);
  }
  ASSERT_EQ(commands.size(), 4u);
  EXPECT_EQ(commands[0].commandId, 1);
  EXPECT_EQ(commands[0].notification, 0);
  EXPECT_FALSE(commands[0].doubleClick) << "a click is not a double-click";
  EXPECT_EQ(commands[1].notification, 5);
  EXPECT_TRUE(commands[1].doubleClick) << "BUTTON notification 5 is a double-click";
  EXPECT_EQ(commands[2].commandId, 9);
  EXPECT_EQ(commands[2].notification, 1);
  EXPECT_TRUE(commands[2].doubleClick) << "STATIC notification 1 is a double-click";
  EXPECT_EQ(commands[3].commandId, 4);
  EXPECT_EQ(commands[3].notification, 0x300);
  EXPECT_FALSE(commands[3].doubleClick) << "EDIT has no double-click notification";
  char text[16];
  ASSERT_TRUE(edit.GetText(text, sizeof text));
  EXPECT_STREQ(text, "typed");

  platform::PlatformEvent fake{};
  fake.window = window;
  fake.code = platform::kEventCommand;
  fake.notification = 5;
  fake.sender = edit.GetHandle();
  ToolkitWindowProc(&fake);
  EXPECT_FALSE(recorder.events.back().event.doubleClick) << "notification 5 from an EDIT";
}

TEST_F(ChildControlTest, TabMovesFocusBetweenTabStops) {
  EditField first(window, 1, {0, 0, 10, 10}, "");
  TextLabel label(window, 2, {0, 0, 10, 10}, "not a tab stop");
  EditField second(window, 3, {0, 0, 10, 10}, "");
  PushButton button(window, 4, {0, 0, 10, 10}, "Go");
  ASSERT_TRUE(platform::FocusNativeWindow(first.GetHandle()));
  headless::PressKey(window, 9);
  platform::PumpWindowMessages(window, true);
  EXPECT_EQ(GetFocusWindow(), second.GetHandle()) << "Tab skips the label";
  headless::PressKey(window, 9);
  headless::PressKey(window, 9);
  platform::PumpWindowMessages(window, true);
  EXPECT_EQ(GetFocusWindow(), first.GetHandle()) << "Tab wraps after the last tab stop";
  headless::SetModifiers({true, false, false, false});
  headless::PressKey(window, 9);
  platform::PumpWindowMessages(window, true);
  EXPECT_EQ(GetFocusWindow(), button.GetHandle()) << "Shift+Tab goes backwards";
  EXPECT_EQ(recorder.Count(window, platform::kEventKeyDown), 0)
      << "dialog navigation consumes the Tab key";
  headless::PressKey(window, 9);
  platform::PumpWindowMessages(window, false);
  EXPECT_EQ(recorder.Count(window, platform::kEventKeyDown), 1)
      << "without dialog navigation the key reaches the window";
}

TEST_F(ChildControlTest, WrappersFromTheToolkitAllocatorLeaveWindowsToTheParent) {
  int32_t before = GetToolkitContext()->bytesInUse;
  PushButton* button = NewControl<PushButton>(window, 1, ToolkitRect{0, 0, 5, 5}, "B");
  ASSERT_NE(button, nullptr);
  EXPECT_GT(GetToolkitContext()->bytesInUse, before);
  void* handle = button->GetHandle();
  DeleteControl(button);
  EXPECT_EQ(GetToolkitContext()->bytesInUse, before);
  EXPECT_TRUE(headless::IsLive(handle)) << "the wrapper does not own its window";

  EditField* owned = NewControl<EditField>(window, 2, ToolkitRect{0, 0, 5, 5}, "x");
  ASSERT_NE(owned, nullptr);
  owned->ownsWindow = true;
  void* ownedHandle = owned->GetHandle();
  DeleteControl(owned);
  EXPECT_FALSE(headless::IsLive(ownedHandle)) << "an owning wrapper destroys its window";
  EXPECT_EQ(GetToolkitContext()->bytesInUse, before);
}

}  // namespace
