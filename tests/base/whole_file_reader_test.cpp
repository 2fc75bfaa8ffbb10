#include "base/whole_file_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/platform/test_folder.h"

namespace {

TEST(WholeFileReader, LeavesRoomBehindTheData) {
  TestFolder folder;
  folder.Write("data.bin", std::string("ab\0cd", 5));
  PathBuffer path(folder.Program("data.bin").c_str());
  unsigned count = 99;
  std::unique_ptr<char[]> block = ReadWholeFile(path, count);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(count, 5u);
  EXPECT_EQ(std::string(block.get(), 6), std::string("ab\0cd\0", 6));
  block[5 + 4095] = 'x';  // the promised room is there (ASan checks the bound)

  PathBuffer missing(folder.Program("none.bin").c_str());
  EXPECT_EQ(ReadWholeFile(missing, count), nullptr);
  EXPECT_EQ(count, 0u);
}

}  // namespace
