#include "base/version_info.h"

#include <gtest/gtest.h>

#include "krn_version.h"
#include "platform/file_system.h"
#include "tests/platform/test_folder.h"

namespace {

TEST(HexDigits, PairsAndDigits) {
  EXPECT_EQ(HexPairValue("0C"), 12);
  EXPECT_EQ(HexPairValue("ff"), 255);
  EXPECT_EQ(HexPairValue("Ff"), 255);
  EXPECT_EQ(HexPairValue("a0"), 160);
  EXPECT_EQ(HexPairValue("10"), 16) << "the first digit is the high nibble";
  EXPECT_EQ(HexPairValue(nullptr), 0);
  const char expected[] = "0123456789ABCDEF";
  for (unsigned v = 0; v < 16; ++v) {
    EXPECT_EQ(HexDigit(v), expected[v]) << "digit of " << v;
    EXPECT_EQ(HexDigit(v + 0x1230), expected[v]) << "only the low 4 bits count";
  }
  for (int v = 0; v < 256; ++v) {
    const char pair[2] = {HexDigit(unsigned(v) >> 4), HexDigit(unsigned(v))};
    EXPECT_EQ(HexPairValue(pair), v) << "round trip of " << v;
  }
}

TEST(ParseProductVersion, PacksFourFields) {
  EXPECT_EQ(ParseProductVersion("1, 0, 3, 12"), 0x0100030Cu);
  EXPECT_EQ(ParseProductVersion("1,0,0,1"), 0x01000001u);
  EXPECT_EQ(ParseProductVersion("255, 255, 255, 255"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseProductVersion(" 2, 5 , 7b, 9"), 0x02050709u)
      << "blanks before a number are skipped, the number ends at a non-digit";
  EXPECT_EQ(ParseProductVersion("1, 2, 3, 4, 5"), 0x01020304u) << "at most four fields count";
  EXPECT_EQ(ParseProductVersion(nullptr), 0u);
  EXPECT_EQ(ParseProductVersion(""), 0u);
}

TEST(ParseProductVersion, QuirksOfTheFormat) {
  EXPECT_EQ(ParseProductVersion("0, 256, 0, 0"), 0x01000000u)
      << "a number above 255 spills into the byte above";
  EXPECT_EQ(ParseProductVersion("1, 2, 123456, 4"), 0x00010200u)
      << "a field wider than 5 characters ends the parse after its shift";
  EXPECT_EQ(ParseProductVersion("1,2,99999,4"), 0x01869F04u)
      << "5 characters are still a field: 99999 spills over two bytes";
  EXPECT_EQ(ParseProductVersion("1, 2, 99999, 4"), 0x00010200u)
      << "the blank before 99999 makes the field 6 characters wide";
  EXPECT_EQ(ParseProductVersion("1, 2"), 0x01020000u)
      << "a short text keeps its first number in the top byte";
  EXPECT_EQ(ParseProductVersion("7"), 0x07000000u);
}

TEST(ReadProductVersion, ReadsThisProgramsOwnBlock) {
  PathRecord self;
  char program[260];
  ASSERT_NE(SysGetProgramFile(program, sizeof program), 0u);
  self.SetPath(program);
  const uint32_t expected = uint32_t(KRN_VERSION_MAJOR) << 24 | uint32_t(KRN_VERSION_MINOR) << 16 |
                            uint32_t(KRN_VERSION_PATCH) << 8 | uint32_t(KRN_VERSION_TWEAK);
  EXPECT_EQ(ReadProductVersion(self), expected)
      << "the test program carries the version from CMake (" << KRN_VERSION_DOTTED << ")";
  EXPECT_EQ(expected, 0x01000001u) << "the project version is 1.0.0.1";
}

TEST(ReadProductVersion, FilesWithoutAVersionGiveZero) {
  TestFolder folder;
  folder.Write("plain.txt", "not a program at all\n");
  PathRecord path;
  path.SetPath(folder.Program("plain.txt").c_str());
  EXPECT_EQ(ReadProductVersion(path), 0u) << "a text file";
  path.SetPath(folder.Program("missing.exe").c_str());
  EXPECT_EQ(ReadProductVersion(path), 0u) << "a missing file";
  path.SetPath(folder.Program().c_str());
  EXPECT_EQ(ReadProductVersion(path), 0u) << "a folder";
  path.SetPath("");
  EXPECT_EQ(ReadProductVersion(path), 0u) << "an empty path";
}

}  // namespace
