#include "base/block_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "base/file_handle.h"
#include "tests/platform/test_folder.h"

namespace {

// Blocks of every size from kInFlight + 1 buffers taken in turn, as the XML writer hands
// them: each is refilled only once kInFlight more blocks were handed. The file must hold them
// whole and in order.
TEST(BlockWriter, BlocksFromARingOfBuffersArriveWholeAndInOrder) {
  TestFolder folder;
  FileHandle file{PathBuffer(folder.Program("out.bin").c_str())};
  ASSERT_TRUE(file.Open(2));
  constexpr size_t kRoom = 1 << 16;
  constexpr unsigned kBuffers = BlockWriter::kInFlight + 1;
  std::unique_ptr<char[]> buffers[kBuffers];
  for (auto& buffer : buffers) buffer = std::make_unique<char[]>(kRoom);
  std::string expected;
  {
    BlockWriter writer(file);
    for (int i = 0; i < 300; ++i) {
      char* block = buffers[i % kBuffers].get();
      const size_t count = (i * 7919u) % kRoom;  // 0 included
      for (size_t k = 0; k < count; ++k) block[k] = static_cast<char>('a' + (i + k) % 26);
      expected.append(block, count);
      ASSERT_TRUE(writer.Hand(block, count)) << "block " << i;
    }
    // The last block is still in flight: the writer's end waits for it.
  }
  ASSERT_TRUE(file.Close());
  const std::string written = folder.Read("out.bin");
  EXPECT_EQ(written.size(), expected.size());
  EXPECT_TRUE(written == expected) << "the blocks arrive whole and in order";
}

// A write that fails is told by a later Hand (within kInFlight + 1 of them) or by Wait,
// stops further blocks, and is forgotten once Wait told it.
TEST(BlockWriter, AFailedWriteIsToldOnceAndStopsTheBlocksAfterIt) {
  TestFolder folder;
  FileHandle closed{PathBuffer(folder.Program("never.bin").c_str())};
  const char text[] = "some bytes";
  BlockWriter writer(closed);
  EXPECT_TRUE(writer.Wait()) << "nothing handed over: nothing failed";
  EXPECT_TRUE(writer.Hand(text, 0)) << "an empty block writes nothing, so it cannot fail";
  // A block fails on the thread (handed, told later) or at once without a thread.
  unsigned handed = 0;
  while (handed <= BlockWriter::kInFlight + 1 && writer.Hand(text, sizeof text)) ++handed;
  EXPECT_LE(handed, BlockWriter::kInFlight) << "blocks after a failed one are refused";
  EXPECT_FALSE(writer.Wait()) << "the failed write is told";
  EXPECT_TRUE(writer.Wait()) << "and then forgotten";
  EXPECT_FALSE(writer.WriteLast(text, sizeof text)) << "a last block that cannot be written";
  EXPECT_FALSE(std::filesystem::exists(folder.Native("never.bin")));

  FileHandle file{PathBuffer(folder.Program("out.bin").c_str())};
  ASSERT_TRUE(file.Open(2));
  BlockWriter again(file);
  ASSERT_TRUE(again.Hand(text, 4));
  ASSERT_TRUE(again.Wait());
  ASSERT_TRUE(file.Close()) << "the file may be used once Wait returned";
  ASSERT_TRUE(file.Open(2));
  ASSERT_TRUE(again.Hand(text + 5, 5));
  EXPECT_TRUE(again.Wait()) << "the thread writes to the file opened again";
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(folder.Read("out.bin"), "bytes");
}

}  // namespace
