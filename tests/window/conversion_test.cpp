#include "window/conversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_test_support.h"
#include "core/button_block.h"
#include "headless_support.h"
#include "platform/gui_input.h"
#include "platform/headless/headless_desktop.h"
#include "settings/converter_state.h"
#include "settings/templates.h"
#include "ui/toolkit_array.h"
#include "ui/toolkit_event.h"

namespace {

using apptest::ProgramView;
using apptest::ReadText;
using apptest::WriteText;

const char kTemplate[] =
    "<b>((KWB))TITLE::T((KWB))</b>|((KWB))FILENAME((KWB))|((KWB))FORMSDATA((KWB))";
const char kScene[] = "<Scene><KRSTimeElem Name=\"Spin\" On=\"0\"/></Scene>";
const char kSpinLine[] =
    "<input\tname=\"Spin\"\ttype=button\tvalue=\"Spin\"\tonclick=\"triggeranimation('Spin')\">\r\n";

class ConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.AddTemplate("page.html", kTemplate);
    state_.templateName.SetText("page.html", -1, 0);
    state_.templates.Append("page.html");
    ASSERT_TRUE(ScanTemplateFields(&state_));
    controls_.Init(sizeof(void*), 0, 0, 0, true);
    WriteText(program_.path() / "scenes" / "a.krn", kScene);
    WriteText(program_.path() / "scenes" / "b.krq", "compressed");
  }
  void TearDown() override { ButtonBlock()->Reset(); }

  std::string Scene(const char* name) const {
    return ProgramView(program_.path() / "scenes" / name);
  }

  apptest::HeadlessToolkit toolkit_;
  apptest::ProgramFolder program_;
  ConverterState state_;
  ToolkitArray controls_;
};

TEST_F(ConversionTest, ConvertSceneFileWritesThePage) {
  ButtonBlock()->SetText("stale", -1, 0);
  const auto page = program_.path() / "scenes" / "a.html";
  headless::QueueFileAnswer(ProgramView(page));
  PathBuffer scene(Scene("a.krn").c_str());
  ConvertSceneFile(nullptr, &state_, scene);
  EXPECT_EQ(ReadText(page), std::string("<b>T</b>|a.krn|") + kSpinLine);
  EXPECT_EQ(std::string(scene.path), Scene(""))
      << "the given path is left naming the scene's folder";

  ButtonBlock()->SetText("stale", -1, 0);
  headless::QueueFileAnswer(ProgramView(page));
  PathBuffer compressed(Scene("b.krq").c_str());
  ConvertSceneFile(nullptr, &state_, compressed);
  EXPECT_EQ(ReadText(page), "<b>T</b>|b.krq|") << "a .krq scene gives an empty FORMSDATA";

  headless::QueueFileAnswer(ProgramView(page));
  PathBuffer missing(Scene("none.krn").c_str());
  ConvertSceneFile(nullptr, &state_, missing);
  EXPECT_EQ(ReadText(page), "<b>T</b>|none.krn|") << "a missing scene still gives a page";

  // A scene of several blocks: the windows are repainted while it is read.
  std::string large = "<Scene><KRSTimeElem Name=\"Spin\" On=\"0\"/>\n";
  for (int i = 0; i < 600000; ++i) large += "<g a=\"1\"/>\n";
  WriteText(program_.path() / "scenes" / "large.krn", large + "</Scene>\n");
  headless::AdvanceClock(1000);
  const uint64_t paintPumps = headless::Counters().paintPumps;
  headless::QueueFileAnswer(ProgramView(page));
  PathBuffer largeScene(Scene("large.krn").c_str());
  ConvertSceneFile(nullptr, &state_, largeScene);
  EXPECT_EQ(ReadText(page), std::string("<b>T</b>|large.krn|") + kSpinLine);
  EXPECT_EQ(headless::Counters().paintPumps, paintPumps + 1)
      << "one repaint within the interval of the (unmoving) test clock";
}

TEST_F(ConversionTest, ParseErrorStillWritesThePage) {
  WriteText(program_.path() / "scenes" / "bad.krn", "<Scene><unclosed></Scene>");
  const auto page = program_.path() / "bad.html";
  headless::QueueFileAnswer(ProgramView(page));
  PathBuffer scene(Scene("bad.krn").c_str());
  ConvertSceneFile(nullptr, &state_, scene);
  EXPECT_EQ(toolkit_.MessageBoxCount(), 1);
  EXPECT_EQ(ReadText(page), "<b>T</b>|scenes/bad.krn|");
}

TEST_F(ConversionTest, ConvertByButtonAsksForTheScene) {
  const auto page = program_.path() / "out.html";
  headless::QueueFileAnswer(Scene("a.krn"));
  headless::QueueFileAnswer(ProgramView(page));
  state_.fieldValues.items[0].SetText("Typed", -1, 0);
  ConvertByButton(nullptr, &state_, &controls_);
  EXPECT_EQ(ReadText(page), std::string("<b>Typed</b>|scenes/a.krn|") + kSpinLine);
  ASSERT_EQ(headless::FileDialogs().size(), 2u);
  const headless::FileDialogRecord& open = headless::FileDialogs()[0];
  EXPECT_EQ(open.title, "Select KRN/KRQ File");
  EXPECT_FALSE(open.save);
  EXPECT_EQ(open.flags, 0x81824u) << "open dialog: explorer, hook, no read-only box, must exist";
  EXPECT_EQ(open.filters,
            (std::vector<std::pair<std::string, std::string>>{
                {"KRN/KRQ File (*.krn; *.krq)", " *.krn; *.krq;"}, {"All Files (*.*)", " *.*"}}));
  EXPECT_TRUE(headless::FileDialogs()[1].save);
}

TEST_F(ConversionTest, CancelAtOpenConvertsNothing) {
  headless::QueueFileCancel();
  ButtonBlock()->SetText("kept", -1, 0);
  ConvertByButton(nullptr, &state_, &controls_);
  EXPECT_EQ(headless::FileDialogs().size(), 1u) << "no save dialog after a cancelled open dialog";
  EXPECT_STREQ(ButtonBlock()->Data(), "kept");
  EXPECT_STREQ(state_.fieldValues.items[0].Data(), "T") << "field values unchanged";
}

TEST_F(ConversionTest, DroppedFilesEachGetTheirOwnSaveDialog) {
  DropInfo* drop = CreateDropInfo(3);
  ASSERT_NE(drop, nullptr);
  drop->files[0].Set(Scene("a.krn").c_str());
  drop->files[1].Set(Scene("b.krq").c_str());
  drop->files[2].Set(Scene("a.krn").c_str());
  const auto first = program_.path() / "1.html";
  const auto third = program_.path() / "3.html";
  headless::QueueFileAnswer(ProgramView(first));
  headless::QueueFileCancel();
  headless::QueueFileAnswer(ProgramView(third));
  ConvertDroppedFiles(nullptr, &state_, &controls_, drop);
  FreeDropInfo(drop);
  EXPECT_EQ(headless::FileDialogs().size(), 3u) << "one save dialog per dropped file";
  EXPECT_EQ(ReadText(first), std::string("<b>T</b>|scenes/a.krn|") + kSpinLine);
  EXPECT_EQ(ReadText(third), std::string("<b>T</b>|scenes/a.krn|") + kSpinLine)
      << "a cancelled file is skipped and the next one follows";
}

TEST_F(ConversionTest, AnOverlongDroppedNameIsToldAndTheNextFileFollows) {
  const std::string longName = Scene((std::string(300, 'x') + ".krn").c_str());
  const std::string shortName = Scene("a.krn");
  const char* names[] = {longName.c_str(), shortName.c_str()};
  DropInfo* drop = CreateDropInfo(2);  // the first entry stays empty, as the toolkit leaves it
  ASSERT_NE(drop, nullptr);
  drop->files[1].Set(shortName.c_str());
  drop->names = names;
  const auto page = program_.path() / "next.html";
  headless::QueueFileAnswer(ProgramView(page));
  ConvertDroppedFiles(nullptr, &state_, &controls_, drop);
  FreeDropInfo(drop);
  ASSERT_EQ(toolkit_.MessageBoxCount(), 1);
  EXPECT_EQ(
      toolkit_.MessageBoxText(0),
      "The path is too long: " +
          (program_.path() / "scenes" / (std::string(300, 'x') + ".krn")).make_preferred().string())
      << "the path as the user knows it";
  EXPECT_EQ(headless::FileDialogs().size(), 1u) << "no save dialog for the long name";
  EXPECT_EQ(ReadText(page), std::string("<b>T</b>|scenes/a.krn|") + kSpinLine)
      << "the next dropped file is converted";
}

TEST_F(ConversionTest, TooLongPathsFromTheDialogsAreTold) {
  // Over 300 characters, in folders whose names the system accepts.
  const auto deep = program_.path() / std::string(150, 'd') / std::string(150, 'e');
  auto longScene = deep / "s.krn";
  const auto longPage = deep / "p.html";
  struct Case {
    const char* what;
    std::vector<std::string> answers;
    std::string message;
  } cases[] = {
      {"the scene",
       {ProgramView(longScene)},
       "The path is too long: " + longScene.make_preferred().string()},
      {"the page",
       {Scene("a.krn"), ProgramView(longPage)},
       "The path is too long: " + std::filesystem::path(longPage).make_preferred().string()},
#ifndef _WIN32
      // Linux: a name with a '\' has no program view; the backend hands it over natively.
      {"a scene named with a backslash",
       {program_.path().string() + "/b\\s/s.krn"},
       "File names with a backslash are not supported: " + program_.path().string() +
           "/b\\s/s.krn"},
      {"a page named with a backslash",
       {Scene("a.krn"), program_.path().string() + "/p\\q.html"},
       "File names with a backslash are not supported: " + program_.path().string() + "/p\\q.html"},
#endif
  };
  for (const Case& c : cases) {
    const int boxes = toolkit_.MessageBoxCount();
    for (const std::string& answer : c.answers) headless::QueueFileAnswer(answer);
    ConvertByButton(nullptr, &state_, &controls_);
    ASSERT_EQ(toolkit_.MessageBoxCount(), boxes + 1) << c.what;
    EXPECT_EQ(toolkit_.MessageBoxText(boxes), c.message) << c.what;
  }
}

TEST_F(ConversionTest, AFailedPageIsToldAndTheNextDropFollows) {
  DropInfo* drop = CreateDropInfo(2);
  ASSERT_NE(drop, nullptr);
  drop->files[0].Set(Scene("a.krn").c_str());
  drop->files[1].Set(Scene("a.krn").c_str());
  const auto missing = program_.path() / "no" / "p.html";
  const auto page = program_.path() / "ok.html";
  headless::QueueFileAnswer(ProgramView(missing));
  headless::QueueFileAnswer(ProgramView(page));
  ConvertDroppedFiles(nullptr, &state_, &controls_, drop);
  FreeDropInfo(drop);
  ASSERT_EQ(toolkit_.MessageBoxCount(), 1);
  EXPECT_EQ(toolkit_.MessageBoxText(0),
            "Could not write the page " + missing.string() + ": No such file or directory");
  EXPECT_EQ(ReadText(page), std::string("<b>T</b>|scenes/a.krn|") + kSpinLine);
}

TEST_F(ConversionTest, EmptyAndNulScenesShowTheXmlErrorBox) {
  using namespace std::string_literals;
  struct Case {
    std::string scene;
    const char* message;
  } cases[] = {{"", "Parse Error: no element found at line 1"},
               {"<S>\n<KRSTimeElem Name=\"Spin\" On=\"0\"/>\0</S>"s,
                "Parse Error: not well-formed (invalid token) at line 2"}};
  for (const Case& c : cases) {
    WriteText(program_.path() / "scenes" / "odd.krn", c.scene);
    const int boxes = toolkit_.MessageBoxCount();
    headless::QueueFileAnswer(ProgramView(program_.path() / "odd.html"));
    PathBuffer scene(Scene("odd.krn").c_str());
    ConvertSceneFile(nullptr, &state_, scene);
    ASSERT_EQ(toolkit_.MessageBoxCount(), boxes + 1);
    EXPECT_EQ(toolkit_.MessageBoxTitle(boxes), "XML Error");
    EXPECT_EQ(toolkit_.MessageBoxText(boxes), c.message);
    EXPECT_EQ(headless::MessageBoxes()[size_t(boxes)].flags, 0x40u)
        << "the XML Error box keeps its information icon (MB_ICONINFORMATION)";
    EXPECT_EQ(ReadText(program_.path() / "odd.html"), "<b>T</b>|scenes/odd.krn|")
        << "the page is still made, without buttons";
  }
}

}  // namespace
