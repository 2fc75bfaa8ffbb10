#include "program/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Join(std::vector<const char*> args) {
  args.insert(args.begin(), "krn2html");
  return JoinCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, NoArgumentsGiveTheEmptyLine) {
  EXPECT_EQ(Join({}), "") << "a start without arguments must open the window";
  const char* only[] = {"krn2html"};
  EXPECT_EQ(JoinCommandLine(1, only), "");
  EXPECT_EQ(JoinCommandLine(0, nullptr), "") << "a missing argv counts as no arguments";
}

TEST(CommandLine, AnyArgumentGivesANonEmptyLine) {
  EXPECT_EQ(Join({"scene.krn"}), "scene.krn");
  EXPECT_EQ(Join({"a", "b", "c"}), "a b c") << "arguments are joined with single spaces";
  EXPECT_EQ(Join({""}), "\"\"") << "an empty argument must still end the program at once";
  EXPECT_EQ(Join({"", ""}), "\"\" \"\"");
}

TEST(CommandLine, ArgumentsWithBlanksOrQuotesAreQuoted) {
  EXPECT_EQ(Join({"my scene.krn"}), "\"my scene.krn\"");
  EXPECT_EQ(Join({"tab\there"}), "\"tab\there\"");
  EXPECT_EQ(Join({"say \"hi\""}), "\"say \\\"hi\\\"\"") << "inner quotes are escaped";
  EXPECT_EQ(Join({"dir with space\\"}), "\"dir with space\\\\\"")
      << "a trailing backslash is doubled so it does not escape the closing quote";
  EXPECT_EQ(Join({"a\\\"b"}), "\"a\\\\\\\"b\"") << "backslashes before a quote are doubled";
  EXPECT_EQ(Join({"C:\\dir\\file"}), "C:\\dir\\file") << "plain backslashes stay as they are";
}

}  // namespace
