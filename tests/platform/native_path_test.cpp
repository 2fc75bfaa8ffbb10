#include "platform/native_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/file_system.h"
#include "test_folder.h"

namespace {

std::string ToNative(const char* program, uint32_t size = 4096) {
  char out[4096];
  std::memset(out, 'x', sizeof out);
  return NativePathFromProgram(program, out, size) ? std::string(out)
                                                   : "<fail:" + std::string(out) + ">";
}

std::string ToProgram(const char* native, uint32_t size = 4096) {
  char out[4096];
  std::memset(out, 'x', sizeof out);
  return ProgramPathFromNative(native, out, size) ? std::string(out)
                                                  : "<fail:" + std::string(out) + ">";
}

TEST(NativePath, ProgramViewGoingOut) {
  EXPECT_EQ(ToNative("Z:\\home\\ann\\a.krn"), "/home/ann/a.krn");
  EXPECT_EQ(ToNative("z:\\home\\ann"), "/home/ann") << "the drive letter is case-insensitive";
  EXPECT_EQ(ToNative("Z:\\home/ann\\web/a.krn"), "/home/ann/web/a.krn") << "'/' is kept";
  EXPECT_EQ(ToNative("/already/native"), "/already/native");
  EXPECT_EQ(ToNative("scenes\\a.krn"), "scenes/a.krn") << "relative paths stay relative";
  EXPECT_EQ(ToNative("Z:\\home\\\\Defaults\\x.txt"), "/home//Defaults/x.txt");
  EXPECT_EQ(ToNative(""), "");
  EXPECT_EQ(ToNative("z:x\\a.krn"), "z:x/a.krn") << "a name z:x is no drive";
  EXPECT_EQ(ToNative("Z:"), "");
}

TEST(NativePath, SystemPathsComingIn) {
  EXPECT_EQ(ToProgram("/home/ann/a.krn"), "Z:\\home\\ann\\a.krn");
  EXPECT_EQ(ToProgram("/"), "Z:\\");
  EXPECT_EQ(ToProgram("scenes/a.krn"), "scenes\\a.krn") << "relative paths gain no drive";
  for (const char* native : {"/tmp/krn/x.html", "/a b/c.d/e", "/"}) {
    EXPECT_EQ(ToNative(ToProgram(native).c_str()), native) << "round trip of " << native;
  }
}

TEST(NativePath, NamesWithABackslashHaveNoProgramView) {
  for (const char* native : {"/x/b\\s/s.krn", "/x/a\\", "b\\s/s.krn", "\\"}) {
    EXPECT_EQ(ToProgram(native), "<fail:>") << native << " must never be taken for another path";
  }
  EXPECT_TRUE(NativePathHasBackslashName("/x/b\\s/s.krn"));
  EXPECT_FALSE(NativePathHasBackslashName("Z:\\x\\s.krn")) << "a program path";
  EXPECT_FALSE(NativePathHasBackslashName("/x/a:b/s.krn"));
  EXPECT_FALSE(NativePathHasBackslashName(nullptr));
}

// The program's view of a path the user typed, relative ones from a program-view folder.
std::string FromUser(const char* user, const char* folder, uint32_t size = 4096) {
  char out[4096];
  std::memset(out, 'x', sizeof out);
  const char* outcomes[] = {"", "<too long>", "<no folder>", "<backslash>"};
  const UserPathOutcome outcome = ProgramPathFromUser(user, folder, out, size);
  return std::string(outcomes[int(outcome)]) + out;
}

TEST(NativePath, UserPathsAreMadeFullBeforeTheyEnterTheView) {
  const struct {
    const char* user;
    const char* folder;
    std::string expected;
  } cases[] = {
      {"a:b/s.krn", "Z:\\w", "Z:\\w\\a:b\\s.krn"},
      {"a:/p.html", "Z:\\w", "Z:\\w\\a:\\p.html"},
      {"Z:x.krn", "Z:\\w", "Z:\\w\\Z:x.krn"},
      {"s.krn", "Z:\\", "Z:\\s.krn"},
      {"../s.krn", "Z:\\w\\v", "Z:\\w\\v\\..\\s.krn"},
      {"/x/a:b/s.krn", "Z:\\w", "Z:\\x\\a:b\\s.krn"},
      {"/x/s.krn", "", "Z:\\x\\s.krn"},
      {"", "Z:\\w", ""},
      {"s.krn", "", "<no folder>"},
      {"s.krn", nullptr, "<no folder>"},
      {"b\\s/s.krn", "Z:\\w", "<backslash>/w/b\\s/s.krn"},
      {"/x/b\\s/s.krn", "Z:\\w", "<backslash>/x/b\\s/s.krn"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FromUser(c.user, c.folder), c.expected)
        << c.user << " from " << (c.folder ? c.folder : "(null)");
  }
  EXPECT_EQ(FromUser("s.krn", "Z:\\w", 10), "<too long>") << "Z:\\w\\s.krn needs 11 bytes";
  EXPECT_EQ(FromUser("s.krn", "Z:\\w", 11), "Z:\\w\\s.krn");
}

TEST(NativePath, ACurrentFolderWithABackslashIsToldAsSuch) {
  // Such a folder has no program view: it is given in its native form, and a relative path
  // from it is refused with the native path it stands for.
  TestFolder folder;
  const std::filesystem::path odd = folder.Native("a\\b");
  std::filesystem::create_directories(odd);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(odd);
  char view[260];
  const uint32_t viewLength = SysGetCurrentDirectory(view, sizeof view);
  char current[4096];
  const uint32_t length = CurrentFolderForUserPaths(current, sizeof current);
  std::filesystem::current_path(before);
  EXPECT_EQ(viewLength, 0u) << "the folder has no program view";
  ASSERT_EQ(length, odd.string().size());
  EXPECT_EQ(std::string(current), odd.string());
  EXPECT_EQ(FromUser("../../f.html", current), "<backslash>" + odd.string() + "/../../f.html");
  EXPECT_EQ(FromUser("/x/f.html", current), "Z:\\x\\f.html") << "a full path needs no folder";
  char program[4096];
  ASSERT_NE(CurrentFolderForUserPaths(program, sizeof program), 0u);
  EXPECT_EQ(std::string(program, 3), "Z:\\") << "an ordinary folder in the program's view";
}

TEST(NativePath, BoundedByTheOutputSize) {
  // "/home/a" is 7 characters: 8 bytes with the NUL.
  EXPECT_EQ(ToNative("Z:\\home\\a", 8), "/home/a");
  EXPECT_EQ(ToNative("Z:\\home\\a", 7), "<fail:>") << "a result that does not fit fails, empty";
  // "Z:\home\a" is 9 characters: 10 bytes.
  EXPECT_EQ(ToProgram("/home/a", 10), "Z:\\home\\a");
  EXPECT_EQ(ToProgram("/home/a", 9), "<fail:>");
  char out[4];
  EXPECT_FALSE(NativePathFromProgram(nullptr, out, sizeof out));
  EXPECT_FALSE(ProgramPathFromNative(nullptr, out, sizeof out));
  EXPECT_FALSE(ProgramPathFromNative("/x", nullptr, 10));
  EXPECT_FALSE(ProgramPathFromNative("/x", out, 0));
}

}  // namespace
