#include "platform/fltk/dialog_start_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using fltk_backend::DialogStartFolders;

class DialogStartFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ =
        std::filesystem::temp_directory_path() /
        ("krn-start-folders-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(root_ / "home");
    std::filesystem::create_directories(root_ / "scenes");
    std::filesystem::create_directories(root_ / "pages");
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  std::string Path(const char* name) const { return (root_ / name).string(); }

  std::filesystem::path root_;
};

TEST_F(DialogStartFoldersTest, EachKindStartsWhereItWasLastUsedElseAtHome) {
  DialogStartFolders folders;
  const std::string home = Path("home");
  EXPECT_EQ(folders.StartFolder(false, "", home), home) << "a first open dialog starts at home";
  EXPECT_EQ(folders.StartFolder(true, "", home), home) << "a first save dialog starts at home";

  folders.Remember(false, Path("scenes") + "/a.krn");
  EXPECT_EQ(folders.StartFolder(false, "", home), Path("scenes"))
      << "the open dialog starts where the last scene was";
  EXPECT_EQ(folders.StartFolder(true, "", home), home)
      << "the save dialog keeps its own memory: no page was saved yet";

  folders.Remember(true, Path("pages") + "/a.html");
  EXPECT_EQ(folders.StartFolder(true, "", home), Path("pages"))
      << "the save dialog starts where the last page went";
  EXPECT_EQ(folders.StartFolder(false, "", home), Path("scenes"));

  EXPECT_EQ(folders.StartFolder(true, Path("scenes") + "/b.html", home), Path("scenes"))
      << "a caller's initial path with an existing folder wins";
  EXPECT_EQ(folders.StartFolder(true, "b.html", home), Path("pages"))
      << "a bare initial name has no folder of its own";
  EXPECT_EQ(folders.StartFolder(true, Path("gone") + "/b.html", home), Path("pages"))
      << "a missing folder in the initial path is passed over";

  folders.Remember(false, "relative/c.krn");
  EXPECT_EQ(folders.StartFolder(false, "", home), Path("scenes")) << "relative paths are ignored";

  std::filesystem::remove_all(root_ / "scenes");
  EXPECT_EQ(folders.StartFolder(false, "", home), home)
      << "a remembered folder that has gone falls back to home";
  EXPECT_EQ(folders.StartFolder(false, "", Path("nohome")), "/")
      << "without a home folder the dialog starts at the root";
}

TEST(UserHomeFolder, ComesFromHomeOrTheAccount) {
  const char* saved = std::getenv("HOME");
  const std::string old = saved ? saved : "";
  setenv("HOME", "/some/where", 1);
  EXPECT_EQ(fltk_backend::UserHomeFolder(), "/some/where");
  setenv("HOME", "relative", 1);
  const std::string fromAccount = fltk_backend::UserHomeFolder();
  EXPECT_FALSE(fromAccount.empty() || fromAccount[0] != '/')
      << "a relative $HOME is not a home folder; the account's is used";
  if (saved) {
    setenv("HOME", old.c_str(), 1);
  } else {
    unsetenv("HOME");
  }
}

}  // namespace
