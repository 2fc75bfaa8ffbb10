#include "base/file_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "tests/platform/test_folder.h"

namespace {

std::set<std::string> Paths(const FileList& list) {
  std::set<std::string> paths;
  for (const FileListNode* node = list.First(); node != nullptr; node = node->next)
    paths.insert(node->record.Text());
  return paths;
}

TEST(PathRecord, StoresAtMost256Characters) {
  PathRecord record;
  EXPECT_TRUE(record.live);
  EXPECT_STREQ(record.Text(), "");
  const std::string longPath = "C:\\" + std::string(300, 'p');
  record.SetPath(longPath.c_str());
  EXPECT_EQ(std::string(record.Text()), longPath.substr(0, 256)) << "cut to 256 characters";
  record.SetPath("C:\\short");
  EXPECT_STREQ(record.Text(), "C:\\short");
  record.SetPath(nullptr);
  EXPECT_STREQ(record.Text(), "");
  record.Release();
  EXPECT_FALSE(record.live);
}

TEST(PathRecord, FileNamePart) {
  const struct {
    const char* path;
    const char* part;
  } cases[] = {
      {"C:\\x\\y\\", "y\\"},
      {"name.html", "name.html"},
      {"C:\\t\\a.html", "a.html"},
      {"\\", "\\"},
      {"", ""},
      {"a/b/c", "a/b/c"},
  };
  for (const auto& c : cases) {
    PathRecord record;
    record.SetPath(c.path);
    EXPECT_STREQ(record.FileNamePart(), c.part) << "file name part of " << c.path;
  }
}

TEST(ExtensionOf, FindsTheLastPointOfTheName) {
  EXPECT_STREQ(ExtensionOf("archive.tar.gz"), ".gz");
  EXPECT_STREQ(ExtensionOf("C:\\dir.d\\file"), "") << "a point in a folder is no extension";
  EXPECT_STREQ(ExtensionOf("dir.d/file"), "");
  EXPECT_STREQ(ExtensionOf("C:file"), "");
  EXPECT_STREQ(ExtensionOf("scene.v1:old"), ".v1:old") << "a colon past the drive is in the name";
  EXPECT_STREQ(ExtensionOf("Z:\\a.b:c\\file"), "") << "a folder named a.b:c";
  EXPECT_STREQ(ExtensionOf(".html"), ".html");
  EXPECT_STREQ(ExtensionOf("noextension"), "");
  EXPECT_STREQ(ExtensionOf("end."), ".");
  EXPECT_STREQ(ExtensionOf(""), "");
  const char name[] = "page.HTML";
  EXPECT_EQ(ExtensionOf(name), name + 4) << "the result points into the name";
  const char bare[] = "README";
  EXPECT_EQ(ExtensionOf(bare), bare + 6) << "no extension points at the end of the name";
}

TEST(ScanFolder, ListsMatchingFilesOnly) {
  TestFolder folder;
  CurrentDirectoryGuard cwd;
  folder.Write("a.html", "a");
  folder.Write("b.HTML", "b");
  folder.Write("c.txt", "c");
  folder.Write("html", "no point");
  std::filesystem::create_directory(folder.Native("sub.html"));
  std::filesystem::create_directory(folder.Native("sub"));
  folder.Write("sub/inner.html", "never listed");
  // On Linux one file named "sub\d.html", which a program path would take for sub, d.html.
  folder.Write("sub\\d.html", "never listed");

  FileList list;
  EXPECT_TRUE(list.live);
  PathRecord where;
  where.SetPath(folder.Program().c_str());
  ScanFolder(list, where, ".html");
  EXPECT_EQ(Paths(list),
            (std::set<std::string>{folder.Program() + "\\a.html", folder.Program() + "\\b.HTML"}))
      << "files with .html in any case, no folder, nothing from sub-folders, no name with a '\\'";
  EXPECT_EQ(list.Count(), 2);
  EXPECT_STREQ(list.filter.Data(), ".html");
  EXPECT_EQ(std::filesystem::current_path(), folder.Native())
      << "the scanned folder stays the current directory";
}

TEST(ScanFolder, NewNodesGoInFront) {
  TestFolder folder;
  CurrentDirectoryGuard cwd;
  FileList list;
  ASSERT_TRUE(list.AddFront("C:\\first.html"));
  ASSERT_TRUE(list.AddFront("C:\\second.html"));
  ASSERT_NE(list.First(), nullptr);
  EXPECT_STREQ(list.First()->record.Text(), "C:\\second.html");
  EXPECT_STREQ(list.First()->next->record.Text(), "C:\\first.html");

  folder.Write("only.html", "x");
  PathRecord where;
  where.SetPath(folder.Program().c_str());
  ScanFolder(list, where, ".html");
  EXPECT_EQ(list.Count(), 3) << "a scan adds to what the list holds";
  EXPECT_EQ(std::string(list.First()->record.Text()), folder.Program() + "\\only.html");
}

TEST(ScanFolder, FailedSearchAddsNothing) {
  TestFolder folder;
  CurrentDirectoryGuard cwd;
  FileList list;
  PathRecord where;
  where.SetPath(folder.Program().c_str());
  ScanFolder(list, where, ".html");
  EXPECT_EQ(list.First(), nullptr) << "an empty folder gives an empty list";
}

TEST(ScanFolder, PathsLongerThanARecordAreLeftOut) {
  TestFolder folder;
  CurrentDirectoryGuard cwd;
  const std::string longName = std::string(250, 'n') + ".html";
  folder.Write(longName, "x");
  folder.Write("short.html", "x");
  FileList list;
  PathRecord where;
  where.SetPath(folder.Program().c_str());
  ScanFolder(list, where, ".html");
  EXPECT_EQ(Paths(list), (std::set<std::string>{folder.Program() + "\\short.html"}))
      << "a path cut to 256 characters would name another file";
}

}  // namespace
