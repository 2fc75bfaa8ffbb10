#include "base/int_text.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(IntOfText, ReadsAsThe32BitAtolAndHoldsTheRangeEnds) {
  const struct {
    const char* text;
    int32_t expected;
  } cases[] = {
      // Plain numbers and the ends of the range themselves.
      {"0", 0},
      {"7", 7},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"-0", 0},
      // Beyond the range: held at the nearest end, never cut to 32 bits.
      {"2147483648", 2147483647},
      {"4294967295", 2147483647},
      {"4294967296", 2147483647},
      {"99999999999999999999", 2147483647},
      {"-2147483649", INT32_MIN},
      {"-4294967296", INT32_MIN},
      {"-99999999999999999999", INT32_MIN},
      {"+4294967296", 2147483647},
      {"00000000000000000000012", 12},
      // Leading white space, signs.
      {"  42", 42},
      {"\t\n\v\f\r 5", 5},
      {"+8", 8},
      {"-13", -13},
      {" -4294967297", INT32_MIN},
      // Digits followed by text stop at the first other character.
      {"12abc", 12},
      {"3 4", 3},
      {"-0x10", 0},
      {"4294967296px", 2147483647},
      {"1.9", 1},
      // No digits.
      {"", 0},
      {"yes", 0},
      {"-", 0},
      {"+-1", 0},
      {"- 1", 0},
      {"\xA0"
       "1",
       0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IntOfText(c.text), c.expected) << "text \"" << c.text << "\"";
  }
}

}  // namespace
