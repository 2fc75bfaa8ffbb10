#include "window/page_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app_test_support.h"
#include "core/button_block.h"
#include "headless_support.h"
#include "platform/gui_input.h"
#include "platform/headless/headless_desktop.h"
#include "settings/converter_state.h"
#include "settings/templates.h"

namespace {

using apptest::ProgramFolder;
using apptest::ProgramView;
using apptest::ReadText;
using apptest::WriteText;

// A program folder with a versioned program file, one template and a state
// whose fields come from that template.
class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Where the test cannot give the program file a version, BUILD is empty.
    if (apptest::WriteVersionedFile(program_.programFile().string(), "1, 0, 3, 12")) {
      build_ = "1.0.3.12";
    }
    state_.templateName.SetText("page.html", -1, 0);
  }
  void TearDown() override { ButtonBlock()->Reset(); }

  void UseTemplate(const std::string& text) {
    program_.AddTemplate("page.html", text);
    ASSERT_TRUE(ScanTemplateFields(&state_));
  }
  std::string TemplatePath() const { return ProgramView(program_.templates() / "page.html"); }
  void SetValue(int i, const char* value) { state_.fieldValues.items[i].SetText(value, -1, 0); }

  apptest::HeadlessToolkit toolkit_;
  ProgramFolder program_;
  ConverterState state_;
  std::string build_;
};

TEST_F(PageTest, PageByteForByte) {
  UseTemplate(
      "<title>((KWB))TITLE::Untitled((KWB))</title>\r\n"
      "<p>((KWB))AUTHOR((KWB)) / ((KWB))TITLE((KWB)) / ((KWB))EMPTY::gone((KWB))</p>\n"
      "b1=((KWB))BUILD((KWB)) b2=((KWB))BUILD((KWB)) b3=((KWB))BUILD::old((KWB))\n"
      "<embed src=\"((KWB))FILENAME((KWB))\">\n<form>\n((KWB))FORMSDATA((KWB))</form>\n");
  ASSERT_EQ(state_.fieldNames.count, 3);
  SetValue(0, "My & Scene");
  SetValue(1, "Ann");
  SetValue(2, "");
  ButtonBlock()->SetText("<input>\r\n", -1, 0);

  const auto page = program_.path() / "web" / "out" / "page.html";
  const auto scene = program_.path() / "web" / "scenes" / "a.krn";
  std::filesystem::create_directories(page.parent_path());
  headless::QueueFileAnswer(ProgramView(page));
  ASSERT_TRUE(WritePage(TemplatePath().c_str(), ProgramView(scene).c_str(), &state_));
  EXPECT_EQ(ReadText(page),
            "<title>My & Scene</title>\r\n"
            "<p>Ann / My & Scene / </p>\n"
            "b1=" +
                build_ + " b2=" + build_ + " b3=" + build_ +
                "\n"
                "<embed src=\"../scenes/a.krn\">\n<form>\n<input>\r\n</form>\n")
      << "named fields, an empty value, BUILD three times (once with a default), FILENAME and "
         "FORMSDATA";

  ASSERT_EQ(headless::FileDialogs().size(), 1u);
  const headless::FileDialogRecord& dialog = headless::FileDialogs()[0];
  EXPECT_EQ(dialog.title, "Saving HTML File (HTML)");
  EXPECT_TRUE(dialog.save);
  EXPECT_EQ(dialog.owner, nullptr) << "the save dialog has no owner";
  EXPECT_EQ(dialog.initialName, "") << "the dialog starts without a name";
  EXPECT_EQ(dialog.flags, 0x81824u)
      << "explorer, hook, no read-only box, must exist (the backend keeps only \"path must "
         "exist\" for saving)";
  EXPECT_EQ(dialog.filters, (std::vector<std::pair<std::string, std::string>>{
                                {"HTML Files (*.html)", " *.html"}, {"All Files (*.*)", " *.*"}}));
  EXPECT_EQ(std::filesystem::current_path(), program_.path())
      << "the program folder is the current directory afterwards";
}

TEST_F(PageTest, RelativeFileNames) {
  UseTemplate("[((KWB))FILENAME((KWB))]");
  struct Case {
    const char* page;
    const char* scene;
    const char* expected;
  } cases[] = {
      {"w/page.html", "w/a.krn", "[a.krn]"},
      {"w/page.html", "w/sub/dir/a.krn", "[sub/dir/a.krn]"},
      {"w/sub/page.html", "w/a.krn", "[../a.krn]"},
  };
  for (const Case& c : cases) {
    const auto page = program_.path() / c.page;
    std::filesystem::create_directories(page.parent_path());
    headless::QueueFileAnswer(ProgramView(page));
    ASSERT_TRUE(
        WritePage(TemplatePath().c_str(), ProgramView(program_.path() / c.scene).c_str(), &state_));
    EXPECT_EQ(ReadText(page), c.expected) << c.page << " -> " << c.scene;
  }
}

TEST_F(PageTest, UnversionedProgramAndNoPlaceholders) {
  std::filesystem::remove(program_.programFile());
  UseTemplate("v=((KWB))BUILD((KWB));");
  const auto page = program_.path() / "p.html";
  headless::QueueFileAnswer(ProgramView(page));
  ASSERT_TRUE(WritePage(TemplatePath().c_str(), "Z:\\x\\a.krn", &state_));
  EXPECT_EQ(ReadText(page), "v=;") << "without a version BUILD is removed";

  const std::string plain = std::string("no fields \x01\xff here");
  UseTemplate(plain + std::string("\0tail", 5));
  headless::QueueFileAnswer(ProgramView(page));
  ASSERT_TRUE(WritePage(TemplatePath().c_str(), "Z:\\x\\a.krn", &state_));
  EXPECT_EQ(ReadText(page), plain) << "written unchanged up to the first zero byte";
}

TEST_F(PageTest, EveryPlaceholderOfEveryFieldIsFilled) {
  struct Case {
    const char* text;
    std::vector<const char*> values;
    const char* expected;
  } cases[] = {
      {"<title>((KWB))title((KWB))</title>", {"T"}, "<title>T</title>"},
      {"((KWB))FILENAME((KWB)) ((KWB))NAME((KWB))", {"n"}, "s.krn n"},
      {"((KWB))NAME((KWB))|((KWB))NAMES((KWB))|((KWB))NAME::d((KWB))", {"1", "2"}, "1|2|1"},
      {"((KWB))NAMES((KWB))|((KWB))NAME((KWB))", {"2", "1"}, "2|1"},
      // Without overlaps the page is what it always was.
      {"<p>((KWB))A::a((KWB)) ((KWB))B((KWB))</p>\r\n((KWB))A((KWB))",
       {"x", "y"},
       "<p>x y</p>\r\nx"},
  };
  const auto page = program_.path() / "p.html";
  for (const Case& c : cases) {
    UseTemplate(c.text);
    ASSERT_EQ(state_.fieldNames.count, int(c.values.size())) << c.text;
    for (size_t i = 0; i < c.values.size(); ++i) SetValue(int(i), c.values[i]);
    headless::QueueFileAnswer(ProgramView(page));
    ASSERT_TRUE(
        WritePage(TemplatePath().c_str(), ProgramView(program_.path() / "s.krn").c_str(), &state_));
    EXPECT_EQ(ReadText(page), c.expected) << c.text;
  }
}

TEST_F(PageTest, FailuresAreToldAndChangeNothing) {
  UseTemplate("new text");
  headless::QueueFileCancel();
  const auto fresh = program_.path() / "p.html";
  EXPECT_FALSE(WritePage(TemplatePath().c_str(), "Z:\\a.krn", &state_)) << "cancelled";
  EXPECT_FALSE(std::filesystem::exists(fresh));
  EXPECT_EQ(toolkit_.MessageBoxCount(), 0) << "a cancel is no failure";

  const auto web = program_.path() / "web";
  const auto page = web / "old.html";
  const auto locked = web / "locked";
  WriteText(page, "old page");
  WriteText(locked / "old.html", "old locked page");
  const auto gone = program_.templates() / "gone.html";
  WriteText(gone, "vanishes");
  std::filesystem::remove(gone);  // deleted between the scan and the conversion
  const auto empty = program_.templates() / "empty.html";
  WriteText(empty, "");
  const auto zeroFirst = program_.templates() / "zero.html";
  WriteText(zeroFirst, std::string("\0<html>", 7));
  struct Case {
    const char* what;
    std::filesystem::path page;
    std::string templatePath;
    std::function<void()> prepare;
    std::string message;
  } cases[] = {
      {"missing folder", web / "no" / "such" / "p.html", TemplatePath(), [] {},
       "Could not write the page " + (web / "no" / "such" / "p.html").string() +
           ": No such file or directory"},
      {"read-only file", page, TemplatePath(),
       [&] { std::filesystem::permissions(page, std::filesystem::perms::owner_read); },
       "Could not write the page " + page.string() + ": Permission denied"},
      {"read-only folder", locked / "old.html", TemplatePath(),
       [&] {
         std::filesystem::permissions(
             locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
       },
       "Could not write the page " + (locked / "old.html").string() + ": Permission denied"},
      {"template deleted", page, ProgramView(gone), [] {},
       "Could not read the template " + gone.string() + ": No such file or directory"},
      {"empty template", page, ProgramView(empty), [] {},
       "The template " + empty.string() + " is empty"},
      {"template with no text before a zero byte", page, ProgramView(zeroFirst), [] {},
       "The template " + zeroFirst.string() + " is empty"},
  };
  // Windows ignores the read-only attribute of a folder: that case is Linux's.
  const bool readOnlyFolders = std::filesystem::path::preferred_separator == '/';
  for (const Case& c : cases) {
    if (!readOnlyFolders && std::string(c.what) == "read-only folder") continue;
    c.prepare();
    const std::string before = ReadText(c.page);
    const int boxes = toolkit_.MessageBoxCount();
    headless::QueueFileAnswer(ProgramView(c.page));
    EXPECT_FALSE(WritePage(c.templatePath.c_str(), "Z:\\a.krn", &state_)) << c.what;
    ASSERT_EQ(toolkit_.MessageBoxCount(), boxes + 1) << c.what << ": one message";
    EXPECT_EQ(toolkit_.MessageBoxTitle(boxes), "Tessaly KRN 2 HTML") << c.what;
    EXPECT_EQ(toolkit_.MessageBoxText(boxes), c.message) << c.what;
    EXPECT_EQ(headless::MessageBoxes()[size_t(boxes)].flags, 0x10u)
        << c.what << ": a failure has the error icon (MB_ICONERROR)";
    EXPECT_EQ(ReadText(c.page), before) << c.what << ": the existing page keeps every byte";
    std::filesystem::permissions(page, std::filesystem::perms::owner_all);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
  }
  size_t leftovers = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(web)) {
    leftovers += entry.path().extension() == ".tmp";
  }
  EXPECT_EQ(leftovers, 0u) << "no temporary file stays behind";
}

TEST_F(PageTest, ReplacingKeepsPermissions) {
  if (std::filesystem::path::preferred_separator != '/') {
    GTEST_SKIP() << "a Windows file has no permission bits beside its read-only attribute";
  }
  using std::filesystem::perms;
  // Fewer bits than a new file gets, bits the umask takes from a new file, the mode a new
  // file has anyway, and the set-user-id bit, which writing may clear.
  const perms modes[] = {
      perms::owner_read | perms::owner_write | perms::group_read,
      perms::owner_read | perms::owner_write | perms::group_read | perms::group_write |
          perms::others_read | perms::others_write,
      perms::owner_read | perms::owner_write | perms::group_read | perms::others_read,
      perms::set_uid | perms::owner_all | perms::group_read | perms::group_exec,
  };
  const auto page = program_.path() / "kept.html";
  for (const perms mode : modes) {
    const std::string text = "new " + std::to_string(static_cast<unsigned>(mode));
    UseTemplate(text);
    WriteText(page, "old");
    std::filesystem::permissions(page, mode);
    headless::QueueFileAnswer(ProgramView(page));
    ASSERT_TRUE(WritePage(TemplatePath().c_str(), "Z:\\a.krn", &state_));
    EXPECT_EQ(ReadText(page), text);
    EXPECT_EQ(std::filesystem::status(page).permissions(), mode)
        << "a replaced page keeps its permissions " << std::oct << static_cast<unsigned>(mode);
  }
}

TEST_F(PageTest, ReplacingWritesThroughLinksAndRefusesHardLinks) {
  if (std::filesystem::path::preferred_separator != '/') {
    GTEST_SKIP() << "symbolic links of Linux";
  }
  namespace fs = std::filesystem;
  UseTemplate("new page");
  const auto web = program_.path() / "web";
  const auto real = program_.path() / "real";
  fs::create_directories(web);
  fs::create_directories(real);
  auto write = [&](const fs::path& page) {
    headless::QueueFileAnswer(ProgramView(page));
    return WritePage(TemplatePath().c_str(), "Z:\\a.krn", &state_);
  };
  auto leftovers = [](const fs::path& folder) {
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
      count += entry.path().extension() == ".tmp";
    }
    return count;
  };

  // A link, a relative link through another, and a link to a file not made yet: each stays a
  // link, the file it leads to gets the page, written beside that file.
  struct LinkCase {
    const char* what;
    fs::path link;
    fs::path target;
    std::function<void()> make;
  } links[] = {
      {"absolute link", web / "a.html", real / "a.html",
       [&] {
         WriteText(real / "a.html", "old");
         fs::create_symlink(real / "a.html", web / "a.html");
       }},
      {"relative link to a link", web / "b.html", real / "b.html",
       [&] {
         WriteText(real / "b.html", "old");
         fs::create_symlink("../real/b.html", web / "b-mid.html");
         fs::create_symlink("b-mid.html", web / "b.html");
       }},
      {"link to a missing file", web / "c.html", real / "c.html",
       [&] { fs::create_symlink(real / "c.html", web / "c.html"); }},
  };
  for (const LinkCase& c : links) {
    c.make();
    ASSERT_TRUE(write(c.link)) << c.what;
    EXPECT_TRUE(fs::is_symlink(c.link)) << c.what << ": the link stays a link";
    EXPECT_EQ(ReadText(c.target), "new page") << c.what << ": the file it leads to is replaced";
    EXPECT_EQ(ReadText(c.link), "new page") << c.what;
  }
  EXPECT_EQ(leftovers(web) + leftovers(real), 0u) << "no temporary file stays behind";

  // A page with a second hard link is refused: both names keep the old page.
  const auto linked = web / "linked.html";
  WriteText(linked, "old linked");
  fs::create_hard_link(linked, real / "other-name.html");
  const int boxes = toolkit_.MessageBoxCount();
  EXPECT_FALSE(write(linked));
  ASSERT_EQ(toolkit_.MessageBoxCount(), boxes + 1);
  EXPECT_EQ(toolkit_.MessageBoxText(boxes),
            "Could not write the page " + linked.string() +
                ": The file has other hard links, which a new file would part from it");
  EXPECT_EQ(ReadText(linked), "old linked");
  EXPECT_EQ(ReadText(real / "other-name.html"), "old linked");
}

}  // namespace
