// The folder part of a program-view path. Also built into the Windows backend's tests, where
// PathRemoveFileSpecA answers.
#include "platform/file_spec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The path after SysRemoveFileSpec, with "+" appended when the call reported a cut.
std::string Cut(const char* path) {
  char text[260];
  std::strcpy(text, path);
  const bool cut = SysRemoveFileSpec(text);
  return std::string(text) + (cut ? "+" : "");
}

}  // namespace

TEST(FileSpec, CutsAtTheLastBackslashAndKeepsRoots) {
  EXPECT_EQ(Cut("C:\\a\\b.exe"), "C:\\a+") << "the file name was not cut off";
  EXPECT_EQ(Cut("C:\\b.exe"), "C:\\+") << "a file at the root must keep the root's backslash";
  EXPECT_EQ(Cut("Z:\\home\\ann\\krn2html"), "Z:\\home\\ann+");
  EXPECT_EQ(Cut("C:\\a\\"), "C:\\a+") << "a trailing backslash is the cut";
  EXPECT_EQ(Cut("\\\\server\\share\\x.exe"), "\\\\server\\share+");
  EXPECT_EQ(Cut("\\x.exe"), "\\+") << "the root of the current drive stays";

  EXPECT_EQ(Cut("b.exe"), "b.exe") << "a path without a backslash must stay as it is";
  EXPECT_EQ(Cut("C:\\"), "C:\\") << "a root alone must stay as it is";
  EXPECT_EQ(Cut(""), "");
  EXPECT_FALSE(SysRemoveFileSpec(nullptr));
}
