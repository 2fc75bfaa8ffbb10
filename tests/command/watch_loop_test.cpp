#include "command/watch_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app_test_support.h"
#include "core/text_of.h"

namespace {

namespace fs = std::filesystem;
using apptest::ProgramView;
using apptest::TempFolder;
using apptest::WriteText;

constexpr int kTemplateTag = -1;
constexpr int kWaitMs = 3000;
// Long enough for a change that would be seen to arrive; the wait ends as idle otherwise.
constexpr int kNothingMs = 300;

class WatchLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder / "scenes");
    fs::create_directories(folder / "templates");
    WriteText(folder / "scenes" / "a.krn", "<a/>");
    WriteText(folder / "scenes" / "b.krn", "<b/>");
    WriteText(folder / "templates" / "t.html", "t");
    ASSERT_TRUE(loop.Follow(ProgramView(folder / "scenes" / "a.krn").c_str(), 0));
    ASSERT_TRUE(loop.Follow(ProgramView(folder / "scenes" / "b.krn").c_str(), 1));
    ASSERT_TRUE(loop.Follow(ProgramView(folder / "templates" / "t.html").c_str(), kTemplateTag));
    StringList unwatched;
    ASSERT_TRUE(loop.Start(unwatched));
    ASSERT_EQ(unwatched.count, 0);
  }

  std::vector<int> ChangedTags() const {
    std::vector<int> tags;
    for (int tag : {kTemplateTag, 0, 1}) {
      if (loop.Changed(tag)) tags.push_back(tag);
    }
    return tags;
  }

  TempFolder folder;
  WatchLoop loop;
};

// Which change of which file is told under which tag, one burst at a time; changes to other
// entries of the watched folders (pages, temporary files) are not.
TEST_F(WatchLoopTest, TellsTheTagsOfTheChangedFiles) {
  const fs::path scenes = folder / "scenes";
  struct Row {
    const char* what;
    std::function<void()> change;
    std::vector<int> tags;  // empty: the wait ends idle
  };
  const std::vector<Row> rows = {
      {"written in place", [&] { WriteText(scenes / "a.krn", "<a2/>"); }, {0}},
      {"replaced by a rename",
       [&] {
         WriteText(scenes / ".b.krn.tmp", "<b2/>");
         fs::rename(scenes / ".b.krn.tmp", scenes / "b.krn");
       },
       {1}},
      {"deleted", [&] { fs::remove(scenes / "a.krn"); }, {0}},
      {"back again", [&] { WriteText(scenes / "a.krn", "<a3/>"); }, {0}},
      {"renamed away", [&] { fs::rename(scenes / "b.krn", scenes / "b.old"); }, {1}},
      {"the template", [&] { WriteText(folder / "templates" / "t.html", "t2"); }, {kTemplateTag}},
      {"a scene and the template in one burst",
       [&] {
         WriteText(scenes / "a.krn", "<a4/>");
         WriteText(folder / "templates" / "t.html", "t3");
       },
       {kTemplateTag, 0}},
      {"a page and its temporary file beside the scenes",
       [&] {
         WriteText(scenes / "PB1.tmp", "page");
         fs::rename(scenes / "PB1.tmp", scenes / "a.html");
       },
       {}},
      {"a file whose name only starts like a scene's",
       [&] { WriteText(scenes / "a.krn.bak", "x"); },
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    row.change();
    if (row.tags.empty()) {
      EXPECT_EQ(loop.Wait(kNothingMs), WatchOutcome::kIdle);
      continue;
    }
    ASSERT_EQ(loop.Wait(kWaitMs), WatchOutcome::kChanged);
    EXPECT_EQ(ChangedTags(), row.tags);
  }
}

// Changes closer together than the quiet time are one burst: one wait, told once, that ends
// only after the last of them.
TEST_F(WatchLoopTest, ABurstOfChangesIsToldOnce) {
  const fs::path scene = folder / "scenes" / "a.krn";
  const auto start = std::chrono::steady_clock::now();
  std::thread writer([&] {
    for (int i = 0; i < 8; ++i) {
      WriteText(scene, "<a n=\"" + std::to_string(i) + "\"/>");
      std::this_thread::sleep_for(std::chrono::milliseconds(WatchLoop::kQuietMs / 4));
    }
  });
  const WatchOutcome outcome = loop.Wait(kWaitMs);
  const auto waited = std::chrono::steady_clock::now() - start;
  writer.join();
  ASSERT_EQ(outcome, WatchOutcome::kChanged);
  EXPECT_TRUE(loop.Changed(0));
  EXPECT_FALSE(loop.Changed(1));
  // Eight writes a quarter of the quiet time apart, then the quiet time itself.
  EXPECT_GE(waited, std::chrono::milliseconds(7 * WatchLoop::kQuietMs / 4 + WatchLoop::kQuietMs));
  EXPECT_EQ(loop.Wait(kNothingMs), WatchOutcome::kIdle) << "the burst was told twice";
}

// A file written without pause is still told, once the longest burst has passed.
TEST_F(WatchLoopTest, AnEndlessBurstIsToldAfterTheLongestWait) {
  std::atomic<bool> stop{false};
  std::atomic<bool> writing{true};
  std::thread writer([&] {
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(10 * WatchLoop::kLongestBurstMs);
    for (int i = 0; !stop && std::chrono::steady_clock::now() < end; ++i) {
      WriteText(folder / "scenes" / "b.krn", std::to_string(i));
      std::this_thread::sleep_for(std::chrono::milliseconds(WatchLoop::kQuietMs / 5));
    }
    writing = false;
  });
  const WatchOutcome outcome = loop.Wait(kWaitMs);
  const bool stillWriting = writing;
  stop = true;
  writer.join();
  ASSERT_EQ(outcome, WatchOutcome::kChanged);
  EXPECT_TRUE(loop.Changed(1));
  EXPECT_TRUE(stillWriting) << "the wait lasted as long as the writes";
}

// A folder that does not exist is named, and the others are still watched; a path without a
// file name cannot be followed.
TEST(WatchLoopStart, NamesTheFoldersItCannotWatch) {
  TempFolder folder;
  WriteText(folder / "here" / "a.krn", "<a/>");
  WatchLoop loop;
  EXPECT_FALSE(loop.Follow(ProgramView(folder.path()).append("\\").c_str(), 0));
  ASSERT_TRUE(loop.Follow(ProgramView(folder / "gone" / "b.krn").c_str(), 1));
  ASSERT_TRUE(loop.Follow(ProgramView(folder / "here" / "a.krn").c_str(), 0));
  StringList unwatched;
  ASSERT_TRUE(loop.Start(unwatched));
  ASSERT_EQ(unwatched.count, 1);
  EXPECT_STREQ(TextOf(unwatched.items[0]), (ProgramView(folder / "gone") + "\\").c_str());
  WriteText(folder / "here" / "a.krn", "<a2/>");
  ASSERT_EQ(loop.Wait(kWaitMs), WatchOutcome::kChanged);
  EXPECT_TRUE(loop.Changed(0));
  EXPECT_FALSE(loop.Changed(1));
}

}  // namespace
