#include "core/page_text.h"

#include <gtest/gtest.h>

#include <string>

#include "app_test_support.h"
#include "base/file_handle.h"
#include "base/path_buffer.h"
#include "core/button_block.h"
#include "core/page_conversion.h"
#include "headless_support.h"
#include "platform/file_replace.h"

namespace {

using apptest::ProgramView;

// Writes text to a file named by a program path in the system's own encoding, through the
// system's calls, making its folder first.
bool WriteSystemFile(const std::string& programPath, const std::string& text) {
  PathBuffer folder(programPath.c_str());
  if (!folder.SetFileName("")) return false;
  SysCreateFolder(folder.path);
  PathBuffer path(programPath.c_str());
  FileHandle file(path);
  uint32_t written = 0;
  const bool ok = file.Open(2) &&
                  file.Write(text.data(), static_cast<uint32_t>(text.size()), &written) &&
                  written == text.size();
  return file.Close() && ok;
}
using apptest::ReadText;

TEST(PageTextTest, DeclaresUtf8) {
  const struct {
    const char* text;
    bool utf8;
  } cases[] = {
      {"<meta charset=\"utf-8\">", true},
      {"<META CHARSET=UTF-8>", true},
      {"<meta charset = 'utf8'>", true},
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">", true},
      {"<meta charset=\"windows-1252\">", false},
      {"<p>charset is utf-8</p>", false},
      {"<html><body>no declaration</body></html>", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(DeclaresUtf8(c.text), c.utf8) << c.text;
  EXPECT_FALSE(DeclaresUtf8(nullptr));
}

TEST(PageTextTest, SceneReferenceEscapesOnlyWhatChangesAUrl) {
  const struct {
    const char* page;
    const char* scene;
    const char* reference;
  } cases[] = {
      {"Z:\\w\\a.html", "Z:\\w\\a.krn", "a.krn"},
      {"Z:\\w\\a.html", "Z:\\w\\sub dir\\my scene (2) & co;+=,!$'~.krn",
       "sub dir/my scene (2) & co;+=,!$'~.krn"},
      {"Z:\\w\\pages\\a.html", "Z:\\w\\scene #1 at 100%?.krn", "../scene %231 at 100%25%3F.krn"},
      {"Z:\\w\\a.html", "Z:\\w\\%20\\#.krn", "%2520/%23.krn"},
      {"C:\\w\\a.html", "D:\\w\\b#.krn", "D:\\w\\b%23.krn"},
  };
  for (const auto& c : cases) {
    StringBuffer out;
    ASSERT_TRUE(MakeSceneReference(c.page, c.scene, true, out)) << c.scene;
    EXPECT_STREQ(out.Data(), c.reference) << c.page << " -> " << c.scene;
  }
}

// One conversion through the core, with a template that declares utf-8 or windows-1252, a
// typed value and a scene name outside ASCII in the system's own encoding: UTF-8 on Linux,
// the ANSI code page 1252 on Windows (Wine's default). A UTF-8 page gets both in UTF-8; a
// page of another encoding gets the system's bytes as they are; ASCII is the same everywhere.
// Compared: the value, FILENAME and the name of the scene's one button.
TEST(PageTextTest, PagesGetTheSystemTextInTheirDeclaredEncoding) {
#if KRN_TEST_ANSI_SYSTEM_TEXT
  const std::string cafe = "Caf\xE9";  // windows-1252
#else
  const std::string cafe = "Caf\xC3\xA9";
#endif
  const std::string utf8 = "Caf\xC3\xA9";
  const struct {
    const char* charset;
    std::string value;
    std::string scene;
    std::string expected;
  } cases[] = {
      {"utf-8", cafe, cafe + " #1.krn", utf8 + "|s/" + utf8 + " %231.krn|" + utf8},
      {"windows-1252", cafe, cafe + " #1.krn", cafe + "|s/" + cafe + " %231.krn|" + utf8},
      {"utf-8", "Plain", "a b.krn", "Plain|s/a b.krn|Spin"},
      {"windows-1252", "Plain", "a b.krn", "Plain|s/a b.krn|Spin"},
  };
  apptest::HeadlessToolkit toolkit;
  apptest::ProgramFolder program;
  for (const auto& c : cases) {
    const std::string head = std::string("<meta charset=\"") + c.charset + "\">";
    program.AddTemplate("t.html",
                        head + "((KWB))T((KWB))|((KWB))FILENAME((KWB))|((KWB))FORMSDATA((KWB))");
    StringList names;
    StringList values;
    names.Append("T");
    values.Append(c.value.c_str());
    const std::string templatePath = ProgramView(program.templates() / "t.html");
    const std::string page = ProgramView(program.path() / "p.html");
    const std::string scene = ProgramView(program.path()) + "\\s\\" + c.scene;
    // The scene file is made under its name in the system's encoding, by the system's own
    // calls; expat hands its animation name over as UTF-8 on both systems.
    const std::string name = c.value == "Plain" ? "Spin" : "Caf\xE9";
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><S>"
        "<KRSTimeElem Name=\"" +
        name + "\" On=\"0\" Clamp=\"1\"/></S>";
    ASSERT_TRUE(WriteSystemFile(scene, xml)) << scene;
    ConversionRequest request;
    request.templatePath = templatePath.c_str();
    request.fieldNames = &names;
    request.fieldValues = &values;
    request.scenePath = scene.c_str();
    request.pagePath = page.c_str();
    ConversionFailure failure;
    ASSERT_TRUE(ConvertToPage(request, failure)) << c.charset << " " << c.scene;
    const std::string pageText = ReadText(program.path() / "p.html");
    const std::string button = "<input\tname=\"";
    const size_t at = pageText.find(button);
    ASSERT_NE(at, std::string::npos) << pageText;
    const size_t end = pageText.find('"', at + button.size());
    EXPECT_EQ(
        pageText.substr(0, at) + pageText.substr(at + button.size(), end - at - button.size()),
        head + c.expected)
        << c.charset << ", value " << c.value << ", scene " << c.scene;
  }
  ButtonBlock()->Reset();
}

}  // namespace
