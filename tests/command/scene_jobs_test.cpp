#include "command/scene_jobs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app_test_support.h"
#include "command/page_clashes.h"
#include "platform/native_path.h"

namespace {

namespace fs = std::filesystem;
using apptest::ProgramView;
using apptest::TempFolder;
using apptest::WriteText;

// One job as "shown: scene -> page [problem]", paths below the folder relative to it.
std::vector<std::string> Describe(const SceneJobs& jobs, const std::string& root) {
  auto relative = [&root](const StringBuffer& path) {
    std::string text = path.Data() != nullptr ? path.Data() : "";
    if (text.rfind(root, 0) == 0) text = "~" + text.substr(root.size());
    return text;
  };
  std::vector<std::string> out;
  for (int i = 0; i < jobs.scenes.count; ++i) {
    std::string line = std::string(jobs.shown.items[i].Data()) + ": " +
                       relative(jobs.scenes.items[i]) + " -> " + relative(jobs.pages.items[i]);
    if (jobs.problems.items[i].Length() != 0)
      line += " [" + std::string(jobs.problems.items[i].Data()) + "]";
    out.push_back(line);
  }
  return out;
}

TEST(SceneJobs, OperandsBecomeScenesWithTheirPages) {
  TempFolder folder;
  const std::string root = ProgramView(folder.path());
  for (const char* name :
       {"a.krn", "b.tar.xml", ".krn", "page.html", "tree/x.krn", "tree/y.KRQ", "tree/notes.txt",
        "tree/sub/z.Xml", "tree/sub/deeper/w.krn", "tree/sub/a.krn", "tree/sub/a.xml"}) {
    WriteText(folder / name, "<S/>");
  }
  fs::create_directories(folder / "tree" / "empty");
  auto native = [&folder](const char* name) { return (folder / name).string(); };
  const std::string sep(1, fs::path::preferred_separator);
  // Texts the rules point to, alive for the whole test.
  const std::string outPage = native("out/p.htm");
  const std::string outDir = native("out");

  const struct {
    const char* label;
    SceneJobRules rules;
    std::vector<std::string> operands;
    std::vector<std::string> expected;
  } cases[] = {
      {"beside each scene",
       {},
       {native("a.krn"), native("b.tar.xml"), native(".krn"), "-"},
       {native("a.krn") + ": ~\\a.krn -> ~\\a.html",
        native("b.tar.xml") + ": ~\\b.tar.xml -> ~\\b.tar.html",
        native(".krn") + ": ~\\.krn -> ~\\.krn.html", "-:  -> "}},
      {"one output page",
       {outPage.c_str(), nullptr, false, nullptr},
       {native("a.krn")},
       {native("a.krn") + ": ~\\a.krn -> ~\\out\\p.htm"}},
      {"standard output and input", {"-", nullptr, false, nullptr}, {"-"}, {"-:  -> "}},
      {"an output folder",
       {nullptr, outDir.c_str(), false, nullptr},
       {native("a.krn"), native("tree/x.krn")},
       {native("a.krn") + ": ~\\a.krn -> ~\\out\\a.html",
        native("tree/x.krn") + ": ~\\tree\\x.krn -> ~\\out\\x.html"}},
      {"problems",
       {},
       {native("missing.krn"), native("tree"), native("page.html")},
       {native("missing.krn") + ": ~\\missing.krn ->  [No such file or directory]",
        native("tree") +
            ": ~\\tree ->  [Is a folder (use --recursive to convert the scenes in it)]",
        native("page.html") +
            ": ~\\page.html -> ~\\page.html [The page would replace the scene itself]"}},
      {"a folder walked, pages beside",
       {nullptr, nullptr, true, nullptr},
       {native("tree")},
       {native("tree") + sep + "sub" + sep + "a.krn: ~\\tree\\sub\\a.krn -> ~\\tree\\sub\\a.html",
        native("tree") + sep + "sub" + sep +
            "a.xml: ~\\tree\\sub\\a.xml -> ~\\tree\\sub\\a.html [Its page is also the page of " +
            native("tree") + sep + "sub" + sep + "a.krn]",
        native("tree") + sep + "sub" + sep + "deeper" + sep +
            "w.krn: ~\\tree\\sub\\deeper\\w.krn -> ~\\tree\\sub\\deeper\\w.html",
        native("tree") + sep + "sub" + sep + "z.Xml: ~\\tree\\sub\\z.Xml -> ~\\tree\\sub\\z.html",
        native("tree") + sep + "x.krn: ~\\tree\\x.krn -> ~\\tree\\x.html",
        native("tree") + sep + "y.KRQ: ~\\tree\\y.KRQ -> ~\\tree\\y.html"}},
      {"a folder mirrored under the output folder",
       {nullptr, outDir.c_str(), true, nullptr},
       {native("tree/sub")},
       {native("tree/sub") + sep + "a.krn: ~\\tree\\sub\\a.krn -> ~\\out\\a.html",
        native("tree/sub") + sep +
            "a.xml: ~\\tree\\sub\\a.xml -> ~\\out\\a.html [Its page is also the page of " +
            native("tree/sub") + sep + "a.krn]",
        native("tree/sub") + sep + "deeper" + sep +
            "w.krn: ~\\tree\\sub\\deeper\\w.krn -> ~\\out\\deeper\\w.html",
        native("tree/sub") + sep + "z.Xml: ~\\tree\\sub\\z.Xml -> ~\\out\\z.html"}},
      {"a folder walked twice around a scene",
       {nullptr, outDir.c_str(), true, nullptr},
       {native("tree/sub/deeper"), native("a.krn"), native("tree/sub/deeper")},
       {native("tree/sub/deeper") + sep + "w.krn: ~\\tree\\sub\\deeper\\w.krn -> ~\\out\\w.html",
        native("a.krn") + ": ~\\a.krn -> ~\\out\\a.html",
        native("tree/sub/deeper") + sep +
            "w.krn: ~\\tree\\sub\\deeper\\w.krn -> ~\\out\\w.html [Its page is also the page of " +
            native("tree/sub/deeper") + sep + "w.krn]"}},
  };
  for (const auto& c : cases) {
    SceneJobRules rules = c.rules;
    rules.currentFolder = "C:\\elsewhere";
    // Made and marked at once, or a few jobs at a time as while the first ones are converted:
    // the jobs are the same.
    for (const int step : {0, 1, 2}) {
      SCOPED_TRACE(std::string(c.label) + ", made " +
                   (step == 0 ? std::string("at once") : std::to_string(step) + " at a time"));
      SceneJobs jobs;
      for (const std::string& operand : c.operands) {
        ASSERT_TRUE(AddSceneJobs(operand.c_str(), rules, jobs));
      }
      PageClashes clashes;
      const int count = jobs.scenes.count;
      for (int upTo = step > 0 ? step : count; jobs.made < count; upTo += step) {
        ASSERT_TRUE(MakeSceneJobs(jobs, upTo));
        ASSERT_EQ(jobs.made, std::min(upTo, count));
        ASSERT_TRUE(clashes.Mark(jobs, jobs.made));
      }
      EXPECT_EQ(Describe(jobs, root), c.expected);
    }
  }
}

TEST(SceneJobs, RelativeOperandsStartFromTheCurrentFolder) {
  TempFolder folder;
  WriteText(folder / "scenes" / "a.krn", "<S/>");
  const std::string root = ProgramView(folder.path());
  SceneJobRules rules;
  rules.outputDir = "../out";
  const std::string current = root + "\\scenes";
  rules.currentFolder = current.c_str();
  SceneJobs jobs;
  ASSERT_TRUE(AddSceneJobs("./a.krn", rules, jobs));
  ASSERT_TRUE(AddSceneJobs("", rules, jobs));
  const std::string tooLong(300, 'n');
  ASSERT_TRUE(AddSceneJobs(tooLong.c_str(), rules, jobs));
  // Without a current folder only full paths can be resolved.
  rules.currentFolder = "";
  ASSERT_TRUE(AddSceneJobs("a.krn", rules, jobs));
  // A walked folder's scenes each tell that their output folder cannot be found.
  rules.recursive = true;
  const std::string scenes = (folder / "scenes").string();
  ASSERT_TRUE(AddSceneJobs(scenes.c_str(), rules, jobs));
  ASSERT_TRUE(MakeSceneJobs(jobs, jobs.scenes.count));
  const std::string walked = scenes + std::string(1, fs::path::preferred_separator) + "a.krn";
  EXPECT_EQ(Describe(jobs, root),
            (std::vector<std::string>{
                "./a.krn: ~\\scenes\\a.krn -> ~\\out\\a.html", ":  ->  [No such file or directory]",
                tooLong + ":  ->  [The path is too long]",
                "a.krn:  ->  [The current folder cannot be read]",
                walked + ": ~\\scenes\\a.krn ->  [The current folder cannot be read]"}));
}

TEST(SceneJobs, SceneFileNames) {
  for (const char* name : {"a.krn", "a.KRN", "a.Xml", "b.c.krq", "x\\y.krn"}) {
    EXPECT_TRUE(IsSceneFileName(name)) << name;
  }
  for (const char* name : {"a.html", "a.krn.bak", "krn", "a.krnx", "x.krn\\y", ""}) {
    EXPECT_FALSE(IsSceneFileName(name)) << name;
  }
}

}  // namespace
