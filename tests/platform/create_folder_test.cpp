#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_replace.h"
#include "tests/platform/test_folder.h"

namespace {

TEST(CreateFolder, IsSafeAgainstOthersDoingTheSame) {
  TestFolder folder;
  folder.Write("file", "x");
  EXPECT_TRUE(SysCreateFolder(folder.Program("new").c_str()));
  EXPECT_TRUE(std::filesystem::is_directory(folder.Native("new")));
  EXPECT_TRUE(SysCreateFolder(folder.Program("new").c_str())) << "an existing folder is fine";
  EXPECT_FALSE(SysCreateFolder(folder.Program("file").c_str())) << "a file is no folder";
  EXPECT_FALSE(SysCreateFolder(folder.Program("missing/child").c_str())) << "parent missing";
  EXPECT_FALSE(SysCreateFolder(nullptr));
  EXPECT_FALSE(SysCreateFolder(""));

  // Many threads making the same folder all see success.
  std::vector<std::thread> threads;
  std::vector<char> results(8, 0);
  const std::string shared = folder.Program("shared");
  for (size_t i = 0; i < results.size(); ++i) {
    threads.emplace_back([&, i] { results[i] = SysCreateFolder(shared.c_str()) ? 1 : 0; });
  }
  for (std::thread& thread : threads) thread.join();
  for (size_t i = 0; i < results.size(); ++i) EXPECT_EQ(results[i], 1) << "thread " << i;
}

}  // namespace
