#include "base/string_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Text(const StringBuffer& b) {
  return b.Data() != nullptr ? b.Data() : "<null>";
}

TEST(StringBuffer, NewBufferIsEmptyAndNeverAllocates) {
  StringBuffer b;
  EXPECT_EQ(b.Length(), 0u);
  EXPECT_EQ(b.Data(), nullptr);
  EXPECT_EQ(b.Capacity(), 0u);
  EXPECT_TRUE(b.SetText(nullptr, -1, 0)) << "assigning null to an empty buffer must succeed";
  EXPECT_EQ(b.Data(), nullptr) << "assigning null must not allocate";
  EXPECT_TRUE(b.Equals(nullptr));
  EXPECT_FALSE(b.Equals("")) << "a buffer without storage differs from the empty text";
  EXPECT_EQ(b.FindChar('a', 0), -1);
}

TEST(StringBuffer, GrowthDoublesFromTheExactFirstSize) {
  StringBuffer b;
  ASSERT_TRUE(b.SetText("abc", -1, b.Length()));
  EXPECT_EQ(b.Capacity(), 4u) << "three characters need exactly four bytes at first";
  ASSERT_TRUE(b.SetText("d", -1, b.Length()));
  EXPECT_EQ(b.Capacity(), 9u) << "the next growth doubles the capacity, plus the NUL";
  EXPECT_EQ(Text(b), "abcd") << "growing must keep the text";

  StringBuffer r;
  ASSERT_TRUE(r.Reserve(5, false));
  EXPECT_EQ(r.Capacity(), 6u);
  EXPECT_EQ(r.Length(), 0u) << "a fresh reservation holds the empty text";
  ASSERT_TRUE(r.Reserve(6, true));
  EXPECT_EQ(r.Capacity(), 13u);
  ASSERT_TRUE(r.SetText("kept", -1, 0));
  const char* before = r.Data();
  EXPECT_TRUE(r.Reserve(3, false));
  EXPECT_EQ(r.Data(), before) << "a reservation that fits changes nothing";
  EXPECT_EQ(Text(r), "kept") << "a reservation that fits keeps the text even without keep";
  EXPECT_FALSE(r.IsExternal());
  EXPECT_FALSE(r.IsReadOnly());

  // Storage that becomes large (placed apart for large pages) keeps the text as it moves, and
  // grows on from there.
  StringBuffer big;
  std::string expected;
  for (int i = 0; big.Capacity() < (6u << 20); ++i) {
    const std::string piece = "line " + std::to_string(i) + "\n";
    ASSERT_TRUE(big.SetText(piece.c_str(), -1, static_cast<unsigned>(expected.size())));
    expected += piece;
  }
  EXPECT_EQ(Text(big), expected) << "growing past the large size lost text";
  const unsigned length = big.Length();
  ASSERT_TRUE(big.Reserve(length + (8u << 20), true));
  EXPECT_EQ(Text(big), expected) << "a kept reservation of large storage lost text";
  ASSERT_TRUE(big.Reserve(big.Capacity() + 10, false));
  EXPECT_EQ(big.Length(), 0u) << "a fresh large reservation holds the empty text";
}

TEST(StringBuffer, SetTextCountsPositionsAndAppends) {
  StringBuffer b;
  ASSERT_TRUE(b.SetText("hello", 3, 0));
  EXPECT_EQ(Text(b), "hel");
  ASSERT_TRUE(b.SetText("hello", 40, 0));
  EXPECT_EQ(Text(b), "hello") << "a count beyond the text stops at its end";
  EXPECT_EQ(b.Length(), 5u);
  ASSERT_TRUE(b.SetText(" world", -1, b.Length()));
  EXPECT_EQ(Text(b), "hello world");
  ASSERT_TRUE(b.SetText("p", -1, 3));
  EXPECT_EQ(Text(b), "help") << "the text is cut at pos before the new part";
  ASSERT_TRUE(b.SetText(nullptr, -1, 0));
  EXPECT_EQ(Text(b), "") << "null at 0 empties the buffer";
  EXPECT_NE(b.Data(), nullptr) << "emptying keeps the storage";
  EXPECT_FALSE(b.SetText("x", -1, 1000)) << "a position behind the storage must be refused";

  StringBuffer e;
  ASSERT_TRUE(e.SetText("", -1, 0));
  EXPECT_NE(e.Data(), nullptr) << "the empty text is stored, unlike null";
  EXPECT_TRUE(e.Equals(""));
  EXPECT_FALSE(e.Equals(nullptr));
}

TEST(StringBuffer, OwnTextAsSourceIsSafe) {
  StringBuffer b;
  ASSERT_TRUE(b.SetText("abc", -1, 0));
  const char* data = b.Data();
  EXPECT_TRUE(b.SetText(b.Data(), -1, 0));
  EXPECT_EQ(b.Data(), data) << "assigning its own text must not reallocate";
  EXPECT_EQ(Text(b), "abc");

  ASSERT_TRUE(b.SetFrom(b, b.Length()));
  EXPECT_EQ(Text(b), "abcabc") << "appending itself doubles the text";
  ASSERT_TRUE(b.SetFrom(b, b.Length()));
  EXPECT_EQ(Text(b), "abcabcabcabc");

  ASSERT_TRUE(b.SetText(b.Data() + 9, -1, b.Length())) << "appending its own tail";
  EXPECT_EQ(Text(b), "abcabcabcabcabc");
  ASSERT_TRUE(b.SetText(b.Data() + 3, 3, 0)) << "assigning a middle part of itself";
  EXPECT_EQ(Text(b), "abc");
  ASSERT_TRUE(b.SetText(b.Data(), 2, 0));
  EXPECT_EQ(Text(b), "ab") << "its own text with a smaller count is cut, not ignored";
  ASSERT_TRUE(b.SetFrom(b, 0));
  EXPECT_EQ(Text(b), "ab");
}

TEST(StringBuffer, FillAndSetFrom) {
  StringBuffer b;
  ASSERT_TRUE(b.Fill('\t', 3, 0));
  EXPECT_EQ(Text(b), "\t\t\t");
  ASSERT_TRUE(b.Fill('<', 1, b.Length()));
  EXPECT_EQ(Text(b), "\t\t\t<");
  EXPECT_TRUE(b.Fill('x', 0, 0)) << "zero copies change nothing";
  EXPECT_EQ(Text(b), "\t\t\t<");

  StringBuffer other, empty;
  ASSERT_TRUE(other.SetText("tail", -1, 0));
  ASSERT_TRUE(b.SetFrom(other, 1));
  EXPECT_EQ(Text(b), "\ttail");
  ASSERT_TRUE(b.SetFrom(empty, 2));
  EXPECT_EQ(Text(b), "\tt") << "an empty other cuts the text at pos";
}

TEST(StringBuffer, EraseBuildsTheResultApart) {
  StringBuffer b;
  ASSERT_TRUE(b.SetText("./a/b", -1, 0));
  ASSERT_TRUE(b.Erase(0, 2));
  EXPECT_EQ(Text(b), "a/b");

  ASSERT_TRUE(b.SetText("abc", -1, 0));
  EXPECT_FALSE(b.Erase(5, 1)) << "erasing behind the end fails";
  EXPECT_FALSE(b.Erase(3, 1)) << "erasing at the end fails";
  EXPECT_EQ(Text(b), "abc");
  ASSERT_TRUE(b.Erase(1, 100));
  EXPECT_EQ(Text(b), "a") << "the count is clipped to the end";

  ASSERT_TRUE(b.SetText("abcdef", -1, 0));
  ASSERT_TRUE(b.Erase(1, 2));
  EXPECT_EQ(Text(b), "adef");
  ASSERT_TRUE(b.Erase(0, 1));
  EXPECT_EQ(Text(b), "def");

  StringBuffer none;
  EXPECT_FALSE(none.Erase(0, 1)) << "an empty buffer has nothing to erase";
}

TEST(StringBuffer, ReadOnlyViewRefusesEveryChange) {
  static const char kError[] = "ErrorStr";
  StringBuffer view;
  view.AttachReadOnly(kError);
  EXPECT_TRUE(view.IsReadOnly());
  EXPECT_TRUE(view.IsExternal());
  EXPECT_EQ(view.Length(), 8u);
  EXPECT_EQ(view.Data(), kError) << "a view refers to the caller's text";
  EXPECT_EQ(view.MutableData(), nullptr);
  EXPECT_FALSE(view.SetText("x", -1, 0));
  EXPECT_FALSE(view.Fill('x', 2, 0));
  EXPECT_FALSE(view.Erase(0, 1));
  EXPECT_FALSE(view.Format("%d", 1));
  EXPECT_FALSE(view.TrimFractionZeros());
  EXPECT_FALSE(view.Reserve(100, true)) << "a view cannot grow";
  EXPECT_STREQ(view.Data(), "ErrorStr") << "failed changes leave the view as it was";

  StringBuffer copy;
  ASSERT_TRUE(copy.SetFrom(view, 0));
  EXPECT_EQ(Text(copy), "ErrorStr");
  EXPECT_NE(copy.Data(), kError) << "copying a view copies the text";
  EXPECT_FALSE(copy.Swap(view)) << "a view cannot be exchanged with an owned buffer";
  EXPECT_FALSE(view.Swap(copy));

  // A string literal lives in read-only memory: writing to it would crash.
  StringBuffer literal;
  literal.AttachReadOnly("C:\\web\\a.krn");
  literal.ToForwardSlashes();
  EXPECT_STREQ(literal.Data(), "C:\\web\\a.krn");

  view.Reset();  // must not free the caller's text
  EXPECT_EQ(view.Data(), nullptr);
  EXPECT_FALSE(view.IsReadOnly());
  EXPECT_TRUE(view.SetText("own", -1, 0)) << "after Reset the buffer owns storage again";

  StringBuffer nothing;
  nothing.AttachReadOnly(nullptr);
  EXPECT_EQ(nothing.Data(), nullptr);
  EXPECT_FALSE(nothing.IsReadOnly());
}

TEST(StringBuffer, SwapExchangesOwnedStorage) {
  StringBuffer a, b;
  ASSERT_TRUE(a.SetText("first", -1, 0));
  ASSERT_TRUE(b.SetText("second", -1, 0));
  const char* da = a.Data();
  ASSERT_TRUE(a.Swap(b));
  EXPECT_EQ(Text(a), "second");
  EXPECT_EQ(Text(b), "first");
  EXPECT_EQ(b.Data(), da) << "owned buffers exchange their storage without copying";

  StringBuffer v1, v2;
  v1.AttachReadOnly("one");
  v2.AttachReadOnly("two");
  EXPECT_TRUE(v1.Swap(v2)) << "two views may be exchanged";
  EXPECT_STREQ(v1.Data(), "two");
}

TEST(StringBuffer, MoveTransfersOwnership) {
  StringBuffer a;
  ASSERT_TRUE(a.SetText("moved", -1, 0));
  StringBuffer b(std::move(a));
  EXPECT_EQ(a.Data(), nullptr);
  EXPECT_EQ(Text(b), "moved");
  StringBuffer c;
  ASSERT_TRUE(c.SetText("old", -1, 0));
  c = std::move(b);
  EXPECT_EQ(Text(c), "moved");
  EXPECT_EQ(b.Data(), nullptr);
}

TEST(StringBuffer, FormatIsBoundedTo1023Characters) {
  StringBuffer b;
  ASSERT_TRUE(b.Format("%d", 42));
  EXPECT_EQ(Text(b), "42");
  EXPECT_GE(b.Capacity(), 1025u) << "Format reserves 1024 characters";
  ASSERT_TRUE(b.Format("Parse Error: %s at line %d", "mismatched tag", 7));
  EXPECT_EQ(Text(b), "Parse Error: mismatched tag at line 7");

  const std::string longest(1023, 'x');
  ASSERT_TRUE(b.Format("%s", longest.c_str())) << "1023 characters still fit";
  EXPECT_EQ(b.Length(), 1023u);

  const std::string tooLong(1024, 'y');
  EXPECT_FALSE(b.Format("%s", tooLong.c_str())) << "1024 characters must fail";
  EXPECT_LT(b.Length(), b.Capacity()) << "a failed Format leaves a terminated text in the storage";

  const std::string huge(5000, 'z');
  EXPECT_FALSE(b.Format("%s", huge.c_str()));
  EXPECT_LT(b.Length(), b.Capacity());
  EXPECT_FALSE(b.Format(nullptr));
}

TEST(StringBuffer, TrimFractionZeros) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"1.50000", "1.5"},
      {"2.00000", "2"},
      {"-0.25000", "-0.25"},
      {"10", "10"},
      {"end.", "end"},
      {"0.00000", "0"},
      {"x=1.50000 y=2.00000", "x=1.5 y=2"},
      {"100.10000", "100.1"},
      {"", ""},
      {"1.05", "1.05"},
      {"3.0 4.20", "3 4.2"},
  };
  for (const auto& c : cases) {
    StringBuffer b;
    ASSERT_TRUE(b.SetText(c.in, -1, 0));
    EXPECT_TRUE(b.TrimFractionZeros()) << c.in;
    EXPECT_EQ(Text(b), c.out) << "trimming " << c.in;
  }
  StringBuffer formatted;
  ASSERT_TRUE(formatted.Format("%.5f", 12.5));
  ASSERT_TRUE(formatted.TrimFractionZeros());
  EXPECT_EQ(Text(formatted), "12.5");
}

TEST(StringBuffer, FindSlashesAndEquality) {
  StringBuffer b;
  ASSERT_TRUE(b.SetText("a\\b\\c", -1, 0));
  EXPECT_EQ(b.FindChar('\\', 0), 1);
  EXPECT_EQ(b.FindChar('\\', 2), 3);
  EXPECT_EQ(b.FindChar('\\', 4), -1);
  EXPECT_EQ(b.FindChar('a', 5), -1) << "from at the end finds nothing";
  EXPECT_EQ(b.FindChar('a', 99), -1);
  b.ToForwardSlashes();
  EXPECT_EQ(Text(b), "a/b/c");

  EXPECT_TRUE(b.Equals("a/b/c"));
  EXPECT_FALSE(b.Equals("A/B/C")) << "comparison is case-sensitive";
  EXPECT_FALSE(b.Equals(nullptr));
  EXPECT_TRUE(b.NotEquals(nullptr)) << "a buffer with storage is not equal to null";
  StringBuffer none;
  EXPECT_FALSE(none.NotEquals(nullptr));
  EXPECT_TRUE(none.NotEquals(""));
}

TEST(StringBuffer, LongTextsAreHandledWhole) {
  StringBuffer b;
  std::string expected;
  for (int i = 0; i < 5000; ++i) {
    ASSERT_TRUE(b.Fill(char('a' + i % 26), 1, b.Length()));
    expected += char('a' + i % 26);
  }
  EXPECT_EQ(Text(b), expected);
  EXPECT_LE(b.Capacity(), 2u * 5000 + 2) << "capacity stays within doubling of the need";
}

}  // namespace
