#include "base/whole_file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_replace.h"
#include "platform/stop_request.h"
#include "tests/platform/test_folder.h"

namespace {

std::string ReasonOf(uint32_t error) {
  char text[256] = "";
  SysErrorText(error, text, sizeof text);
  return text;
}

// The number of entries in the folder: no temporary file may stay behind.
int EntriesIn(const std::filesystem::path& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    (void)entry;
    ++count;
  }
  return count;
}

TEST(WholeFileWriter, WritesNewAndReplacesWholeOrNotAtAll) {
  TestFolder folder;
  uint32_t error = 99;
  const std::string page = folder.Program("page.html");
  ASSERT_TRUE(WriteWholeFile(page.c_str(), "first text", 10, &error));
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(folder.Read("page.html"), "first text");
  ASSERT_TRUE(WriteWholeFile(page.c_str(), "2nd", 3, &error)) << "a shorter text replaces it";
  EXPECT_EQ(folder.Read("page.html"), "2nd");
  ASSERT_TRUE(WriteWholeFile(page.c_str(), nullptr, 0, &error)) << "an empty file";
  EXPECT_EQ(folder.Read("page.html"), "");
  EXPECT_EQ(EntriesIn(folder.Native()), 1) << "no temporary file stays behind";

  struct Case {
    const char* what;
    std::string path;
    const char* reason;
  } cases[] = {
      {"a folder that does not exist", folder.Program("no\\such\\page.html"),
       "No such file or directory"},
      {"a read-only file", folder.Program("locked.html"), "Permission denied"},
      {"a folder in the file's place", folder.Program("sub"), nullptr},
      {"no path", "", "No such file or directory"},
  };
  folder.Write("locked.html", "kept");
  std::filesystem::permissions(folder.Native("locked.html"), std::filesystem::perms::owner_read);
  std::filesystem::create_directory(folder.Native("sub"));
  for (const Case& c : cases) {
    error = 0;
    EXPECT_FALSE(WriteWholeFile(c.path.c_str(), "new", 3, &error)) << c.what;
    EXPECT_NE(error, 0u) << c.what << ": a reason is given";
    if (c.reason != nullptr) {
      EXPECT_EQ(ReasonOf(error), c.reason) << c.what;
    }
  }
  EXPECT_EQ(folder.Read("locked.html"), "kept") << "the read-only file keeps its bytes";
  EXPECT_EQ(EntriesIn(folder.Native()), 3) << "page, locked file and folder: nothing else";
  std::filesystem::permissions(folder.Native("locked.html"), std::filesystem::perms::owner_all);
  EXPECT_FALSE(WriteWholeFile(nullptr, "x", 1, nullptr)) << "a null path, no error wanted";
}

// What a write told its handler, and the call at which the handler stops it (-1: never).
struct WriteLog {
  std::vector<uint64_t> written;
  std::vector<uint64_t> lengths;
  int stopAt = -1;
  int entriesSeen = -1;  // folder entries at the last call, to see the temporary file
  std::filesystem::path folder;
  static bool Tell(void* context, uint64_t bytesWritten, uint64_t length) {
    WriteLog* log = static_cast<WriteLog*>(context);
    log->entriesSeen = EntriesIn(log->folder);
    log->written.push_back(bytesWritten);
    log->lengths.push_back(length);
    return int(log->written.size()) - 1 != log->stopAt;
  }
};

TEST(WholeFileWriter, TellsEachBlockAndAStopLeavesTheTargetAsItWas) {
  const std::string text(2 * kWholeFileBlock + 12345, 'x');
  const uint64_t length = text.size();
  // The temporary file shows in the folder unless it is made without a name.
  const int temp = KRN_TEST_UNNAMED_FILES ? 0 : 1;
  struct Case {
    const char* what;
    int stopAt;
    std::vector<uint64_t> told;
    int entriesAtLastCall;  // the old page, and the temporary file once it is made
  } cases[] = {
      {"no stop", -1, {0, kWholeFileBlock, 2 * kWholeFileBlock, length}, 1 + temp},
      {"stopped before the temporary file", 0, {0}, 1},
      {"stopped after the first block", 1, {0, kWholeFileBlock}, 1 + temp},
      {"stopped after the last block, before the move",
       3,
       {0, kWholeFileBlock, 2 * kWholeFileBlock, length},
       1 + temp},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestFolder folder;
    folder.Write("page.html", "old page");
    const std::string page = folder.Program("page.html");
    WriteLog log;
    log.stopAt = c.stopAt;
    log.folder = folder.Native();
    uint32_t error = 0;
    const bool written =
        WriteWholeFile(page.c_str(), text.data(), uint32_t(length), &error, &WriteLog::Tell, &log);
    EXPECT_EQ(log.written, c.told);
    EXPECT_EQ(log.lengths, std::vector<uint64_t>(c.told.size(), length));
    EXPECT_EQ(log.entriesSeen, c.entriesAtLastCall);
    EXPECT_EQ(EntriesIn(folder.Native()), 1) << "no temporary file stays behind";
    if (c.stopAt < 0) {
      EXPECT_TRUE(written);
      EXPECT_EQ(error, 0u);
      EXPECT_EQ(folder.Read("page.html"), text);
    } else {
      EXPECT_FALSE(written);
      EXPECT_EQ(error, SysStopError());
      EXPECT_EQ(folder.Read("page.html"), "old page") << "the old file stays byte for byte";
    }
  }
}

TEST(WholeFileWriter, ALinkIsWrittenAgainOnceLookedAtAndStaysALink) {
  if (!KRN_TEST_UNNAMED_FILES) GTEST_SKIP() << "links are looked at first here";
  // The first write, made without a look-up, finds the link when it names the file; the
  // second writes beside the link's end, which may lie in another folder.
  TestFolder folder;
  std::filesystem::create_directory(folder.Native("real"));
  folder.Write("real/end.html", "old");
  std::filesystem::create_symlink("real/end.html", folder.Native("page.html"));
  WriteLog log;
  log.folder = folder.Native();
  uint32_t error = 0;
  const std::string page = folder.Program("page.html");
  ASSERT_TRUE(WriteWholeFile(page.c_str(), "new", 3, &error, &WriteLog::Tell, &log));
  EXPECT_EQ(log.written, (std::vector<uint64_t>{0, 3, 0, 3})) << "told again from 0";
  EXPECT_TRUE(std::filesystem::is_symlink(folder.Native("page.html")));
  EXPECT_EQ(folder.Read("real/end.html"), "new");
  EXPECT_EQ(EntriesIn(folder.Native()), 2) << "the link and its folder: nothing else";
  EXPECT_EQ(EntriesIn(folder.Native("real")), 1);

  // A link in a read-only folder leads to a file that may be written; a new page there may
  // not be made.
  namespace fs = std::filesystem;
  fs::create_directory(folder.Native("links"));
  fs::create_symlink("../real/end.html", folder.Native("links/page.html"));
  fs::permissions(folder.Native("links"), fs::perms::owner_read | fs::perms::owner_exec);
  const std::string linked = folder.Program("links/page.html");
  EXPECT_TRUE(WriteWholeFile(linked.c_str(), "newer", 5, &error)) << "error " << error;
  EXPECT_EQ(folder.Read("real/end.html"), "newer");
  const std::string fresh = folder.Program("links/fresh.html");
  EXPECT_FALSE(WriteWholeFile(fresh.c_str(), "new", 3, &error));
  EXPECT_EQ(ReasonOf(error), "Permission denied");
  EXPECT_EQ(EntriesIn(folder.Native("links")), 1);
  EXPECT_EQ(EntriesIn(folder.Native("real")), 1);
  fs::permissions(folder.Native("links"), fs::perms::owner_all);
}

TEST(WholeFileWriter, AnEmptyFileIsToldOnceBeforeAndOnceAfter) {
  TestFolder folder;
  WriteLog log;
  log.folder = folder.Native();
  uint32_t error = 0;
  const std::string page = folder.Program("empty.html");
  ASSERT_TRUE(WriteWholeFile(page.c_str(), "", 0, &error, &WriteLog::Tell, &log));
  EXPECT_EQ(log.written, (std::vector<uint64_t>{0, 0}));
  EXPECT_EQ(folder.Read("empty.html"), "");
}

TEST(WholeFileWriter, ErrorTextsAreTheSameOnEverySystem) {
  char text[8];
  EXPECT_TRUE(SysErrorText(SysDiskFullError(), text, sizeof text));
  EXPECT_EQ(std::string(text), "No spac") << "cut to the room given";
  char full[64];
  ASSERT_TRUE(SysErrorText(SysDiskFullError(), full, sizeof full));
  EXPECT_EQ(std::string(full), "No space left on device");
  EXPECT_FALSE(SysErrorText(1, nullptr, 10));
}

}  // namespace
