#include "base/whole_file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/file_replace.h"
#include "tests/platform/test_folder.h"

namespace {

std::string ReasonOf(uint32_t error) {
  char text[256] = "";
  SysErrorText(error, text, sizeof text);
  return text;
}

// The number of entries in the folder: no temporary file may stay behind.
int EntriesIn(const std::filesystem::path& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    (void)entry;
    ++count;
  }
  return count;
}

TEST(WholeFileWriter, WritesNewAndReplacesWholeOrNotAtAll) {
  TestFolder folder;
  uint32_t error = 99;
  const std::string page = folder.Program("page.html");
  ASSERT_TRUE(WriteWholeFile(page.c_str(), "first text", 10, &error));
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(folder.Read("page.html"), "first text");
  ASSERT_TRUE(WriteWholeFile(page.c_str(), "2nd", 3, &error)) << "a shorter text replaces it";
  EXPECT_EQ(folder.Read("page.html"), "2nd");
  ASSERT_TRUE(WriteWholeFile(page.c_str(), nullptr, 0, &error)) << "an empty file";
  EXPECT_EQ(folder.Read("page.html"), "");
  EXPECT_EQ(EntriesIn(folder.Native()), 1) << "no temporary file stays behind";

  struct Case {
    const char* what;
    std::string path;
    const char* reason;
  } cases[] = {
      {"a folder that does not exist", folder.Program("no\\such\\page.html"),
       "No such file or directory"},
      {"a read-only file", folder.Program("locked.html"), "Permission denied"},
      {"a folder in the file's place", folder.Program("sub"), nullptr},
      {"no path", "", "No such file or directory"},
  };
  folder.Write("locked.html", "kept");
  std::filesystem::permissions(folder.Native("locked.html"), std::filesystem::perms::owner_read);
  std::filesystem::create_directory(folder.Native("sub"));
  for (const Case& c : cases) {
    error = 0;
    EXPECT_FALSE(WriteWholeFile(c.path.c_str(), "new", 3, &error)) << c.what;
    EXPECT_NE(error, 0u) << c.what << ": a reason is given";
    if (c.reason != nullptr) {
      EXPECT_EQ(ReasonOf(error), c.reason) << c.what;
    }
  }
  EXPECT_EQ(folder.Read("locked.html"), "kept") << "the read-only file keeps its bytes";
  EXPECT_EQ(EntriesIn(folder.Native()), 3) << "page, locked file and folder: nothing else";
  std::filesystem::permissions(folder.Native("locked.html"), std::filesystem::perms::owner_all);
  EXPECT_FALSE(WriteWholeFile(nullptr, "x", 1, nullptr)) << "a null path, no error wanted";
}

TEST(WholeFileWriter, ErrorTextsAreTheSameOnEverySystem) {
  char text[8];
  EXPECT_TRUE(SysErrorText(SysDiskFullError(), text, sizeof text));
  EXPECT_EQ(std::string(text), "No spac") << "cut to the room given";
  char full[64];
  ASSERT_TRUE(SysErrorText(SysDiskFullError(), full, sizeof full));
  EXPECT_EQ(std::string(full), "No space left on device");
  EXPECT_FALSE(SysErrorText(1, nullptr, 10));
}

}  // namespace
