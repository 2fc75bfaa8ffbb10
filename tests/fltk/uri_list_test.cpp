#include "platform/fltk/uri_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Decode(const std::string& text) {
  return fltk_backend::DecodeUriList(text.data(), text.size());
}

TEST(UriList, SeveralFilesArePercentDecodedInOrder) {
  auto paths =
      Decode("file:///tmp/a%20b.krn\r\nfile:///tmp/%C3%BC.krn\r\nfile:///tmp/x%25y.krn\r\n");
  ASSERT_EQ(paths.size(), 3u) << "every file of a multi-file drop must arrive";
  EXPECT_EQ(paths[0], "/tmp/a b.krn");
  EXPECT_EQ(paths[1], "/tmp/\xC3\xBC.krn") << "UTF-8 bytes are decoded, not re-encoded";
  EXPECT_EQ(paths[2], "/tmp/x%y.krn") << "an encoded percent sign must not be decoded twice";
}

TEST(UriList, LineEndsHostsAndComments) {
  auto paths = Decode("# comment\nfile://localhost/home/ann/s.krn\nfile:///last.krn");
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[0], "/home/ann/s.krn") << "the localhost host is this machine";
  EXPECT_EQ(paths[1], "/last.krn") << "the last line needs no line end";
  EXPECT_EQ(Decode("FILE:///Upper.krn").at(0), "/Upper.krn") << "schemes ignore case";
  EXPECT_EQ(Decode("/plain/path.krn\n").at(0), "/plain/path.krn")
      << "FLTK may hand over plain paths";
}

TEST(UriList, ForeignOrBrokenUrisAreLeftOut) {
  EXPECT_TRUE(Decode("http://example.org/a.krn\n").empty()) << "only local files convert";
  EXPECT_TRUE(Decode("file://otherhost/a.krn\n").empty()) << "files of another host are not ours";
  EXPECT_TRUE(Decode("file:///a%2").empty()) << "a cut escape must not read past the text";
  EXPECT_TRUE(Decode("file:///a%zz.krn").empty());
  EXPECT_TRUE(Decode("file:///a%00b").empty()) << "an encoded zero byte would cut the path";
  EXPECT_TRUE(Decode("").empty());
  EXPECT_TRUE(fltk_backend::DecodeUriList(nullptr, 5).empty());
  auto mixed = Decode("http://x/y\nfile:///ok.krn\n");
  ASSERT_EQ(mixed.size(), 1u) << "a foreign entry must not drop the others";
  EXPECT_EQ(mixed[0], "/ok.krn");
}

}  // namespace
