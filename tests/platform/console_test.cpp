#include "platform/console.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace {

// Points one standard stream at a pipe for the life of the object.
class RedirectedStream {
 public:
  explicit RedirectedStream(int stream) : stream_(stream) {
    EXPECT_EQ(pipe(ends_), 0);
    saved_ = dup(stream);
    dup2(stream == kStandardInput ? ends_[0] : ends_[1], stream);
  }
  ~RedirectedStream() {
    dup2(saved_, stream_);
    close(saved_);
    close(ends_[0]);
    close(ends_[1]);
  }
  RedirectedStream(const RedirectedStream&) = delete;
  RedirectedStream& operator=(const RedirectedStream&) = delete;

  // What was written to the stream so far.
  std::string Drain() {
    close(ends_[1]);
    ends_[1] = dup(saved_);  // closed again by the destructor
    dup2(saved_, stream_);
    std::string all;
    char chunk[4096];
    for (ssize_t got; (got = read(ends_[0], chunk, sizeof chunk)) > 0;)
      all.append(chunk, size_t(got));
    return all;
  }
  // Writes text for the program to read, then ends the input.
  void Feed(const std::string& text) {
    EXPECT_EQ(write(ends_[1], text.data(), text.size()), ssize_t(text.size()));
    close(ends_[1]);
    ends_[1] = dup(saved_);
  }

 private:
  int stream_;
  int ends_[2] = {-1, -1};
  int saved_ = -1;
};

TEST(Console, StandardStreamsPassBytesUnchanged) {
  const std::string bytes("line\r\nnext\n\0zero", 16);
  for (int stream : {kStandardOutput, kStandardError}) {
    RedirectedStream redirected(stream);
    EXPECT_FALSE(SysIsTerminal(stream)) << "a pipe is no terminal";
    EXPECT_TRUE(SysWriteStandard(stream, bytes.data(), uint32_t(bytes.size())));
    EXPECT_TRUE(SysWriteStandard(stream, nullptr, 0));
    EXPECT_EQ(redirected.Drain(), bytes) << "stream " << stream;
  }
  EXPECT_FALSE(SysWriteStandard(kStandardInput, "x", 1)) << "standard input is not written";
  EXPECT_FALSE(SysWriteStandard(7, "x", 1));
  EXPECT_FALSE(SysIsTerminal(7));
}

TEST(Console, StandardInputIsReadToItsEnd) {
  RedirectedStream redirected(kStandardInput);
  EXPECT_FALSE(SysIsTerminal(kStandardInput));
  const std::string bytes("<Scene>\r\n</Scene>\0", 18);
  redirected.Feed(bytes);
  std::string got;
  char chunk[5];
  uint32_t done = 1;
  while (done != 0) {
    ASSERT_TRUE(SysReadStandardInput(chunk, sizeof chunk, &done));
    got.append(chunk, done);
  }
  EXPECT_EQ(got, bytes);
  EXPECT_FALSE(SysReadStandardInput(chunk, sizeof chunk, nullptr));
}

}  // namespace
