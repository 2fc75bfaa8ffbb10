#include "base/path_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/program_file_override.h"
#include "tests/platform/test_folder.h"

namespace {

// Chooses the program file for one test and restores the real one after it.
class ProgramFileGuard {
 public:
  explicit ProgramFileGuard(const std::string& path) {
    EXPECT_TRUE(SysOverrideProgramFile(path.c_str()));
  }
  ~ProgramFileGuard() { SysOverrideProgramFile(nullptr); }
};

std::string Native(const char* program) {
  char out[4096];
  return NativePathFromProgram(program, out, sizeof out) ? out : "";
}

TEST(PathBuffer, SplitFindsTheFourParts) {
  PathBuffer p;
  ASSERT_TRUE(p.Set("C:\\web\\out\\page.tar.html"));
  PathParts parts;
  std::memset(&parts, 'x', sizeof parts);
  ASSERT_TRUE(p.Split(&parts));
  EXPECT_STREQ(parts.drive, "C:");
  EXPECT_STREQ(parts.directory, "\\web\\out\\");
  EXPECT_STREQ(parts.fileName, "page.tar");
  EXPECT_STREQ(parts.extension, ".html");
  EXPECT_FALSE(p.Split(nullptr));

  ASSERT_TRUE(p.Set("a/b.d/name"));
  ASSERT_TRUE(p.Split(&parts));
  EXPECT_STREQ(parts.drive, "");
  EXPECT_STREQ(parts.directory, "a/b.d/") << "'/' separates directories too";
  EXPECT_STREQ(parts.fileName, "name");
  EXPECT_STREQ(parts.extension, "") << "a point in a folder name is no extension";

  ASSERT_TRUE(p.Set("C:\\x\\.html"));
  ASSERT_TRUE(p.Split(&parts));
  EXPECT_STREQ(parts.fileName, "");
  EXPECT_STREQ(parts.extension, ".html");
}

TEST(PathBuffer, SplitCutsPartsToTheirArrays) {
  PathBuffer p;
  const std::string directory = "\\" + std::string(254, 'd') + "\\";  // 256 characters
  ASSERT_TRUE(p.Set(("C:" + directory).c_str()));
  PathParts parts;
  ASSERT_TRUE(p.Split(&parts));
  EXPECT_EQ(std::strlen(parts.directory), 255u) << "a long directory is cut to 255 characters";
  EXPECT_EQ(std::string(parts.directory), directory.substr(0, 255));

  // Operations that split internally keep every character.
  ASSERT_TRUE(p.SetFileName("f"));
  EXPECT_EQ(std::string(p.path), "C:" + directory + "f");
  PathBuffer copy(p);
  EXPECT_TRUE(copy.valid);
  EXPECT_STREQ(copy.path, p.path) << "copying must not lose characters of a long directory";
}

TEST(PathBuffer, ComposeAddsMissingSeparatorsAndRefusesLongPaths) {
  PathBuffer p;
  ASSERT_TRUE(p.Compose("C:", "\\web", "page", "html"));
  EXPECT_STREQ(p.path, "C:\\web\\page.html") << "separator and point are added";
  ASSERT_TRUE(p.Compose("D", "/x/", "a", ".krn"));
  EXPECT_STREQ(p.path, "D:/x/a.krn") << "existing separator and point are kept";
  ASSERT_TRUE(p.Compose(nullptr, nullptr, "name", nullptr));
  EXPECT_STREQ(p.path, "name");
  ASSERT_TRUE(p.Compose("", "", "n", ""));
  EXPECT_STREQ(p.path, "n");

  const std::string fits(254, 'f');
  ASSERT_TRUE(p.Compose("C:", "\\", fits.c_str(), ".x")) << "259 characters fit";
  EXPECT_EQ(std::strlen(p.path), 259u);
  EXPECT_FALSE(p.Compose("C:", "\\", fits.c_str(), "xy")) << "the added point makes 261";
  EXPECT_STREQ(p.path, "") << "a failed Compose leaves the path empty";

  // Parts taken from the path itself stay readable while it is rebuilt.
  ASSERT_TRUE(p.Set("C:\\dir\\file.txt"));
  PathParts parts;
  ASSERT_TRUE(p.Split(&parts));
  ASSERT_TRUE(p.Compose(parts.drive, parts.directory, p.path + 7, nullptr));
  EXPECT_STREQ(p.path, "C:\\dir\\file.txt");
}

TEST(PathBuffer, SetFileNameAndGetFileName) {
  PathBuffer p;
  ASSERT_TRUE(p.Set("C:\\a\\page.html"));
  char name[256];
  ASSERT_TRUE(p.GetFileName(name, sizeof name));
  EXPECT_STREQ(name, "page.html");
  char small[9];
  EXPECT_FALSE(p.GetFileName(small, sizeof small)) << "9 bytes cannot hold page.html and its NUL";
  char exact[10];
  EXPECT_TRUE(p.GetFileName(exact, sizeof exact));
  EXPECT_STREQ(exact, "page.html");

  ASSERT_TRUE(p.SetFileName("other.krn"));
  EXPECT_STREQ(p.path, "C:\\a\\other.krn");
  EXPECT_FALSE(p.SetFileName(nullptr));
  const std::string tooLong(260, 'n');
  EXPECT_FALSE(p.SetFileName(tooLong.c_str()));
  EXPECT_STREQ(p.path, "C:\\a\\other.krn") << "a refused name leaves the path as it was";
  const std::string tooLongTogether(255, 'n');
  EXPECT_FALSE(p.SetFileName(tooLongTogether.c_str())) << "folder plus name exceed 259";
  EXPECT_STREQ(p.path, "C:\\a\\other.krn");
}

TEST(PathBuffer, SetAndAssign) {
  PathBuffer p("Z:/already/native.txt");
  EXPECT_TRUE(p.valid);
  EXPECT_STREQ(p.path, "Z:/already/native.txt") << "a text with '/' is kept unchanged";
  const std::string tooLong = "C:\\" + std::string(257, 'x');
  PathBuffer refused(tooLong.c_str());
  EXPECT_FALSE(refused.valid);
  EXPECT_STREQ(refused.path, "");
  EXPECT_FALSE(p.Set(tooLong.c_str()));
  EXPECT_STREQ(p.path, "Z:/already/native.txt");

  EXPECT_FALSE(p.Assign(nullptr));
  PathBuffer other("C:\\b\\c.d");
  ASSERT_TRUE(p.Assign(&other));
  EXPECT_STREQ(p.path, "C:\\b\\c.d");
  p.Clear();
  EXPECT_STREQ(p.path, "");
  EXPECT_TRUE(p.valid) << "Clear leaves valid alone";
  EXPECT_TRUE(PathBuffer::Fits(std::string(259, 'a').c_str()));
  EXPECT_FALSE(PathBuffer::Fits(std::string(260, 'a').c_str()));
  EXPECT_FALSE(PathBuffer::Fits(nullptr));
}

TEST(PathBuffer, ProgramFolderFiles) {
  TestFolder folder;
  const std::string program = folder.Program("krn2html");
  ProgramFileGuard guard(program);

  PathBuffer self;
  ASSERT_TRUE(self.SetInProgramFolder(nullptr));
  EXPECT_EQ(std::string(self.path), program) << "null gives the program file itself";

  PathBuffer index("index.html");
  EXPECT_TRUE(index.valid);
  EXPECT_EQ(std::string(index.path), folder.Program() + "\\index.html");

  PathBuffer defaults;
  ASSERT_TRUE(defaults.SetInProgramFolder("\\Defaults\\defaulttemplate.txt"));
  EXPECT_EQ(std::string(defaults.path), folder.Program() + "\\\\Defaults\\defaulttemplate.txt")
      << "the name is appended unchanged, doubling the separator";
  std::filesystem::create_directory(folder.Native("Defaults"));
  folder.Write("Defaults/defaulttemplate.txt", "x");
  EXPECT_TRUE(std::filesystem::exists(Native(defaults.path)))
      << "the doubled separator still names the file";

  const std::string tooLong(260, 'n');
  EXPECT_FALSE(defaults.SetInProgramFolder(tooLong.c_str()));
  EXPECT_EQ(std::string(defaults.path), folder.Program() + "\\\\Defaults\\defaulttemplate.txt")
      << "a refused name leaves the path as it was";
}

TEST(PathBuffer, RealProgramFileIsFoundWithoutOverride) {
  PathBuffer self;
  ASSERT_TRUE(self.SetInProgramFolder(nullptr));
  EXPECT_NE(SysGetFileAttributes(self.path), kSysInvalidAttributes)
      << "the program file " << self.path << " must exist";
  EXPECT_NE(std::string(self.path).find("krn_base_tests"), std::string::npos) << self.path;
}

TEST(PathBuffer, TemporaryFilesAreNewAndExist) {
  PathBuffer a, b;
  ASSERT_TRUE(a.MakeTempFile());
  ASSERT_TRUE(b.MakeTempFile());
  const std::filesystem::path na = Native(a.path), nb = Native(b.path);
  EXPECT_NE(std::string(a.path), std::string(b.path)) << "two temporary files differ";
  EXPECT_TRUE(std::filesystem::exists(na)) << a.path;
  EXPECT_TRUE(std::filesystem::exists(nb)) << b.path;
  EXPECT_EQ(na.filename().string().rfind("PB", 0), 0u) << "names begin with PB: " << na;
  EXPECT_EQ(nb.filename().string().rfind("PB", 0), 0u) << "names begin with PB: " << nb;
  EXPECT_EQ(std::filesystem::file_size(na), 0u);
  PathBuffer c(nullptr);
  EXPECT_TRUE(c.valid) << "a null text makes a temporary file";
  EXPECT_TRUE(std::filesystem::exists(Native(c.path)));
  std::filesystem::remove(na);
  std::filesystem::remove(nb);
  std::filesystem::remove(Native(c.path));
}

}  // namespace
