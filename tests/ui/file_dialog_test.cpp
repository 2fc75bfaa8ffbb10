// ChooseFile and ShowMessage through the headless dialogs.
#include "ui/file_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/gui_dialogs.h"
#include "tests/ui/toolkit_fixture.h"
#include "ui/message_box.h"

namespace {

const char kSceneFilter[] = "KRN/KRQ File (*.krn; *.krq)\0 *.krn; *.krq;\0All Files (*.*)\0 *.*\0";

class FileDialogTest : public ToolkitTest {};

TEST_F(FileDialogTest, OpenModeRecordsTheRequestAndReturnsTheChoice) {
  void* owner = OpenWindow();
  PathBuffer path;
  headless::QueueFileAnswer("Z:\\scenes\\robot.krn");
  ASSERT_TRUE(ChooseFile(owner, "Select KRN/KRQ File", kSceneFilter, &path, 0, true));
  EXPECT_STREQ(path.path, "Z:\\scenes\\robot.krn");
  ASSERT_EQ(headless::FileDialogs().size(), 1u);
  const headless::FileDialogRecord& asked = headless::FileDialogs()[0];
  EXPECT_EQ(asked.owner, owner);
  EXPECT_EQ(asked.title, "Select KRN/KRQ File");
  EXPECT_FALSE(asked.save);
  EXPECT_EQ(asked.flags, 0x81824u) << "explorer, hook, hide read-only, path and file must exist";
  ASSERT_EQ(asked.filters.size(), 2u);
  EXPECT_EQ(asked.filters[0].first, "KRN/KRQ File (*.krn; *.krq)");
  EXPECT_EQ(asked.filters[0].second, " *.krn; *.krq;");
  EXPECT_EQ(asked.filters[1].second, " *.*");
  EXPECT_EQ(asked.initialName, "");
  EXPECT_EQ(asked.defaultExtension, "") << "no initial name, no default extension";
}

TEST_F(FileDialogTest, SaveModeStartsWithTheNameAndItsExtension) {
  PathBuffer path;
  ASSERT_TRUE(path.Set("C:\\web\\page.html"));
  headless::QueueFileAnswer("C:\\web\\other");
  ASSERT_TRUE(ChooseFile(nullptr, "Saving HTML File (HTML)", "HTML Files (*.html)\0 *.html\0",
                         &path, 1, false));
  const headless::FileDialogRecord& asked = headless::FileDialogs().back();
  EXPECT_TRUE(asked.save);
  EXPECT_EQ(asked.owner, nullptr);
  EXPECT_EQ(asked.initialName, "C:\\web\\page.html") << "the dialog starts with the given name";
  EXPECT_EQ(asked.defaultExtension, "html") << "extension without its point";
  EXPECT_EQ(asked.flags, 0x80024u) << "no must-exist flags";
  EXPECT_STREQ(path.path, "C:\\web\\other.html") << "a name without extension gets the default";
}

TEST_F(FileDialogTest, CancelAndBadModesFail) {
  PathBuffer path;
  ASSERT_TRUE(path.Set("C:\\keep.krn"));
  headless::QueueFileCancel();
  EXPECT_FALSE(ChooseFile(nullptr, "t", nullptr, &path, 0, true)) << "cancel reads as false";
  EXPECT_EQ(headless::FileDialogs().size(), 1u);
  EXPECT_FALSE(headless::FileDialogs()[0].answered);
  EXPECT_FALSE(ChooseFile(nullptr, "t", nullptr, &path, 2, true)) << "mode 2 must fail";
  EXPECT_FALSE(ChooseFile(nullptr, "t", nullptr, &path, -1, true));
  EXPECT_FALSE(ChooseFile(nullptr, "t", nullptr, nullptr, 0, true)) << "null path";
  EXPECT_EQ(headless::FileDialogs().size(), 1u) << "a refused call must not show a dialog";
  EXPECT_FALSE(ChooseFile(nullptr, "t", nullptr, &path, 0, true)) << "nothing scripted: cancel";
}

TEST_F(FileDialogTest, AnAnswerTooLongForThePathFails) {
  PathBuffer path;
  headless::QueueFileAnswer("C:\\" + std::string(300, 'n') + ".krn");
  EXPECT_FALSE(ChooseFile(nullptr, "t", nullptr, &path, 0, false));
  EXPECT_LT(std::strlen(path.path), 260u);
}

TEST_F(FileDialogTest, ShowMessageRecordsTitleTextAndIcon) {
  void* owner = OpenWindow();
  EXPECT_TRUE(ShowMessage(owner, "XML Error", "Parse Error: mismatched tag at line 3"));
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  const headless::MessageBoxRecord& box = headless::MessageBoxes()[0];
  EXPECT_EQ(box.owner, owner);
  EXPECT_EQ(box.title, "XML Error");
  EXPECT_EQ(box.text, "Parse Error: mismatched tag at line 3");
  EXPECT_EQ(box.flags, 0x40u) << "MB_ICONINFORMATION";
  EXPECT_FALSE(ShowMessage(owner, nullptr, "text"));
  EXPECT_FALSE(ShowMessage(owner, "title", nullptr));
  EXPECT_EQ(headless::MessageBoxes().size(), 1u) << "a refused call must show nothing";
  headless::QueueMessageBoxAnswer(0);
  EXPECT_FALSE(ShowMessage(nullptr, "t", "x")) << "a box that returns 0 fails";
}

TEST_F(FileDialogTest, ShowErrorMessageHasTheErrorIcon) {
  void* owner = OpenWindow();
  EXPECT_TRUE(ShowErrorMessage(owner, "Tessaly KRN 2 HTML", "Could not write the page /a: No"));
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  const headless::MessageBoxRecord& box = headless::MessageBoxes()[0];
  EXPECT_EQ(box.owner, owner);
  EXPECT_EQ(box.title, "Tessaly KRN 2 HTML");
  EXPECT_EQ(box.text, "Could not write the page /a: No");
  EXPECT_EQ(box.flags, 0x10u) << "MB_ICONERROR";
  EXPECT_FALSE(ShowErrorMessage(owner, nullptr, "text"));
  EXPECT_FALSE(ShowErrorMessage(owner, "title", nullptr));
  EXPECT_EQ(headless::MessageBoxes().size(), 1u) << "a refused call must show nothing";
}

}  // namespace
