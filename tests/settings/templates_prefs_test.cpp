#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_test_support.h"
#include "settings/converter_state.h"
#include "settings/prefs.h"
#include "settings/templates.h"

namespace {

using apptest::ProgramFolder;
using apptest::ReadText;
using apptest::WriteText;

std::vector<std::string> Items(const StringList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.count; ++i) {
    const char* text = list.items[i].Data();
    out.emplace_back(text != nullptr ? text : "");
  }
  return out;
}

std::string Text(const StringBuffer& buffer) {
  return buffer.Data() != nullptr ? buffer.Data() : "";
}

std::string PrefsPathFor(const char* templateName) {
  ConverterState state;
  state.templateName.SetText(templateName, -1, 0);
  StringBuffer path;
  EXPECT_TRUE(PrefsFilePath(&state, path));
  return Text(path);
}

TEST(Templates, CatalogueHoldsHtmlFiles) {
  ProgramFolder program;
  program.AddTemplate("a.html", "A");
  program.AddTemplate("b.HTML", "B");
  program.AddTemplate("c.txt", "C");
  program.AddTemplate("sub.html/inner.html", "folder named like a template");
  ConverterState state;
  state.templates.Append("stale.html");
  ASSERT_TRUE(ScanTemplates(&state));
  std::vector<std::string> found = Items(state.templates);
  std::vector<std::string> sorted = found;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<std::string>{"a.html", "b.HTML"}))
      << "only .html files in any case, no folders, the old catalogue replaced";
  EXPECT_FALSE(ScanTemplates(nullptr));

  ASSERT_EQ(found, (std::vector<std::string>{"a.html", "b.HTML"}));
  ASSERT_TRUE(ChooseFirstTemplate(&state));
  EXPECT_EQ(Text(state.templateName), found[0]) << "without a default file the first entry wins";
}

TEST(Templates, CatalogueIsSortedWithoutRegardToCase) {
  // Whatever order the files were made in (and the folder lists them in), one order on every
  // system: letters as capitals, as NTFS lists names, so '_' comes after the letters.
  struct Case {
    std::vector<std::string> made;
    std::vector<std::string> listed;
  } cases[] = {
      {{"presentation.html", "generic.html", "embed.html"},
       {"embed.html", "generic.html", "presentation.html"}},
      {{"b.html", "A.html", "c.HTML", "a2.html"}, {"A.html", "a2.html", "b.html", "c.HTML"}},
      {{"z.html", "Zoo.html", "_x.html", "1.html", "y_.html", "yA.html"},
       {"1.html", "yA.html", "y_.html", "z.html", "Zoo.html", "_x.html"}},
  };
  for (const Case& c : cases) {
    ProgramFolder program;
    for (const std::string& name : c.made) program.AddTemplate(name, "T");
    ConverterState state;
    ASSERT_TRUE(ScanTemplates(&state));
    EXPECT_EQ(Items(state.templates), c.listed) << c.made[0] << "...";
    ASSERT_TRUE(ChooseFirstTemplate(&state));
    EXPECT_EQ(Text(state.templateName), c.listed[0]) << "the first in that order is the fallback";
  }
}

TEST(Templates, EmptyCatalogueFallsBackToGeneric) {
  ProgramFolder program;
  ConverterState state;
  ASSERT_TRUE(ScanTemplates(&state));
  EXPECT_EQ(state.templates.count, 0);
  ChooseFirstTemplate(&state);
  EXPECT_EQ(Text(state.templateName), "generic.html");
}

TEST(Templates, DefaultTemplateFile) {
  ProgramFolder program;
  ConverterState state;
  for (const char* name : {"first.html", "my page.html"}) state.templates.Append(name);
  state.templateName.SetText("first.html", -1, 0);
  EXPECT_FALSE(LoadDefaultTemplate(&state)) << "no file yet";
  EXPECT_EQ(Text(state.templateName), "first.html");

  WriteText(program.defaults() / "defaulttemplate.txt", "no line break.html");
  EXPECT_FALSE(LoadDefaultTemplate(&state)) << "a name without a line break is ignored";
  EXPECT_EQ(Text(state.templateName), "first.html");

  WriteText(program.defaults() / "defaulttemplate.txt", "missing.html\nrest");
  EXPECT_FALSE(LoadDefaultTemplate(&state));
  EXPECT_EQ(Text(state.templateName), "first.html")
      << "a remembered name that is not in the catalogue keeps the catalogue's choice";

  state.templateName.SetText("my page.html", -1, 0);
  EXPECT_TRUE(SaveDefaultTemplate(&state));
  EXPECT_EQ(ReadText(program.defaults() / "defaulttemplate.txt"), "my page.html\r\n");
  state.templateName.SetText("x", -1, 0);
  EXPECT_TRUE(LoadDefaultTemplate(&state));
  EXPECT_EQ(Text(state.templateName), "my page.html") << "what is saved is read back";

  state.templateName.SetText("gone.html", -1, 0);
  EXPECT_TRUE(SaveDefaultTemplate(&state)) << "a name outside the catalogue is not saved";
  EXPECT_EQ(ReadText(program.defaults() / "defaulttemplate.txt"), "my page.html\r\n");

  state.templateName.SetText("first.html", -1, 0);
  std::filesystem::remove_all(program.defaults());
  EXPECT_TRUE(SaveDefaultTemplate(&state)) << "without Defaults: the user's folder";
  EXPECT_EQ(ReadText(program.userSettings() / "defaulttemplate.txt"), "first.html\r\n");
  EXPECT_FALSE(std::filesystem::exists(program.defaults())) << "no Defaults made";
}

TEST(Templates, ScanTemplateFieldsOfTheCurrentTemplate) {
  ProgramFolder program;
  program.AddTemplate("page.html",
                      "((KWB))TITLE::Untitled((KWB)) ((KWB))BUILD((KWB)) ((KWB))AUTHOR((KWB))");
  ConverterState state;
  state.fieldNames.Append("OLD");
  state.fieldValues.Append("old");
  state.maxNameLength = 40;
  state.templateName.SetText("page.html", -1, 0);
  ASSERT_TRUE(ScanTemplateFields(&state));
  EXPECT_EQ(Items(state.fieldNames), (std::vector<std::string>{"TITLE", "AUTHOR"}));
  EXPECT_EQ(Items(state.fieldValues), (std::vector<std::string>{"Untitled", ""}));
  EXPECT_EQ(state.maxNameLength, 6);

  state.templateName.SetText("gone.html", -1, 0);
  EXPECT_FALSE(ScanTemplateFields(&state)) << "an unreadable template has no fields";
  EXPECT_EQ(state.fieldNames.count, 0);
  EXPECT_EQ(state.fieldValues.count, 0);
  EXPECT_EQ(state.maxNameLength, 0);
}

TEST(Prefs, FilePathFromTheTemplateName) {
  EXPECT_EQ(PrefsPathFor("generic.html"), "\\Defaults\\Prefsgeneric.txt");
  EXPECT_EQ(PrefsPathFor("my.page.html"), "\\Defaults\\Prefsmy.page.txt")
      << "only the last extension is cut";
  EXPECT_EQ(PrefsPathFor("plain"), "\\Defaults\\Prefsplain.txt") << "a name without a dot is whole";
  EXPECT_EQ(PrefsPathFor(""), "\\Defaults\\Prefs.txt");
  StringBuffer out;
  EXPECT_FALSE(PrefsFilePath(nullptr, out));
}

// A state with the fields A, B and C of "page.html" and their defaults.
void MakeFields(ConverterState& state) {
  state.templateName.SetText("page.html", -1, 0);
  state.templates.Append("page.html");
  for (const char* name : {"A", "B", "C"}) state.fieldNames.Append(name);
  for (const char* value : {"a0", "b0", "c0"}) state.fieldValues.Append(value);
}

TEST(Prefs, LoadTakesKnownFieldsLineByLine) {
  ProgramFolder program;
  ConverterState state;
  MakeFields(state);
  EXPECT_FALSE(LoadPrefs(&state)) << "no preferences file yet";
  EXPECT_EQ(Items(state.fieldValues), (std::vector<std::string>{"a0", "b0", "c0"}));

  WriteText(program.defaults() / "Prefspage.txt",
            "((KWB))A((KWB)) junk=x\r\n"
            "\r\n"
            "garbage line\r\n"
            "((KWB))GONE((KWB))=dropped\r\n"
            "((KWB))B((KWB))=k=v= \t\n"
            "((KWB))C((KWB))=unterminated");
  ASSERT_TRUE(LoadPrefs(&state));
  EXPECT_EQ(Items(state.fieldValues), (std::vector<std::string>{"x", "k=v= \t", "unterminated"}))
      << "junk before = is ignored, values keep = and blanks, a last line without break is "
         "read, unknown names are dropped";
}

TEST(Prefs, ImperfectFilesKeepEveryCompleteLine) {
  using namespace std::string_literals;
  struct Case {
    std::string text;
    std::vector<std::string> values;
    const char* what;
  } cases[] = {
      {"((KWB))A((KWB))=1\r\n((KWB))B((KWB))=2", {"1", "2", "c0"}, "no line end at the end"},
      {"((KWB))A((KWB))=1\r\n\0\0((KWB))B((KWB))=2\r\n((KWB))C((KWB))=3\r\n"s,
       {"1", "2", "3"},
       "NUL bytes between lines"},
      {"((KWB))A((KWB))=x\0y\r\n((KWB))C((KWB))=3\n"s, {"x", "b0", "3"}, "a NUL ends its line"},
      {"((KWB))A((KWB))=1\r((KWB))B((KWB))=2\n", {"1", "2", "c0"}, "CR and LF alone"},
      {"((KWB))A((KWB))\\=a\\r\\nb\\\\n\\x\r\n", {"a\r\nb\\n\\x", "b0", "c0"}, "an escaped value"},
      {"((KWB))A((KWB)) \\=a\\nb\r\n",
       {"a\\nb", "b0", "c0"},
       "junk other than the mark alone keeps the value as written"},
  };
  for (const Case& c : cases) {
    ConverterState state;
    MakeFields(state);
    ApplyPrefsText(&state, c.text.data(), unsigned(c.text.size()));
    EXPECT_EQ(Items(state.fieldValues), c.values) << c.what;
  }
}

TEST(Prefs, ValuesWithLineBreaksRoundTrip) {
  ProgramFolder program;
  ConverterState state;
  MakeFields(state);
  state.fieldValues.items[0].SetText("line one\r\nline two", -1, 0);
  state.fieldValues.items[1].SetText("back\\slash\\n and \\\\", -1, 0);
  state.fieldValues.items[2].SetText("\nx\r", -1, 0);
  ASSERT_TRUE(SavePrefs(&state));
  EXPECT_EQ(ReadText(program.defaults() / "Prefspage.txt"),
            "((KWB))A((KWB))\\=line one\\r\\nline two\r\n"
            "((KWB))B((KWB))=back\\slash\\n and \\\\\r\n"
            "((KWB))C((KWB))\\=\\nx\\r\r\n")
      << "only a value with a line break is escaped; the others are written as always";
  ConverterState loaded;
  MakeFields(loaded);
  ASSERT_TRUE(LoadPrefs(&loaded));
  EXPECT_EQ(Items(loaded.fieldValues), Items(state.fieldValues));
}

TEST(Prefs, SaveWritesNonBlankValuesOnly) {
  ProgramFolder program;
  ConverterState state;
  MakeFields(state);
  state.fieldValues.items[0].SetText(" My Scene ", -1, 0);
  state.fieldValues.items[1].SetText(" \t ", -1, 0);
  state.fieldValues.items[2].SetText("", -1, 0);
  ASSERT_TRUE(SavePrefs(&state));
  EXPECT_EQ(ReadText(program.defaults() / "Prefspage.txt"), "((KWB))A((KWB))= My Scene \r\n")
      << "blank and empty values are not saved; leading and trailing blanks stay";

  // The saved file replaces a longer old one completely.
  state.fieldValues.items[1].SetText("b=1", -1, 0);
  ASSERT_TRUE(SavePrefs(&state));
  state.fieldValues.items[1].SetText("", -1, 0);
  ASSERT_TRUE(SavePrefs(&state));
  EXPECT_EQ(ReadText(program.defaults() / "Prefspage.txt"), "((KWB))A((KWB))= My Scene \r\n");

  // Round trip, with a long value that no fixed line buffer would hold.
  const std::string longValue(6000, 'L');
  state.fieldValues.items[2].SetText(longValue.c_str(), -1, 0);
  ASSERT_TRUE(SavePrefs(&state));
  ConverterState loaded;
  MakeFields(loaded);
  ASSERT_TRUE(LoadPrefs(&loaded));
  EXPECT_EQ(Items(loaded.fieldValues), (std::vector<std::string>{" My Scene ", "b0", longValue}))
      << "a blank value comes back with its default";

  const std::string saved = "((KWB))A((KWB))= My Scene \r\n((KWB))C((KWB))=" + longValue + "\r\n";
  std::filesystem::remove_all(program.defaults());
  EXPECT_TRUE(SavePrefs(&state)) << "without Defaults: the user's folder";
  EXPECT_EQ(ReadText(program.userSettings() / "Prefspage.txt"), saved);
  EXPECT_FALSE(std::filesystem::exists(program.defaults())) << "no Defaults made";
  std::filesystem::create_directories(program.defaults());
  EXPECT_TRUE(SavePrefs(&state));
  EXPECT_EQ(ReadText(program.defaults() / "Prefspage.txt"), saved);

  ConversionFailure failure;
  std::filesystem::permissions(program.defaults() / "Prefspage.txt",
                               std::filesystem::perms::owner_read);
  EXPECT_FALSE(SavePrefs(&state, &failure)) << "a read-only settings file";
  StringBuffer message;
  ASSERT_TRUE(failure.FormatMessage(message));
  EXPECT_EQ(Text(message), "Could not save the settings " +
                               (program.defaults() / "Prefspage.txt").string() +
                               ": Permission denied");
  std::filesystem::permissions(program.defaults() / "Prefspage.txt",
                               std::filesystem::perms::owner_all);

  state.templateName.SetText("gone.html", -1, 0);
  EXPECT_TRUE(SavePrefs(&state)) << "nothing to save for a template outside the catalogue";
  EXPECT_FALSE(std::filesystem::exists(program.defaults() / "Prefsgone.txt"));
}

}  // namespace
