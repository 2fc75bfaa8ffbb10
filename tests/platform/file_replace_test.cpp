#include "platform/file_replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include <filesystem>
#include <set>
#include <string>

#include "platform/file_system.h"
#include "tests/platform/test_folder.h"

namespace {

// The names in a folder.
std::set<std::string> Names(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

bool WriteText(void* file, const std::string& text) {
  uint32_t done = 0;
  return SysWriteFile(file, text.data(), uint32_t(text.size()), &done) && done == text.size();
}

TEST(FileReplacement, ANewFileIsNamedWholeWhateverComesMeanwhile) {
  // What appears at the target between the check and the move: nothing, another writer's
  // file of the same name (replaced, as a rename replaces), or a link made to a missing file
  // (the check saw no link: the link's name is replaced).
  const struct { const char* meanwhile; } cases[] = {{"nothing"}, {"a file"}, {"a link"}};
  for (const auto& c : cases) {
    TestFolder folder;
    const std::string what = std::string("with ") + c.meanwhile + " made meanwhile";
    FileReplacement replacement;
    ASSERT_TRUE(SysMayReplaceFile(folder.Program("page.html").c_str(), &replacement)) << what;
    EXPECT_EQ(replacement.kept, 0u) << "no old file " << what;
    char temp[4096];
    void* file = SysCreateFileBeside(replacement, temp, sizeof temp);
    ASSERT_NE(file, nullptr) << what;
    ASSERT_TRUE(WriteText(file, "new page")) << what;
    if (std::string(c.meanwhile) == "a file") folder.Write("page.html", "other writer");
    if (std::string(c.meanwhile) == "a link") {
      std::filesystem::create_symlink(folder.Native("missing.html"), folder.Native("page.html"));
    }
    ASSERT_TRUE(SysCommitFileBeside(file, temp, replacement)) << what;
    EXPECT_EQ(folder.Read("page.html"), "new page") << what;
    EXPECT_FALSE(std::filesystem::is_symlink(folder.Native("page.html"))) << what;
    EXPECT_EQ(Names(folder.Native()), std::set<std::string>{"page.html"})
        << "nothing but the page is left " << what;
    struct stat info;
    ASSERT_EQ(stat(folder.Native("page.html").c_str(), &info), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666u & ~mask) << "a new file's permissions " << what;
  }
}

TEST(FileReplacement, ANewFileClosedWithoutTheMoveLeavesNothing) {
  TestFolder folder;
  FileReplacement replacement;
  ASSERT_TRUE(SysMayReplaceFile(folder.Program("page.html").c_str(), &replacement));
  char temp[4096];
  void* file = SysCreateFileBeside(replacement, temp, sizeof temp);
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(WriteText(file, "half a page"));
  ASSERT_TRUE(SysCloseFile(file));
  if (temp[0] != '\0') {
    EXPECT_TRUE(SysDeleteFile(temp)) << "a named temporary file is removed";
  }
  EXPECT_TRUE(Names(folder.Native()).empty()) << "no page and no temporary file";
}

}  // namespace

TEST(FileReplacement, ACheckLeftToTheCommitRefusesAndKeepsAsTheLookUpWould) {
  // What the name holds when the new file, written without a look-up, is to be named.
  enum class Holds { kNothing, kFile, kLongName, kReadOnly, kFolder, kHardLinked, kLink };
  const struct {
    const char* what;
    Holds holds;
    uint32_t error;  // 0: the new file is named
  } cases[] = {
      {"nothing", Holds::kNothing, 0},
      {"a file of mode 640", Holds::kFile, 0},
      {"a file whose name is near the longest", Holds::kLongName, 0},
      {"a read-only file", Holds::kReadOnly, EACCES},
      {"a folder", Holds::kFolder, EISDIR},
      {"a file with another hard link", Holds::kHardLinked, kSysErrorHardLinks},
      {"a link, whose end must be looked up first", Holds::kLink, kSysErrorLookUpFirst},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestFolder folder;
    const std::string pageName =
        c.holds == Holds::kLongName ? std::string(250, 'p') + ".html" : "page.html";
    const std::string page = folder.Native(pageName).string();
    std::set<std::string> before;
    switch (c.holds) {
      case Holds::kNothing:
        break;
      case Holds::kFile:
      case Holds::kLongName:
      case Holds::kReadOnly:
      case Holds::kHardLinked:
        folder.Write(pageName, "old");
        chmod(page.c_str(), c.holds == Holds::kReadOnly ? 0444 : 0640);
        if (c.holds == Holds::kHardLinked) {
          std::filesystem::create_hard_link(page, folder.Native("other.html"));
        }
        break;
      case Holds::kFolder:
        std::filesystem::create_directory(page);
        break;
      case Holds::kLink:
        folder.Write("end.html", "old");
        std::filesystem::create_symlink("end.html", page);
        break;
    }
    before = Names(folder.Native());
    FileReplacement replacement;
    ASSERT_TRUE(SysMayReplaceFile(folder.Program(pageName).c_str(), &replacement, true));
    EXPECT_TRUE(replacement.checkAtCommit) << "no look-up where new files are made unnamed";
    char temp[4096];
    void* file = SysCreateFileBeside(replacement, temp, sizeof temp);
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(WriteText(file, "new page"));
    const bool named = SysCommitFileBeside(file, temp, replacement);
    if (c.error == 0) {
      ASSERT_TRUE(named) << "error " << SysLastError();
      EXPECT_EQ(folder.Read(pageName), "new page");
      struct stat info;
      ASSERT_EQ(stat(page.c_str(), &info), 0);
      if (c.holds == Holds::kFile) {
        EXPECT_EQ(info.st_mode & 0777, 0640u) << "the old mode kept";
      }
      before.insert(pageName);
    } else {
      EXPECT_FALSE(named);
      EXPECT_EQ(SysLastError(), c.error);
      if (c.holds != Holds::kFolder) {
        EXPECT_EQ(folder.Read(c.holds == Holds::kLink ? "end.html" : pageName), "old");
      }
    }
    EXPECT_EQ(Names(folder.Native()), before) << "no temporary file stays behind";
  }
}
