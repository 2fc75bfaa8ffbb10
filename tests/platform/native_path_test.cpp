#include "platform/native_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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
}

TEST(NativePath, SystemPathsComingIn) {
  EXPECT_EQ(ToProgram("/home/ann/a.krn"), "Z:\\home\\ann\\a.krn");
  EXPECT_EQ(ToProgram("/"), "Z:\\");
  EXPECT_EQ(ToProgram("scenes/a.krn"), "scenes\\a.krn") << "relative paths gain no drive";
  for (const char* native : {"/tmp/krn/x.html", "/a b/c.d/e", "/"}) {
    EXPECT_EQ(ToNative(ToProgram(native).c_str()), native) << "round trip of " << native;
  }
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
