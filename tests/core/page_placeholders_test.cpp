#include "core/page_placeholders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_test_support.h"
#include "headless_support.h"

namespace {

using apptest::ProgramView;
using apptest::WriteText;

std::string Text(const StringBuffer& b) {
  return b.Data() != nullptr ? b.Data() : "";
}

TEST(FormatBuildString, DottedProductVersion) {
  apptest::TempFolder folder;
  const auto file = folder / "versioned";
  StringBuffer out;
  if (apptest::WriteVersionedFile(file.string(), "1, 0, 3, 12")) {
    out.SetText("v", -1, 0);
    EXPECT_TRUE(FormatBuildString(ProgramView(file).c_str(), out));
    EXPECT_EQ(Text(out), "v1.0.3.12") << "each byte in decimal, appended to the result";

    ASSERT_TRUE(apptest::WriteVersionedFile(file.string(), "255, 254, 0, 7"));
    out.SetText(nullptr, -1, 0);
    EXPECT_TRUE(FormatBuildString(ProgramView(file).c_str(), out));
    EXPECT_EQ(Text(out), "255.254.0.7");

    ASSERT_TRUE(apptest::WriteVersionedFile(file.string(), "0, 0, 0, 0"));
    out.SetText("keep", -1, 0);
    EXPECT_FALSE(FormatBuildString(ProgramView(file).c_str(), out)) << "all zeros is no version";
    EXPECT_EQ(Text(out), "keep");
  }
  out.SetText("keep", -1, 0);

  WriteText(folder / "plain", "not a program");
  EXPECT_FALSE(FormatBuildString(ProgramView(folder / "plain").c_str(), out));
  EXPECT_FALSE(FormatBuildString(ProgramView(folder / "missing").c_str(), out));
  EXPECT_FALSE(FormatBuildString(nullptr, out));
  EXPECT_EQ(Text(out), "keep");
}

TEST(PagePlaceholders, NamedFieldsThenBuildThenSceneFields) {
  struct Case {
    const char* what;
    const char* page;
    std::vector<std::string> names;
    std::vector<std::string> values;
    const char* expected;
  } cases[] = {
      {"every field, BUILD and the scene's two",
       "((KWB))A((KWB)) ((KWB))BUILD((KWB)) "
       "((KWB))FILENAME((KWB)) ((KWB))FORMSDATA((KWB))",
       {"A"},
       {"a"},
       "a 1.2.3.4 s.krn <b>"},
      {"a value holding a later placeholder is filled in turn",
       "((KWB))A((KWB))",
       {"A", "B"},
       {"((KWB))B((KWB))", "b"},
       "b"},
      {"a field without a value is emptied", "[((KWB))A((KWB))]", {"A"}, {}, "[]"},
      {"an empty name is skipped", "((KWB))((KWB))", {""}, {"x"}, "((KWB))((KWB))"},
  };
  for (const Case& c : cases) {
    StringList names;
    StringList values;
    for (const std::string& name : c.names) names.Append(name.c_str());
    for (const std::string& value : c.values) values.Append(value.c_str());
    StringBuffer page;
    ASSERT_TRUE(page.SetText(c.page, -1, 0));
    EXPECT_TRUE(FillNamedPlaceholders(page, &names, &values, "1.2.3.4")) << c.what;
    EXPECT_TRUE(FillScenePlaceholders(page, "s.krn", "<b>")) << c.what;
    EXPECT_EQ(Text(page), c.expected) << c.what;
  }
}

}  // namespace
