#include "command/convert_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app_test_support.h"
#include "headless_support.h"
#include "platform/gui_controls.h"
#include "platform/headless/headless_desktop.h"
#include "window/window_globals.h"

namespace {

namespace fs = std::filesystem;
using apptest::ProgramFolder;
using apptest::ProgramRun;
using apptest::ProgramView;
using apptest::ReadText;
using apptest::WriteText;

int RunCommand(const std::vector<std::string>& args) {
  std::vector<const char*> argv{"krn2html-convert"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  return RunConvertCommand(int(argv.size()), argv.data());
}

const char kFieldsTemplate[] =
    "<title>((KWB))TITLE::Untitled((KWB))</title>\r\n<p>((KWB))AUTHOR((KWB)) "
    "((KWB))TITLE((KWB))</p>\r\n<object data=\"((KWB))FILENAME((KWB))\"></object>\r\n"
    "<small>((KWB))BUILD((KWB))</small>\r\n<form>\r\n((KWB))FORMSDATA((KWB))</form>\r\n";
const char kDottedTemplate[] =
    "((KWB))NAME::n((KWB))|((KWB))FILENAME((KWB))|((KWB))FORMSDATA((KWB))";
const char kSceneText[] =
    "<Scene>\r\n<KRSTimeElem Name=\"Spin\" On=\"0\"/>\r\n"
    "<KRSTimeElem Name=\"Door\" On=\"0\" Clamp=\"0\"/>\r\n"
    "<KRSTimeElem Name=\"Auto\" On=\"1\"/>\r\n<Group><KRSTimeElem Name=\"a&amp;b\" On=\"0\"/>"
    "<KRSTimeElem Name=\"Fourth\" On=\"0\" Clamp=\"5\"/></Group>\r\n</Scene>\r\n";

// One conversion done both ways: through the window (open and save dialog answered, field boxes
// typed) and through the command.
struct Case {
  const char* label;
  const char* templateName;        // remembered as the default template for the window
  const char* prefs;               // the template's remembered values, or null
  const char* scene;               // below the program folder
  const char* page;                // below the program folder
  std::vector<std::string> typed;  // AUTHOR box text typed in the window ("" leaves it)
  std::vector<std::string> options;
  bool windowWithoutPrefs = false;  // the window sees no remembered values
  bool parseError = false;
};

TEST(ConvertCommand, WritesTheBytesOfTheWindowProgram) {
  ProgramFolder program;
  program.AddTemplate("fields.html", kFieldsTemplate);
  program.AddTemplate("my.page.html", kDottedTemplate);
  // A program file with a version, where the system's program files carry one, fills BUILD.
  const bool versioned = apptest::WriteVersionedFile(program.programFile().string(), "1, 2, 3, 4");
  WriteText(program.path() / "scenes" / "a.krn", kSceneText);
  WriteText(program.path() / "scenes" / "with space's" / "b c.XML", kSceneText);
  WriteText(program.path() / "scenes" / "c.krq", "compressed, not looked into");
  WriteText(program.path() / "scenes" / "bad.krn", "<Scene>\r\n<a></b>\r\n</Scene>");
  WriteText(program.path() / "scenes" / "deep" / "er" / "d.krn", kSceneText);
  fs::create_directories(program.path() / "out dir");

  const Case cases[] = {
      {"template defaults", "fields.html", nullptr, "scenes/a.krn", "scenes/a.html", {}, {}},
      {"remembered values",
       "fields.html",
       "((KWB))TITLE((KWB))=Remembered\r\n",
       "scenes/a.krn",
       "out dir/a.html",
       {},
       {}},
      {"--set over remembered values",
       "fields.html",
       "((KWB))TITLE((KWB))=Remembered\r\n((KWB))AUTHOR((KWB))=Old\r\n",
       "scenes/a.krn",
       "a.html",
       {"Ann <ann@example.org>"},
       {"-s", "AUTHOR=Ann <ann@example.org>"}},
      {"--no-saved-values",
       "fields.html",
       "((KWB))TITLE((KWB))=Remembered\r\n",
       "scenes/a.krn",
       "a.html",
       {},
       {"--no-saved-values"},
       true},
      {"tricky names",
       "my.page.html",
       "((KWB))NAME((KWB))=x=y \r\n",
       "scenes/with space's/b c.XML",
       "out dir/b c.html",
       {},
       {"-t", "my.page.html"}},
      {"a parse error",
       "fields.html",
       nullptr,
       "scenes/bad.krn",
       "out dir/bad.html",
       {},
       {},
       false,
       true},
      {"a value that holds placeholders",
       "fields.html",
       nullptr,
       "scenes/a.krn",
       "out dir/held.html",
       {"((KWB))FILENAME((KWB)) ((KWB))TITLE((KWB))"},
       {"-s", "AUTHOR=((KWB))FILENAME((KWB)) ((KWB))TITLE((KWB))"}},
      {"a .krq scene", "fields.html", nullptr, "scenes/c.krq", "c.html", {}, {}},
      {"scene below, page beside",
       "fields.html",
       nullptr,
       "scenes/deep/er/d.krn",
       "out dir/d.html",
       {},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const fs::path scene = program.path() / c.scene;
    const fs::path page = program.path() / c.page;
    const fs::path prefsFile =
        program.defaults() /
        (std::string("Prefs") + fs::path(c.templateName).stem().string() + ".txt");
    auto remember = [&](bool withPrefs) {
      WriteText(program.defaults() / "defaulttemplate.txt", std::string(c.templateName) + "\r\n");
      fs::remove(prefsFile);
      if (c.prefs != nullptr && withPrefs) WriteText(prefsFile, c.prefs);
    };

    remember(!c.windowWithoutPrefs);
    fs::remove(page);
    {
      ProgramRun run;
      run.At(50, [&] {
        if (!c.typed.empty()) {
          // The AUTHOR box of the fields template: the second field (edit ids go 2000, 2002, ...).
          platform::SetControlText(headless::FindControl(mainWindow, 2002), c.typed[0].c_str());
        }
        headless::QueueFileAnswer(ProgramView(scene));
        headless::QueueFileAnswer(ProgramView(page));
        headless::ClickControl(headless::FindControl(mainWindow, 1));
      });
      run.At(300, ProgramRun::CloseWhenConversionEnds);
      run.Run();
      EXPECT_EQ(headless::MessageBoxes().size(), c.parseError ? 1u : 0u);
    }
    const std::string windowPage = ReadText(page);
    ASSERT_NE(windowPage, "<missing>") << "the window wrote no page";

    remember(true);
    const std::string prefsBefore = ReadText(prefsFile);
    fs::remove(page);
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"-o", page.string(), scene.string()});
    EXPECT_EQ(RunCommand(args), kConvertExitOk);
    EXPECT_EQ(ReadText(page), windowPage);
    EXPECT_EQ(ReadText(prefsFile), prefsBefore) << "the command never writes the values";
  }
  // The cases are not alike by accident: what differs between them reaches the pages.
  const auto contains = [](const fs::path& page, const std::string& part) {
    const std::string text = ReadText(page);
    return text.find(part) != std::string::npos ? testing::AssertionSuccess()
                                                : testing::AssertionFailure() << text;
  };
  EXPECT_TRUE(contains(program.path() / "out dir" / "b c.html",
                       "x=y |../scenes/with space's/b c.XML|<input\tname=\"Spin\""));
  EXPECT_TRUE(contains(program.path() / "out dir" / "a.html", "<title>Remembered</title>"));
  EXPECT_TRUE(contains(program.path() / "a.html", "<title>Untitled</title>"));
  EXPECT_TRUE(
      contains(program.path() / "out dir" / "bad.html", "data=\"../scenes/bad.krn\"></object>"));
  EXPECT_TRUE(contains(program.path() / "out dir" / "bad.html", "<form>\r\n</form>"));
  EXPECT_TRUE(contains(program.path() / "c.html", "<form>\r\n</form>"));
  EXPECT_TRUE(contains(program.path() / "out dir" / "d.html", "Stop Door"));
  EXPECT_TRUE(contains(program.path() / "out dir" / "held.html",
                       "<p>../scenes/a.krn ((KWB))TITLE((KWB)) Untitled</p>"))
      << "a value is filled in the order of the fields: FILENAME after it, TITLE before";
  if (versioned) {
    EXPECT_TRUE(contains(program.path() / "a.html", "<small>1.2.3.4</small>"));
  }
}

// Many scenes in one run give each the page that a run of its own gives: nothing of one
// page (its buttons, its FILENAME, a parse error) reaches the next.
TEST(ConvertCommand, EachPageOfOneRunIsThePageOfItsOwnRun) {
  ProgramFolder program;
  program.AddTemplate("fields.html", kFieldsTemplate);
  WriteText(program.defaults() / "defaulttemplate.txt", "fields.html\r\n");
  const struct {
    const char* scene;
    std::string text;
  } scenes[] = {
      {"a.krn", kSceneText},
      {"bad.krn", "<Scene>\r\n<KRSTimeElem Name=\"Lost\" On=\"0\"/>\r\n<a></b>"},
      {"sub/b.krn", "<S x=\"1\"><KRSTimeElem Name=\"Other\" On=\"0\" Clamp=\"0\"/></S>"},
      {"c.krq", "<S><KRSTimeElem Name=\"Unread\" On=\"0\"/></S>"},
      {"none.xml", "<S><T y=\"2\"/></S>"},
      {"last.krn", "<S><KRSTimeElem Name=\"Last\" On=\"0\"/></S>"},
  };
  std::vector<std::string> all = {"-q", "-d", (program.path() / "together").string()};
  for (const auto& scene : scenes) {
    WriteText(program.path() / "in" / scene.scene, scene.text);
    all.push_back((program.path() / "in" / scene.scene).string());
  }
  EXPECT_EQ(RunCommand(all), kConvertExitOk);
  for (const auto& scene : scenes) {
    SCOPED_TRACE(scene.scene);
    const std::string name = fs::path(scene.scene).stem().string() + ".html";
    EXPECT_EQ(RunCommand({"-q", "-d", (program.path() / "alone").string(),
                          (program.path() / "in" / scene.scene).string()}),
              kConvertExitOk);
    const std::string together = ReadText(program.path() / "together" / name);
    EXPECT_EQ(together, ReadText(program.path() / "alone" / name));
    EXPECT_NE(together.find("../in/" + std::string(scene.scene)), std::string::npos) << together;
  }
  EXPECT_EQ(ReadText(program.path() / "together" / "bad.html").find("Lost"), std::string::npos)
      << "no buttons from a scene that does not parse";
}

}  // namespace
