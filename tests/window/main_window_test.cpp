#include "window/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app_test_support.h"
#include "headless_support.h"
#include "platform/gui_input.h"
#include "platform/gui_window.h"
#include "platform/headless/headless_desktop.h"
#include "settings/converter_state.h"
#include "window/window_globals.h"
#include "window/window_state.h"

namespace {

using apptest::ProgramFolder;
using apptest::ProgramRun;
using apptest::ProgramView;
using apptest::ReadText;
using apptest::WriteText;

// One control as the desktop holds it.
struct Seen {
  int id;
  platform::ControlClass kind;
  platform::Rect rect;
  std::string text;
  bool operator==(const Seen& o) const {
    return id == o.id && kind == o.kind && rect.left == o.rect.left && rect.top == o.rect.top &&
           rect.right == o.rect.right && rect.bottom == o.rect.bottom && text == o.text;
  }
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
  return out << "{id " << s.id << ", class " << static_cast<int>(s.kind) << ", (" << s.rect.left
             << "," << s.rect.top << "," << s.rect.right << "," << s.rect.bottom << "), \""
             << s.text << "\"}";
}

std::vector<Seen> ControlsOf(void* window) {
  std::vector<Seen> out;
  for (headless::Window* c : headless::Controls(window)) {
    out.push_back(Seen{headless::ControlId(c), headless::ControlClassOf(c),
                       headless::ControlRect(c), headless::WindowText(c)});
  }
  return out;
}

constexpr auto kButton = platform::ControlClass::kButton;
constexpr auto kEdit = platform::ControlClass::kEdit;
constexpr auto kStatic = platform::ControlClass::kStatic;

int Width(const platform::Rect& r) {
  return r.right - r.left;
}
int Height(const platform::Rect& r) {
  return r.bottom - r.top;
}

// Window records are reused by the allocator, so a rebuilt window may have the
// old handle. A marked window has a size that no layout gives; a rebuild loses it.
void MarkWindow(void* window) {
  const platform::Rect r = headless::OuterRect(window);
  platform::MoveNativeWindow(window, r.left, r.top, 999, 555, false);
}
bool IsMarked(void* window) {
  const platform::Rect r = headless::OuterRect(window);
  return Width(r) == 999 && Height(r) == 555;
}

void WhenConversionEnds(std::function<void()> action) {
  ProgramRun::WhenConversionEnds(std::move(action));
}
void CloseWhenConversionEnds() {
  ProgramRun::CloseWhenConversionEnds();
}

TEST(MainWindowLayout, LabelColumnWidth) {
  EXPECT_EQ(LabelColumnWidth(0), 150);
  EXPECT_EQ(LabelColumnWidth(11), 150) << "11 characters stay at the minimum";
  EXPECT_EQ(LabelColumnWidth(12), 162) << "(12 + 1) * 25 / 2";
  EXPECT_EQ(LabelColumnWidth(40), 512);
}

TEST(MainWindow, LayoutWithoutFieldsIsCentredFirst) {
  ProgramFolder program;
  program.AddTemplate("plain.html", "no fields");
  ProgramRun run;
  platform::Rect outer{};
  std::vector<Seen> controls;
  std::string title;
  bool visible = false;
  bool drops = false;
  run.At(50, [&] {
    outer = headless::OuterRect(mainWindow);
    controls = ControlsOf(mainWindow);
    title = headless::WindowText(mainWindow);
    visible = headless::IsVisible(mainWindow);
    drops = headless::AcceptsDrops(mainWindow);
    headless::RequestClose(mainWindow);
  });
  EXPECT_EQ(run.Run(), 0);
  EXPECT_FALSE(run.guardFired());
  EXPECT_EQ(Width(outer), 481);
  EXPECT_EQ(Height(outer), 75);
  // Centred as a 400 x 100 client window on the 1024 x 768 screen, then laid
  // out from its client area's top-left corner.
  const int frameW = 400 + 2 * headless::kBorderInset;
  const int frameH = 100 + headless::kCaptionHeight + 2 * headless::kBorderInset;
  EXPECT_EQ(outer.left, 512 - frameW / 2 + headless::kBorderInset);
  EXPECT_EQ(outer.top, 384 - frameH / 2 + headless::kBorderInset + headless::kCaptionHeight);
  EXPECT_EQ(title, "Tessaly KRN 2 HTML (Drag and drop files on this window to convert)");
  EXPECT_TRUE(visible) << "the open event shows the window";
  EXPECT_TRUE(drops) << "the window accepts dropped files";
  EXPECT_EQ(controls, (std::vector<Seen>{
                          {1, kButton, {21, 1, 454, 23}, "Convert KRN/KRQ File to HTML..."},
                          {2, kButton, {349, 26, 475, 48}, "Reset Defaults"},
                          {1000, kStatic, {0, 25, 149, 49}, "HTML template menu:"},
                      }));
  EXPECT_EQ(ReadText(program.defaults() / "defaulttemplate.txt"), "plain.html\r\n")
      << "closing saves the current template";
}

TEST(MainWindow, FieldBoxesInOrder) {
  ProgramFolder program;
  program.AddTemplate("page.html", "((KWB))ABCDEFGHIJKL((KWB)) ((KWB))B::bee((KWB))");
  ProgramRun run;
  platform::Rect outer{};
  std::vector<Seen> controls;
  run.At(50, [&] {
    outer = headless::OuterRect(mainWindow);
    controls = ControlsOf(mainWindow);
    headless::RequestClose(mainWindow);
  });
  run.Run();
  EXPECT_EQ(Width(outer), 162 + 331) << "a = 162 for a 12-character name";
  EXPECT_EQ(Height(outer), 25 * 2 + 75);
  EXPECT_EQ(controls, (std::vector<Seen>{
                          {1000, kStatic, {0, 50, 161, 74}, "ABCDEFGHIJKL"},
                          {2000, kEdit, {163, 50, 487, 74}, ""},
                          {1002, kStatic, {0, 75, 161, 99}, "B"},
                          {2002, kEdit, {163, 75, 487, 99}, "bee"},
                          {1, kButton, {21, 1, 466, 23}, "Convert KRN/KRQ File to HTML..."},
                          {2, kButton, {361, 26, 487, 48}, "Reset Defaults"},
                          {1004, kStatic, {0, 25, 161, 49}, "HTML template menu:"},
                      }));
}

TEST(MainWindow, CloseByTheUserSavesTypedValues) {
  ProgramFolder program;
  program.AddTemplate("page.html", "((KWB))A::one((KWB)) ((KWB))B::two((KWB))");
  WriteText(program.defaults() / "Prefspage.txt", "((KWB))B((KWB))=saved\r\n");
  ProgramRun run;
  std::string shownB;
  run.At(50, [&] {
    shownB = headless::WindowText(headless::FindControl(mainWindow, 2002));
    headless::TypeText(headless::FindControl(mainWindow, 2000), " more");
    headless::TypeText(headless::FindControl(mainWindow, 2002), "!");
  });
  run.At(100, [] { headless::RequestClose(mainWindow); });
  run.Run();
  EXPECT_EQ(shownB, "saved") << "the saved preference is shown";
  EXPECT_EQ(ReadText(program.defaults() / "Prefspage.txt"),
            "((KWB))A((KWB))=one more\r\n((KWB))B((KWB))=saved!\r\n");
  EXPECT_EQ(ReadText(program.defaults() / "defaulttemplate.txt"), "page.html\r\n");
}

TEST(MainWindow, ResetDefaultsRebuildsWithTheTemplateDefaults) {
  ProgramFolder program;
  program.AddTemplate("page.html", "((KWB))TITLE::Untitled((KWB))");
  WriteText(program.defaults() / "Prefspage.txt", "((KWB))TITLE((KWB))=Saved\r\n");
  ProgramRun run;
  bool rebuilt = false;
  std::string before, after, fileAfterReset;
  run.At(50, [&] {
    MarkWindow(mainWindow);
    before = headless::WindowText(headless::FindControl(mainWindow, 2000));
    headless::TypeText(headless::FindControl(mainWindow, 2000), "X");
    headless::ClickControl(headless::FindControl(mainWindow, 2));
  });
  run.At(300, [&] {
    rebuilt = !IsMarked(mainWindow);
    after = headless::WindowText(headless::FindControl(mainWindow, 2000));
    fileAfterReset = ReadText(program.defaults() / "Prefspage.txt");
    headless::RequestClose(mainWindow);
  });
  run.Run();
  EXPECT_EQ(before, "Saved");
  EXPECT_TRUE(rebuilt) << "the window was built again";
  EXPECT_EQ(after, "Untitled") << "the rebuilt window shows the template default";
  EXPECT_EQ(fileAfterReset, "((KWB))TITLE((KWB))=SavedX\r\n")
      << "the values are saved before the rebuild and kept until the next save";
  EXPECT_EQ(ReadText(program.defaults() / "Prefspage.txt"), "((KWB))TITLE((KWB))=Untitled\r\n")
      << "closing saves what the boxes hold then";
}

// Two templates; returns the catalogue in the program's order.
std::vector<std::string> TwoTemplates(const ProgramFolder& program) {
  program.AddTemplate("a.html", "((KWB))FA::a((KWB))");
  program.AddTemplate("b.html", "((KWB))FB::b((KWB))");
  // The catalogue's order: by name, whatever order the folder lists them in.
  std::vector<std::string> listed;
  for (const auto& e : std::filesystem::directory_iterator(program.templates())) {
    listed.push_back(e.path().filename().string());
  }
  std::sort(listed.begin(), listed.end());
  return listed;
}

TEST(MainWindow, QuickClickOnFreeSpaceAdvancesTheTemplate) {
  ProgramFolder program;
  const std::vector<std::string> catalogue = TwoTemplates(program);
  ProgramRun run;
  platform::Rect firstOuter{}, secondOuter{};
  std::string firstField, secondField;
  run.At(50, [&] {
    firstOuter = headless::OuterRect(mainWindow);
    firstField = headless::WindowText(headless::FindControl(mainWindow, 1000));
    headless::TypeText(headless::FindControl(mainWindow, 2000), "+typed");
    headless::MouseDown(mainWindow, 5, 5);
    headless::MouseUp(mainWindow, 5, 5);
  });
  run.At(300, [&] {
    secondOuter = headless::OuterRect(mainWindow);
    secondField = headless::WindowText(headless::FindControl(mainWindow, 1000));
    headless::RequestClose(mainWindow);
  });
  run.Run();
  EXPECT_EQ(firstField, catalogue[0] == "a.html" ? "FA" : "FB");
  EXPECT_EQ(secondField, catalogue[1] == "a.html" ? "FA" : "FB");
  EXPECT_EQ(ReadText(program.defaults() / "defaulttemplate.txt"), catalogue[1] + "\r\n");
  const std::string oldPrefs = catalogue[0] == "a.html" ? "Prefsa.txt" : "Prefsb.txt";
  const std::string oldField = catalogue[0] == "a.html" ? "FA" : "FB";
  const std::string oldValue = catalogue[0] == "a.html" ? "a" : "b";
  EXPECT_EQ(ReadText(program.defaults() / oldPrefs),
            "((KWB))" + oldField + "((KWB))=" + oldValue + "+typed\r\n")
      << "the old template's values are saved before the rebuild";
  EXPECT_EQ(secondOuter.left, firstOuter.left) << "the rebuilt window keeps its left edge";
  EXPECT_EQ(secondOuter.top, firstOuter.top) << "the rebuilt window keeps its top edge";
}

TEST(MainWindow, ChoosingInThePopupList) {
  ProgramFolder program;
  program.AddTemplate("c.html", "((KWB))FC::c((KWB))");
  const std::vector<std::string> catalogue = TwoTemplates(program);
  ProgramRun run;
  bool keptAfterSame = false;
  bool keptAfterOther = true;
  std::string defaultAfterSame;
  // Press on the selector and hold: the list opens beside the pointer with the
  // selected row (0) centred on it; release over the same row.
  auto pressAndRelease = [&](uint32_t at, int row) {
    run.At(at, [&run, at, row] {
      int sx = 150 + 50, sy = 37;
      platform::ClientToScreenPoint(mainWindow, &sx, &sy);
      headless::MouseDown(mainWindow, 150 + 50, 37);
      run.At(at + 20, [sx, sy, row] { headless::SetPointer(sx + 30, sy + 20 * row); });
      run.At(at + 40, [] { headless::SetButton(0, false); });
    });
  };
  run.At(40, [&] { MarkWindow(mainWindow); });
  pressAndRelease(50, 0);
  run.At(200, [&] {
    keptAfterSame = IsMarked(mainWindow);
    defaultAfterSame = ReadText(program.defaults() / "defaulttemplate.txt");
  });
  // Row 2, not the next item that a quick click would give.
  pressAndRelease(250, 2);
  run.At(500, [&] {
    keptAfterOther = IsMarked(mainWindow);
    headless::RequestClose(mainWindow);
  });
  run.Run();
  EXPECT_TRUE(keptAfterSame) << "choosing the same template changes nothing";
  EXPECT_EQ(defaultAfterSame, "<missing>") << "and saves nothing";
  EXPECT_FALSE(keptAfterOther) << "choosing another template rebuilds the window";
  ASSERT_EQ(catalogue.size(), 3u);
  EXPECT_EQ(ReadText(program.defaults() / "defaulttemplate.txt"), catalogue[2] + "\r\n");
}

TEST(MainWindow, RememberedTemplateMissingFromTheCatalogue) {
  ProgramFolder program;
  program.AddTemplate("a.html", "((KWB))F::f((KWB))");
  WriteText(program.defaults() / "defaulttemplate.txt", "gone.html\r\n");
  WriteText(program.path() / "s.krn", "<S/>");
  ProgramRun run;
  platform::Rect outer{};
  int selected = -1;
  run.At(50, [&] {
    outer = headless::OuterRect(mainWindow);
    selected = currentState->selector.SelectedIndex();
    headless::QueueFileAnswer(ProgramView(program.path() / "s.krn"));
    headless::QueueFileAnswer(ProgramView(program.path() / "page.html"));
    headless::ClickControl(headless::FindControl(mainWindow, 1));
  });
  run.At(200, CloseWhenConversionEnds);
  run.Run();
  EXPECT_EQ(Height(outer), 100) << "the window shows the fields of the template it falls back to";
  EXPECT_EQ(selected, 0) << "the selector shows the first entry";
  EXPECT_EQ(ReadText(program.path() / "page.html"), "f") << "the page comes from a.html";
  EXPECT_EQ(ReadText(program.defaults() / "defaulttemplate.txt"), "gone.html\r\n")
      << "the remembered name stays for the day its template is back";
  EXPECT_FALSE(std::filesystem::exists(program.defaults() / "Prefsgone.txt"))
      << "no settings file for a template that does not exist";
  EXPECT_FALSE(std::filesystem::exists(program.defaults() / "Prefsa.txt"))
      << "the values of the template shown instead are not saved unchanged";
}

TEST(MainWindow, RememberedTemplateMissingIsReplacedOnlyByAChoice) {
  // The remembered template's folder is away for the moment; its settings file is kept.
  struct Case {
    const char* what;
    std::function<void()> act;  // what the user does before closing
    const char* defaultTemplate;
    const char* prefsOfShown;  // Prefsa.txt afterwards, null: not written
  } cases[] = {
      {"nothing touched", [] {}, "gone.html\r\n", nullptr},
      {"reset defaults",
       [] { headless::ClickControl(headless::FindControl(mainWindow, kResetButtonId)); },
       "gone.html\r\n", nullptr},
      {"a value typed",
       [] { headless::TypeText(headless::FindControl(mainWindow, 2000), "+typed"); },
       "gone.html\r\n", "((KWB))FA((KWB))=a+typed\r\n"},
      {"another template chosen (a quick click)",
       [] {
         headless::MouseDown(mainWindow, 5, 5);
         headless::MouseUp(mainWindow, 5, 5);
       },
       "b.html\r\n", nullptr},
  };
  for (const Case& c : cases) {
    ProgramFolder program;
    TwoTemplates(program);
    WriteText(program.defaults() / "defaulttemplate.txt", "gone.html\r\n");
    WriteText(program.defaults() / "Prefsgone.txt", "((KWB))G((KWB))=mine\r\n");
    ProgramRun run;
    std::string shown;
    run.At(50, [&] {
      shown = headless::WindowText(headless::FindControl(mainWindow, 1000));
      c.act();
    });
    run.At(300, [] { headless::RequestClose(mainWindow); });
    run.Run();
    EXPECT_EQ(shown, "FA") << c.what << ": the first template stands in";
    EXPECT_EQ(ReadText(program.defaults() / "defaulttemplate.txt"), c.defaultTemplate) << c.what;
    EXPECT_EQ(ReadText(program.defaults() / "Prefsgone.txt"), "((KWB))G((KWB))=mine\r\n")
        << c.what << ": the missing template's values are kept";
    if (c.prefsOfShown == nullptr) {
      EXPECT_FALSE(std::filesystem::exists(program.defaults() / "Prefsa.txt"))
          << c.what << ": unchanged values of the stand-in are not saved";
    } else {
      EXPECT_EQ(ReadText(program.defaults() / "Prefsa.txt"), c.prefsOfShown) << c.what;
    }
  }
}

TEST(MainWindow, NoTemplatesAtAll) {
  struct Case {
    const char* what;
    bool folderExists;
  } cases[] = {{"empty templates folder", true}, {"missing templates folder", false}};
  for (const Case& c : cases) {
    ProgramFolder program;
    if (!c.folderExists) std::filesystem::remove_all(program.templates());
    // The scan must never list the current directory instead.
    WriteText(program.path() / "elsewhere" / "other.html", "not a template");
    std::filesystem::current_path(program.path() / "elsewhere");
    WriteText(program.defaults() / "defaulttemplate.txt", "gone.html\r\n");
    WriteText(program.path() / "s.krn", "<S/>");
    apptest::HeadlessToolkit toolkit;
    ProgramRun run;
    int catalogue = -1;
    std::string shown;
    run.At(50, [&] {
      catalogue = currentState->templates.count;
      shown = currentState->selector.GetItem(0) != nullptr ? currentState->selector.GetItem(0) : "";
      headless::QueueFileAnswer(ProgramView(program.path() / "s.krn"));
      headless::ClickControl(headless::FindControl(mainWindow, 1));
    });
    run.At(200, [] { headless::RequestClose(mainWindow); });
    run.Run();
    EXPECT_FALSE(run.guardFired()) << c.what << ": the window opens and closes";
    EXPECT_EQ(catalogue, 0) << c.what;
    EXPECT_EQ(shown, "(no templates)") << c.what << ": the chooser says there are none";
    EXPECT_EQ(headless::FileDialogs().size(), 0u) << c.what << ": Convert asks for nothing";
    ASSERT_EQ(toolkit.MessageBoxCount(), 1) << c.what;
    EXPECT_EQ(toolkit.MessageBoxText(0), "No templates in " + program.templates().string())
        << c.what;
    EXPECT_EQ(ReadText(program.defaults() / "defaulttemplate.txt"), "gone.html\r\n")
        << c.what << ": nothing is saved for a template that does not exist";
    EXPECT_FALSE(std::filesystem::exists(program.defaults() / "Prefsgeneric.txt")) << c.what;
    std::filesystem::current_path(std::filesystem::temp_directory_path());
  }
}

TEST(MainWindow, SettingsThatCannotBeSavedAreToldOnce) {
  ProgramFolder program;
  program.AddTemplate("a.html", "((KWB))F::f((KWB))");
  program.AddTemplate("b.html", "((KWB))G::g((KWB))");
  WriteText(program.defaults() / "Prefsa.txt", "((KWB))F((KWB))=old\r\n");
  WriteText(program.defaults() / "defaulttemplate.txt", "a.html\r\n");
  // Read-only settings files (a read-only folder is no obstacle on Windows).
  for (const char* name : {"Prefsa.txt", "defaulttemplate.txt"}) {
    std::filesystem::permissions(program.defaults() / name, std::filesystem::perms::owner_read);
  }
  settingsFailureTold = false;
  apptest::HeadlessToolkit toolkit;
  ProgramRun run;
  run.At(50, [&] {
    headless::TypeText(headless::FindControl(mainWindow, kFirstEditId), "typed");
    headless::ClickControl(headless::FindControl(mainWindow, kResetButtonId));  // a rebuild
  });
  run.At(200, [&] { headless::RequestClose(mainWindow); });
  run.Run();
  for (const char* name : {"Prefsa.txt", "defaulttemplate.txt"}) {
    std::filesystem::permissions(program.defaults() / name, std::filesystem::perms::owner_all);
  }
  ASSERT_EQ(toolkit.MessageBoxCount(), 1) << "a rebuild and a close: told once";
  EXPECT_EQ(toolkit.MessageBoxText(0),
            "Could not save the settings " +
                (program.defaults() / "Prefsa.txt").make_preferred().string() +
                ": Permission denied");
  EXPECT_EQ(ReadText(program.defaults() / "Prefsa.txt"), "((KWB))F((KWB))=old\r\n")
      << "the old file is left whole";
  settingsFailureTold = false;
}

TEST(MainWindow, DroppedFilesUseTheTypedValues) {
  ProgramFolder program;
  program.AddTemplate("page.html", "((KWB))T::def((KWB))|((KWB))FILENAME((KWB))");
  WriteText(program.defaults() / "Prefspage.txt", "((KWB))T((KWB))=old\r\n");
  for (const char* name : {"1.krn", "2.krn", "3.krq"}) WriteText(program.path() / name, "<S/>");
  ProgramRun run;
  std::string prefsAfterDrop;
  int boxesAfterClick = -1;
  run.At(50, [&] {
    headless::ClickControl(headless::FindControl(mainWindow, 1000));  // a label: nothing
    boxesAfterClick = static_cast<int>(headless::FileDialogs().size());
    void* edit = headless::FindControl(mainWindow, 2000);
    headless::TypeText(edit, "-new");
    for (const char* name : {"1.html", "2.html", "3.html"}) {
      headless::QueueFileAnswer(ProgramView(program.path() / "out" / name));
    }
    std::filesystem::create_directories(program.path() / "out");
    headless::DropFiles(
        mainWindow, 100, 60,
        {ProgramView(program.path() / "1.krn"), ProgramView(program.path() / "2.krn"),
         ProgramView(program.path() / "3.krq")});
  });
  run.At(200, [&] {
    WhenConversionEnds([&] {
      prefsAfterDrop = ReadText(program.defaults() / "Prefspage.txt");
      headless::RequestClose(mainWindow);
    });
  });
  run.Run();
  EXPECT_EQ(boxesAfterClick, 0) << "clicking a label does nothing";
  ASSERT_EQ(headless::FileDialogs().size(), 3u) << "one save dialog per dropped file";
  EXPECT_EQ(ReadText(program.path() / "out" / "1.html"), "old-new|../1.krn");
  EXPECT_EQ(ReadText(program.path() / "out" / "2.html"), "old-new|../2.krn");
  EXPECT_EQ(ReadText(program.path() / "out" / "3.html"), "old-new|../3.krq");
  EXPECT_EQ(prefsAfterDrop, "((KWB))T((KWB))=old\r\n")
      << "converting does not save the preferences";
  EXPECT_EQ(ReadText(program.defaults() / "Prefspage.txt"), "((KWB))T((KWB))=old-new\r\n");
}

#ifndef _WIN32
// Linux names: Windows names hold neither character.
TEST(MainWindow, DropsOfFilesInFoldersNamedWithColonsAndBackslashes) {
  // A ':' in a Linux folder name is part of the name, never a drive nor a separator; a '\' in
  // a name cannot be carried by the program's view and is refused, never read as a separator.
  ProgramFolder program;
  program.AddTemplate("page.html", "((KWB))FILENAME((KWB))|((KWB))FORMSDATA((KWB))");
  const std::string scene = "<S><KRSTimeElem Name=\"N\" On=\"0\"/></S>";
  WriteText(program.path() / "a:b" / "s.krn", scene);
  WriteText(program.path() / "x" / "a:bc" / "t.krn", scene);
  std::filesystem::create_directories(program.path() / "x" / "a:bd");
  const std::filesystem::path odd = program.path() / "b\\s" / "s.krn";
  WriteText(odd, scene);
  WriteText(program.path() / "b" / "s" / "s.krn", scene);  // what a misread '\' would name
  ProgramRun run;
  run.At(50, [&] {
    headless::QueueFileAnswer(ProgramView(program.path() / "a:b" / "p.html"));
    headless::QueueFileAnswer(ProgramView(program.path() / "x" / "a:bd" / "p.html"));
    headless::QueueFileAnswer(ProgramView(program.path() / "b" / "s" / "s.html"));
    // The backend hands over a path without a program view in its native form.
    headless::DropFiles(mainWindow, 100, 60,
                        {ProgramView(program.path() / "a:b" / "s.krn"), odd.string(),
                         ProgramView(program.path() / "x" / "a:bc" / "t.krn")});
  });
  run.At(200, CloseWhenConversionEnds);
  run.Run();
  const std::string button =
      "<input\tname=\"N\"\ttype=button\tvalue=\"N\"\tonclick=\"triggeranimation('N')\">\r\n";
  EXPECT_EQ(ReadText(program.path() / "a:b" / "p.html"), "s.krn|" + button)
      << "the scene beside its page, in the folder a:b";
  EXPECT_EQ(ReadText(program.path() / "x" / "a:bd" / "p.html"), "../a:bc/t.krn|" + button)
      << "a:bc is a whole folder name";
  EXPECT_EQ(headless::FileDialogs().size(), 2u) << "no save dialog for the refused file";
  EXPECT_FALSE(std::filesystem::exists(program.path() / "b" / "s" / "s.html"))
      << "the refused name was taken for another file";
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].text,
            "File names with a backslash are not supported: " + odd.string());
}
#endif

}  // namespace
