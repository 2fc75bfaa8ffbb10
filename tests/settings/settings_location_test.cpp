#include "settings/settings_location.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_test_support.h"
#include "core/conversion_failure.h"
#include "headless_support.h"
#include "platform/headless/headless_desktop.h"
#include "settings/converter_state.h"
#include "settings/prefs.h"
#include "settings/templates.h"
#include "window/failure_box.h"
#include "window/program_entry.h"
#include "window/window_globals.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using apptest::ProgramFolder;
using apptest::ReadText;
using apptest::WriteText;

std::string Text(const StringBuffer& buffer) {
  return buffer.Data() != nullptr ? buffer.Data() : "";
}

std::vector<std::string> Items(const StringList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.count; ++i) out.emplace_back(Text(list.items[i]));
  return out;
}

TEST(SettingsLocation, AWritableProgramFolderKeepsTheSettings) {
  ProgramFolder program;
  program.AddTemplate("page.html", "((KWB))A::x((KWB))");
  ConverterState state;
  ScanTemplates(&state);
  ChooseFirstTemplate(&state);
  ScanTemplateFields(&state);
  state.fieldValues.items[0].SetText("kept", -1, 0);
  EXPECT_TRUE(SettingsInProgramFolder());
  EXPECT_TRUE(SavePrefs(&state));
  EXPECT_TRUE(SaveDefaultTemplate(&state));
  EXPECT_EQ(ReadText(program.defaults() / "Prefspage.txt"), "((KWB))A((KWB))=kept\r\n");
  EXPECT_EQ(ReadText(program.defaults() / "defaulttemplate.txt"), "page.html\r\n");
  EXPECT_FALSE(std::filesystem::exists(program.userSettings()))
      << "the user's folder is not made while the program folder takes the settings";

  // An installed program has no Defaults, though its folder may be writable (a per-user
  // installation): its settings go to the user's folder, and no Defaults is made.
  std::filesystem::remove_all(program.defaults());
  EXPECT_FALSE(SettingsInProgramFolder()) << "a program folder without Defaults is an installation";
  EXPECT_TRUE(SavePrefs(&state));
  EXPECT_EQ(ReadText(program.userSettings() / "Prefspage.txt"), "((KWB))A((KWB))=kept\r\n");
  EXPECT_FALSE(std::filesystem::exists(program.defaults()))
      << "no Defaults made beside the program";
}

TEST(SettingsLocation, UserTemplatesAreListedAndWinOverShippedOnes) {
  ProgramFolder program;
  program.AddTemplate("a.html", "shipped a ((KWB))X::1((KWB))");
  program.AddTemplate("b.html", "shipped b ((KWB))X::1((KWB))");
  WriteText(program.userSettings() / "templates" / "b.html", "own b ((KWB))Own::2((KWB))");
  WriteText(program.userSettings() / "templates" / "c.html", "own c");
  WriteText(program.userSettings() / "templates" / "notes.txt", "no template");

  ConverterState state;
  ASSERT_TRUE(ScanTemplates(&state));
  const std::vector<std::string> catalogue = Items(state.templates);
  ASSERT_EQ(catalogue.size(), 3u) << "a.html, b.html (once) and c.html";
  EXPECT_EQ(catalogue[2], "c.html") << "the user's own names follow the shipped ones";
  EXPECT_TRUE((catalogue[0] == "a.html" && catalogue[1] == "b.html") ||
              (catalogue[0] == "b.html" && catalogue[1] == "a.html"));

  const struct {
    const char* name;
    std::filesystem::path want;
  } paths[] = {
      {"a.html", program.templates() / "a.html"},
      {"b.html", program.userSettings() / "templates" / "b.html"},
      {"c.html", program.userSettings() / "templates" / "c.html"},
      {"gone.html", program.templates() / "gone.html"},
  };
  for (const auto& p : paths) {
    PathBuffer path;
    ASSERT_TRUE(SetTemplatePath(path, p.name)) << p.name;
    std::string got = path.path;
    for (size_t twice; (twice = got.find("\\\\", 1)) != std::string::npos;) got.erase(twice, 1);
    EXPECT_EQ(got, apptest::ProgramView(p.want))
        << p.name << ": the user's template wins, else the shipped one";
  }

  state.templateName.SetText("b.html", -1, 0);
  ASSERT_TRUE(ScanTemplateFields(&state));
  EXPECT_EQ(Items(state.fieldNames), std::vector<std::string>{"Own"})
      << "the fields come from the user's b.html";
}

#ifndef _WIN32

constexpr uid_t kOtherUser = 65534;  // nobody

// Runs check in a child process, as the unprivileged user when the tests run as root (who may
// write anywhere); the child's exit status is the number of failed expectations.
template <typename Check>
int InChildAsUser(Check check) {
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setegid(kOtherUser) != 0 || seteuid(kOtherUser) != 0)) _exit(100);
    _exit(check());
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
}

int Expect(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "child: expected %s\n", what);
  return ok ? 0 : 1;
}

TEST(SettingsLocation, AReadOnlyProgramFolderSendsSettingsToTheUsersOwnFolder) {
  ProgramFolder program;
  program.AddTemplate("page.html", "((KWB))A::x((KWB))");
  const std::filesystem::path config = program.userSettings().parent_path();
  std::filesystem::create_directories(config);
  if (geteuid() == 0) {
    ASSERT_EQ(chown(config.c_str(), kOtherUser, kOtherUser), 0);
  }
  // Everyone may read and enter the program folder; nobody but its owner may write there.
  for (const auto& folder : {program.path(), program.templates(), program.defaults()}) {
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  }
  ASSERT_EQ(chmod((program.templates() / "page.html").c_str(), 0444), 0);

  const int failures = InChildAsUser([&] {
    int failed = Expect(!SettingsInProgramFolder(), "the settings away from the program folder");
    ConverterState state;
    ScanTemplates(&state);
    ChooseFirstTemplate(&state);
    ScanTemplateFields(&state);
    state.fieldValues.items[0].SetText("mine", -1, 0);
    failed += Expect(SavePrefs(&state), "the preferences saved");
    failed += Expect(SaveDefaultTemplate(&state), "the default template saved");
    struct stat folder {};
    failed += Expect(
        stat(program.userSettings().c_str(), &folder) == 0 && (folder.st_mode & 0777) == 0700,
        "the user's folder made for the user alone (0700), and so its files");
    failed +=
        Expect(ReadText(program.userSettings() / "Prefspage.txt") == "((KWB))A((KWB))=mine\r\n",
               "the preferences in the user's folder, same name and format");
    failed += Expect(ReadText(program.userSettings() / "defaulttemplate.txt") == "page.html\r\n",
                     "the default template in the user's folder");
    ConverterState again;
    ScanTemplates(&again);
    ChooseFirstTemplate(&again);
    LoadDefaultTemplate(&again);
    ScanTemplateFields(&again);
    failed += Expect(LoadPrefs(&again) && Text(again.fieldValues.items[0]) == "mine",
                     "the next run reading them back from there");
    return failed;
  });
  for (const auto& folder : {program.path(), program.templates(), program.defaults()}) {
    chmod(folder.c_str(), 0755);
  }
  EXPECT_EQ(failures, 0) << "see the child's lines above";
  EXPECT_TRUE(std::filesystem::is_empty(program.defaults())) << "nothing is written there";
}

TEST(SettingsLocation, ASettingsFileOfAnotherUserIsIgnoredAndTold) {
  if (geteuid() != 0) GTEST_SKIP() << "making a file of another user needs root";
  ProgramFolder program;
  program.AddTemplate("a.html", "((KWB))T::default((KWB))");
  program.AddTemplate("b.html", "((KWB))T::default((KWB))");
  WriteText(program.defaults() / "defaulttemplate.txt", "b.html\r\n");
  WriteText(program.defaults() / "Prefsb.txt", "((KWB))T((KWB))=<script>planted</script>\r\n");
  const std::filesystem::path planted[] = {program.defaults() / "defaulttemplate.txt",
                                           program.defaults() / "Prefsb.txt"};
  for (const auto& file : planted) ASSERT_EQ(chown(file.c_str(), kOtherUser, kOtherUser), 0);

  ConverterState state;
  ScanTemplates(&state);
  ChooseFirstTemplate(&state);
  const std::string first = Text(state.templateName);
  ConversionFailure foreign;
  EXPECT_FALSE(LoadDefaultTemplate(&state, &foreign));
  EXPECT_EQ(Text(state.templateName), first) << "the planted default template is not taken";
  StringBuffer message;
  ASSERT_TRUE(foreign.FormatMessage(message));
  EXPECT_EQ(Text(message),
            "Ignored the settings " + planted[0].string() + ": it belongs to another user");

  state.templateName.SetText("b.html", -1, 0);
  ScanTemplateFields(&state);
  foreign.Clear();
  EXPECT_FALSE(LoadPrefs(&state, &foreign));
  EXPECT_EQ(Text(state.fieldValues.items[0]), "default") << "the planted value is not taken";
  ASSERT_TRUE(foreign.FormatMessage(message));
  EXPECT_EQ(Text(message),
            "Ignored the settings " + planted[1].string() + ": it belongs to another user");

  // The window tells it once, however often it is rebuilt.
  foreignSettingsTold = false;
  apptest::ProgramRun run;
  run.At(50, [&] { headless::RequestClose(mainWindow); });
  EXPECT_EQ(run.Run(), 0);
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].title, kFailureTitle);
  EXPECT_EQ(headless::MessageBoxes()[0].text,
            "Ignored the settings " + planted[0].string() + ": it belongs to another user");
}

#endif

}  // namespace
