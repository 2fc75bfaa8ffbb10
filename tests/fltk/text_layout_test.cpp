#include "platform/fltk/text_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using fltk_backend::CountFittingCharacters;
using fltk_backend::LayoutTextLines;
using fltk_backend::TextLine;

// Every character is 10 pixels wide.
int Fixed(const char*, int length) {
  return length * 10;
}

std::vector<std::string> Lines(const char* text, int maxWidth, bool wordBreak, bool singleLine) {
  std::vector<std::string> result;
  for (const TextLine& line :
       LayoutTextLines(text, int(std::strlen(text)), maxWidth, wordBreak, singleLine, Fixed)) {
    EXPECT_EQ(line.width, line.length * 10) << "each line carries its own width";
    result.emplace_back(text + line.start, size_t(line.length));
  }
  return result;
}

using V = std::vector<std::string>;

TEST(TextLayout, WordBreakFillsLinesGreedily) {
  EXPECT_EQ(Lines("one two three", 70, true, false), (V{"one two", "three"}))
      << "'one two' is 70 px and fits exactly";
  EXPECT_EQ(Lines("one two three", 60, true, false), (V{"one", "two", "three"}));
  EXPECT_EQ(Lines("one   two", 30, true, false), (V{"one", "two"}))
      << "the blanks at a break are dropped";
  EXPECT_EQ(Lines("extraordinary x", 50, true, false), (V{"extraordinary", "x"}))
      << "a word wider than the line stays whole";
  EXPECT_EQ(Lines("a b", 1000, true, false), (V{"a b"}));
}

TEST(TextLayout, LineEndsAndSingleLine) {
  EXPECT_EQ(Lines("a\r\nb\nc\rd", 1000, false, false), (V{"a", "b", "c", "d"}))
      << "CR LF, LF and CR each end one line";
  EXPECT_EQ(Lines("a\n\nb", 1000, false, false), (V{"a", "", "b"})) << "an empty line stays";
  EXPECT_EQ(Lines("a\r\n", 1000, false, false), (V{"a"})) << "a final line end adds nothing";
  EXPECT_EQ(Lines("a b\nc", 10, true, true), (V{"a b\nc"}))
      << "a single line ignores both the width and the line ends";
  EXPECT_EQ(Lines("long line here", 20, false, false), (V{"long line here"}))
      << "without word breaks a line is never broken at blanks";
  EXPECT_TRUE(Lines("", 100, true, false).empty());
  EXPECT_TRUE(LayoutTextLines(nullptr, 4, 100, true, false, Fixed).empty());
}

TEST(TextLayout, FittingCharacters) {
  EXPECT_EQ(CountFittingCharacters("abcdef", 6, 35, Fixed), 3) << "3 characters are 30 px";
  EXPECT_EQ(CountFittingCharacters("abcdef", 6, 60, Fixed), 6);
  EXPECT_EQ(CountFittingCharacters("abcdef", 6, 1000, Fixed), 6) << "never more than the text";
  EXPECT_EQ(CountFittingCharacters("abcdef", 6, 9, Fixed), 0);
  EXPECT_EQ(CountFittingCharacters("abcdef", 0, 100, Fixed), 0);
  // Proportional widths: 'w' is wide.
  auto proportional = [](const char* t, int n) {
    int w = 0;
    for (int i = 0; i < n; ++i) w += t[i] == 'w' ? 20 : 5;
    return w;
  };
  EXPECT_EQ(CountFittingCharacters("iiww", 4, 30, proportional), 3);
  EXPECT_EQ(CountFittingCharacters("iiww", 4, 29, proportional), 2);
}

}  // namespace
