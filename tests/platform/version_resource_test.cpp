#include "platform/version_resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/version_info.h"
#include "krn_version.h"
#include "platform/file_system.h"
#include "tests/platform/elf_builder.h"
#include "tests/platform/test_folder.h"

namespace {

const char kTranslation[] = "\\VarFileInfo\\Translation";
const char kProduct[] = "\\StringFileInfo\\040904B0\\ProductVersion";

// Reads the whole version block of a program-view path; empty when there is none.
Bytes ReadBlock(const std::string& path) {
  const uint32_t size = SysGetFileVersionInfoSize(path.c_str());
  if (size == 0) return {};
  Bytes block(size);
  if (!SysGetFileVersionInfo(path.c_str(), size, block.data())) return {};
  return block;
}

uint32_t VersionOf(const std::string& path) {
  PathRecord record;
  record.SetPath(path.c_str());
  return ReadProductVersion(record);
}

Bytes StandardBlock(const std::string& version) {
  return VersionBlock({{kTranslation, {0x09, 0x04, 0xB0, 0x04}}, {kProduct, TextValue(version)}});
}

TEST(VersionResource, ThisProgramCarriesItsBlock) {
  char self[4096];
  ASSERT_NE(SysGetProgramFile(self, sizeof self), 0u);
  const Bytes block = ReadBlock(self);
  ASSERT_FALSE(block.empty()) << "the test program must carry a version block";

  const void* value = nullptr;
  uint32_t length = 0;
  ASSERT_TRUE(SysVerQueryValue(block.data(), kTranslation, &value, &length));
  ASSERT_EQ(length, 4u);
  const unsigned char* pair = static_cast<const unsigned char*>(value);
  EXPECT_EQ(pair[0] | pair[1] << 8, 0x0409) << "US English";
  EXPECT_EQ(pair[2] | pair[3] << 8, 0x04B0) << "Unicode code page";

  ASSERT_TRUE(SysVerQueryValue(block.data(), kProduct, &value, &length));
  EXPECT_STREQ(static_cast<const char*>(value), KRN_VERSION_COMMAS);
  EXPECT_EQ(length, sizeof KRN_VERSION_COMMAS) << "the length counts the NUL";
  EXPECT_TRUE(
      SysVerQueryValue(block.data(), "\\stringfileinfo\\040904b0\\productversion", &value, &length))
      << "keys compare without regard to case, as on Windows";
  EXPECT_FALSE(
      SysVerQueryValue(block.data(), "\\StringFileInfo\\040904B0\\CompanyName", &value, &length));
  EXPECT_FALSE(SysVerQueryValue(block.data(), "\\StringFileInfo\\040904B0", &value, &length))
      << "a prefix of a key is not a key";

  Bytes small(block.size() - 1);
  EXPECT_FALSE(SysGetFileVersionInfo(self, uint32_t(small.size()), small.data()))
      << "a block larger than the given size is refused";
}

TEST(VersionResource, FilesWithoutABlock) {
  TestFolder folder;
  folder.Write("text.txt",
               "\x7f"
               "ELF but not really");
  EXPECT_EQ(SysGetFileVersionInfoSize(folder.Program("text.txt").c_str()), 0u);
  EXPECT_EQ(SysGetFileVersionInfoSize(folder.Program("missing").c_str()), 0u);
  EXPECT_EQ(SysGetFileVersionInfoSize(nullptr), 0u);
  char native[] = "/bin/true";
  if (std::filesystem::exists(native)) {
    const std::string program = TestFolder::ProgramView(native);
    EXPECT_EQ(SysGetFileVersionInfoSize(program.c_str()), 0u) << "a system program has no block";
    EXPECT_EQ(VersionOf(program), 0u);
  }
}

TEST(VersionResource, EveryElfWidthAndByteOrder) {
  TestFolder folder;
  for (const bool wide : {false, true}) {
    for (const bool bigEndian : {false, true}) {
      const Bytes file = ElfFile(wide, bigEndian, ".krn_version", StandardBlock("2, 5, 0, 7"));
      const std::string name = std::string(wide ? "64" : "32") + (bigEndian ? "be" : "le");
      folder.Write(name, std::string(file.begin(), file.end()));
      EXPECT_EQ(VersionOf(folder.Program(name)), 0x02050007u) << "ELF " << name;
    }
  }
  const Bytes other = ElfFile(true, false, ".krn_versions", StandardBlock("2, 5, 0, 7"));
  folder.Write("renamed", std::string(other.begin(), other.end()));
  EXPECT_EQ(VersionOf(folder.Program("renamed")), 0u) << "only the exact section name counts";
}

TEST(VersionResource, TranslationChoosesTheStringTable) {
  TestFolder folder;
  const Bytes block =
      VersionBlock({{kTranslation, {0x07, 0x04, 0xE4, 0x04}},
                    {kProduct, TextValue("9, 9, 9, 9")},
                    {"\\StringFileInfo\\040704E4\\ProductVersion", TextValue("3, 1, 4, 1")}});
  const Bytes file = ElfFile(true, false, ".krn_version", block);
  folder.Write("german", std::string(file.begin(), file.end()));
  EXPECT_EQ(VersionOf(folder.Program("german")), 0x03010401u)
      << "the query is built from the first translation, in upper-case hex";

  const Bytes noTranslation =
      ElfFile(true, false, ".krn_version", VersionBlock({{kProduct, TextValue("1, 2, 3, 4")}}));
  folder.Write("untranslated", std::string(noTranslation.begin(), noTranslation.end()));
  EXPECT_EQ(VersionOf(folder.Program("untranslated")), 0u) << "no translation, no version";

  const Bytes noText = ElfFile(true, false, ".krn_version",
                               VersionBlock({{kTranslation, {0x09, 0x04, 0xB0, 0x04}}}));
  folder.Write("textless", std::string(noText.begin(), noText.end()));
  EXPECT_EQ(VersionOf(folder.Program("textless")), 0u) << "no ProductVersion, no version";

  const Bytes unterminated = ElfFile(
      true, false, ".krn_version",
      VersionBlock({{kTranslation, {0x09, 0x04, 0xB0, 0x04}}, {kProduct, {'4', ',', '2'}}}));
  folder.Write("unterminated", std::string(unterminated.begin(), unterminated.end()));
  EXPECT_EQ(VersionOf(folder.Program("unterminated")), 0x04020000u)
      << "a text without its NUL is bounded by its length";
}

TEST(VersionResource, DamagedFilesAreRejectedSafely) {
  TestFolder folder;
  const Bytes good = ElfFile(true, false, ".krn_version", StandardBlock("1, 2, 3, 4"));
  // Every truncation of a valid file must be refused without reading past its end.
  for (size_t size = 0; size < good.size(); size += 7) {
    folder.Write("cut", std::string(good.begin(), good.begin() + long(size)));
    EXPECT_EQ(SysGetFileVersionInfoSize(folder.Program("cut").c_str()), 0u)
        << "file cut to " << size << " bytes";
  }
  // A block claiming more bytes than its section holds.
  Bytes block = StandardBlock("1, 2, 3, 4");
  block[8] = 0xFF;
  block[9] = 0x7F;
  Bytes file = ElfFile(false, false, ".krn_version", block);
  folder.Write("oversized", std::string(file.begin(), file.end()));
  EXPECT_EQ(SysGetFileVersionInfoSize(folder.Program("oversized").c_str()), 0u);
  // A record claiming more bytes than the block holds.
  block = StandardBlock("1, 2, 3, 4");
  block[12 + 2] = 0xFF;
  file = ElfFile(false, false, ".krn_version", block);
  folder.Write("record", std::string(file.begin(), file.end()));
  EXPECT_EQ(VersionOf(folder.Program("record")), 0u);
  // A wrong magic.
  block = StandardBlock("1, 2, 3, 4");
  block[0] = 'X';
  file = ElfFile(false, false, ".krn_version", block);
  folder.Write("magic", std::string(file.begin(), file.end()));
  EXPECT_EQ(SysGetFileVersionInfoSize(folder.Program("magic").c_str()), 0u);
  // Section headers pointing far outside the file.
  file = good;
  file[40] = 0xFF;
  file[44] = 0x7F;
  folder.Write("table", std::string(file.begin(), file.end()));
  EXPECT_EQ(SysGetFileVersionInfoSize(folder.Program("table").c_str()), 0u);
}

}  // namespace
