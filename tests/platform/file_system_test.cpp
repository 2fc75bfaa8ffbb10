#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <string>

#include "base/file_handle.h"
#include "platform/program_file_override.h"
#include "tests/platform/test_folder.h"

namespace {

// Sets an environment variable for one test and restores it afterwards.
class EnvironmentGuard {
 public:
  EnvironmentGuard(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~EnvironmentGuard() {
    if (saved_) {
      setenv(name_, saved_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

int OpenDescriptors() {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    (void)entry;
    ++count;
  }
  return count;
}

TEST(FileSystem, AttributesTellFilesFromFolders) {
  TestFolder folder;
  folder.Write("f.txt", "x");
  EXPECT_EQ(SysGetFileAttributes(folder.Program().c_str()), kSysAttributeDirectory);
  EXPECT_EQ(SysGetFileAttributes(folder.Program("f.txt").c_str()), kSysAttributeNormal);
  EXPECT_EQ(SysGetFileAttributes(folder.Program("none").c_str()), kSysInvalidAttributes);
  EXPECT_EQ(SysGetFileAttributes(""), kSysInvalidAttributes);
  EXPECT_EQ(SysGetFileAttributes(nullptr), kSysInvalidAttributes);
}

TEST(FileSystem, CurrentDirectoryInTheProgramsView) {
  TestFolder folder;
  CurrentDirectoryGuard guard;
  ASSERT_TRUE(SysSetCurrentDirectory(folder.Program().c_str()));
  const std::string expected =
      TestFolder::ProgramView(std::filesystem::canonical(folder.Native()).string());
  char out[4096];
  const uint32_t length = SysGetCurrentDirectory(out, sizeof out);
  EXPECT_EQ(std::string(out), expected);
  EXPECT_EQ(length, expected.size());
  EXPECT_EQ(SysGetCurrentDirectory(out, uint32_t(expected.size())), 0u)
      << "no room for the NUL must fail";
  EXPECT_FALSE(SysSetCurrentDirectory(folder.Program("missing").c_str()));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(folder.Native()))
      << "a failed change keeps the directory";
}

TEST(FileSystem, FolderListing) {
  TestFolder folder;
  folder.Write("a.html", "a");
  folder.Write("b.txt", "b");
  std::filesystem::create_directory(folder.Native("sub"));
  std::set<std::string> files, folders;
  SysFindData entry;
  void* search = SysFindFirstFile(folder.Program().c_str(), &entry);
  ASSERT_NE(search, nullptr);
  do {
    (entry.attributes == kSysAttributeDirectory ? folders : files).insert(entry.name);
  } while (SysFindNextFile(search, &entry));
  SysFindClose(search);
  EXPECT_EQ(files, (std::set<std::string>{"a.html", "b.txt"}));
  EXPECT_EQ(folders, (std::set<std::string>{".", "..", "sub"}));
  EXPECT_EQ(SysFindFirstFile(folder.Program("missing").c_str(), &entry), nullptr);
  EXPECT_EQ(SysFindFirstFile(folder.Program("a.html").c_str(), &entry), nullptr)
      << "a file is not a folder to list";
}

TEST(FileSystem, ProgramFileAndItsOverride) {
  char out[4096];
  ASSERT_NE(SysGetProgramFile(out, sizeof out), 0u);
  const std::string real = out;
  EXPECT_EQ(real, TestFolder::ProgramView(std::filesystem::read_symlink("/proc/self/exe")))
      << "the program file comes from /proc/self/exe";
  EXPECT_EQ(SysGetProgramFile(out, uint32_t(real.size())), 0u) << "no room for the NUL";

  ASSERT_TRUE(SysOverrideProgramFile("Z:\\opt\\krn2html\\krn2html"));
  ASSERT_NE(SysGetProgramFile(out, sizeof out), 0u);
  EXPECT_STREQ(out, "Z:\\opt\\krn2html\\krn2html");
  EXPECT_FALSE(SysOverrideProgramFile(std::string(260, 'x').c_str()))
      << "an override that cannot be a path is refused";
  ASSERT_NE(SysGetProgramFile(out, sizeof out), 0u);
  EXPECT_STREQ(out, "Z:\\opt\\krn2html\\krn2html") << "a refused override changes nothing";
  ASSERT_TRUE(SysOverrideProgramFile(nullptr));
  ASSERT_NE(SysGetProgramFile(out, sizeof out), 0u);
  EXPECT_EQ(std::string(out), real) << "null restores the real program file";
}

TEST(FileSystem, TemporaryFolderFollowsTmpdir) {
  TestFolder folder;
  char out[4096];
  {
    EnvironmentGuard env("TMPDIR", folder.Native().c_str());
    ASSERT_NE(SysGetTempFolder(out, sizeof out), 0u);
    EXPECT_EQ(std::string(out), folder.Program() + "\\") << "TMPDIR, ending with a separator";
  }
  {
    EnvironmentGuard env("TMPDIR", nullptr);
    ASSERT_NE(SysGetTempFolder(out, sizeof out), 0u);
    EXPECT_STREQ(out, "Z:\\tmp\\") << "without TMPDIR the folder is /tmp";
    EXPECT_EQ(SysGetTempFolder(out, 7), 0u) << "Z:\\tmp\\ needs 8 bytes";
  }
  {
    EnvironmentGuard env("TMPDIR", "relative/dir");
    ASSERT_NE(SysGetTempFolder(out, sizeof out), 0u);
    EXPECT_STREQ(out, "Z:\\tmp\\") << "a relative TMPDIR is not trusted";
  }
}

TEST(FileSystem, TemporaryFilesAreCreatedExclusively) {
  TestFolder folder;
  const std::regex name("PB[0-9A-F]{1,4}\\.tmp");
  std::set<std::string> made;
  for (int i = 0; i < 40; ++i) {
    char out[4096];
    ASSERT_TRUE(SysMakeTempFile((folder.Program() + "\\").c_str(), "PB", out, sizeof out));
    const std::string path = out;
    EXPECT_EQ(path.rfind(folder.Program() + "\\PB", 0), 0u) << path;
    const std::string file = path.substr(folder.Program().size() + 1);
    EXPECT_TRUE(std::regex_match(file, name)) << "unexpected temporary name " << file;
    EXPECT_TRUE(made.insert(path).second) << "a name was given twice: " << path;
    EXPECT_TRUE(std::filesystem::exists(folder.Native(file)));
    EXPECT_EQ(std::filesystem::file_size(folder.Native(file)), 0u);
  }
  char out[4096];
  ASSERT_TRUE(SysMakeTempFile(folder.Program().c_str(), "PB", out, sizeof out))
      << "a folder without a final separator works too";
  EXPECT_EQ(std::string(out).rfind(folder.Program() + "\\PB", 0), 0u) << out;
  EXPECT_FALSE(SysMakeTempFile(folder.Program("missing").c_str(), "PB", out, sizeof out));
  TestFolder empty;
  EXPECT_FALSE(SysMakeTempFile(empty.Program().c_str(), "PB", out, 10))
      << "a name that does not fit the output fails";
  EXPECT_TRUE(std::filesystem::is_empty(empty.Native())) << "and leaves no file behind";
}

TEST(FileSystem, FilesOf4GiBHaveNoSize) {
  TestFolder folder;
  folder.Write("big.bin", "");
  std::error_code error;
  std::filesystem::resize_file(folder.Native("big.bin"), 0x100000000ull, error);
  if (error) GTEST_SKIP() << "no sparse 4 GiB file here: " << error.message();
  void* file = SysOpenFile(folder.Program("big.bin").c_str(), 0);
  ASSERT_NE(file, nullptr);
  uint32_t size = 0;
  EXPECT_FALSE(SysGetFileSize(file, &size)) << "4 GiB does not fit 32 bits";
  EXPECT_TRUE(SysCloseFile(file));

  std::filesystem::resize_file(folder.Native("big.bin"), 0xFFFFFFFEull, error);
  ASSERT_FALSE(error);
  FileHandle handle(PathBuffer(folder.Program("big.bin").c_str()));
  ASSERT_TRUE(handle.Open(0));
  ASSERT_TRUE(handle.GetSize(&size));
  EXPECT_EQ(size, 0xFFFFFFFEu) << "the largest size that can be told apart from failure";
}

TEST(FileSystem, HandlesAreReleased) {
  if (!std::filesystem::exists("/proc/self/fd")) GTEST_SKIP() << "no /proc here";
  TestFolder folder;
  folder.Write("x.txt", "x");
  const int before = OpenDescriptors();
  {
    FileHandle file(PathBuffer(folder.Program("x.txt").c_str()));
    ASSERT_TRUE(file.Open(0));
    EXPECT_EQ(OpenDescriptors(), before + 1);
  }
  EXPECT_EQ(OpenDescriptors(), before) << "destroying an open FileHandle closes its file";

  SysFindData entry;
  void* search = SysFindFirstFile(folder.Program().c_str(), &entry);
  ASSERT_NE(search, nullptr);
  SysFindClose(search);
  EXPECT_EQ(OpenDescriptors(), before) << "closing a listing releases it";
  EXPECT_EQ(SysOpenFile(folder.Program("x.txt").c_str(), 7), nullptr) << "unknown mode";
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(FileSystem, DescriptorZeroIsAnOpenFile) {
  TestFolder folder;
  folder.Write("zero.txt", "z");
  const int saved = dup(0);
  ASSERT_GE(saved, 0);
  close(0);
  void* file = SysOpenFile(folder.Program("zero.txt").c_str(), 0);
  char byte = 0;
  uint32_t done = 0;
  const bool read = file != nullptr && SysReadFile(file, &byte, 1, &done);
  const bool closed = file != nullptr && SysCloseFile(file);
  dup2(saved, 0);
  close(saved);
  EXPECT_NE(file, nullptr) << "the lowest free descriptor, 0, must not look like a failure";
  EXPECT_TRUE(read);
  EXPECT_EQ(byte, 'z');
  EXPECT_TRUE(closed);
}

}  // namespace
