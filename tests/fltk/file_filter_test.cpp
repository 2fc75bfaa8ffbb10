#include "platform/fltk/file_filter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using fltk_backend::NativeChooserFilter;
using fltk_backend::TranslateFilterList;
using fltk_backend::TranslatePatternList;

TEST(FileFilter, PatternListsBecomeOneChooserPattern) {
  EXPECT_EQ(TranslatePatternList(" *.krn; *.krq;"), "*.{krn,krq}")
      << "two extensions, a leading space and a trailing ';' must join into braces";
  EXPECT_EQ(TranslatePatternList(" *.html"), "*.html");
  EXPECT_EQ(TranslatePatternList(" *.*"), "*") << "Windows' *.* also matches names without a dot";
  EXPECT_EQ(TranslatePatternList("*.txt;*.*"), "*") << "any catch-all pattern wins";
  EXPECT_EQ(TranslatePatternList(""), "*");
  EXPECT_EQ(TranslatePatternList(" ; ;"), "*") << "a list of blanks has no pattern";
  EXPECT_EQ(TranslatePatternList("a?.txt; *.krn"), "a?.txt")
      << "patterns that braces cannot join keep the first";
}

TEST(FileFilter, FilterListsKeepDescriptionsAndOrder) {
  static const char kScene[] =
      "KRN/KRQ File (*.krn; *.krq)\0 *.krn; *.krq;\0All Files (*.*)\0 *.*\0";
  std::string first;
  EXPECT_EQ(TranslateFilterList(kScene, &first), "KRN/KRQ File (*.{krn,krq})\tAll Files (*)")
      << "each pair must become one tab-separated entry with its pattern in parentheses";
  EXPECT_EQ(first, "*.{krn,krq}") << "the first entry's pattern is the one shown first";

  static const char kPage[] = "HTML Files (*.html)\0 *.html\0All Files (*.*)\0 *.*\0";
  EXPECT_EQ(TranslateFilterList(kPage, nullptr), "HTML Files (*.html)\tAll Files (*)");

  static const char kPlain[] = "Scenes\0*.krn\0";
  EXPECT_EQ(TranslateFilterList(kPlain, &first), "Scenes (*.krn)")
      << "a description without parentheses gets the pattern appended";
  static const char kTab[] = "A\tB\0*.a\0";
  EXPECT_EQ(TranslateFilterList(kTab, nullptr), "A B (*.a)") << "a tab would split the entry";
}

TEST(FileFilter, MissingOrBrokenListsShowEverything) {
  std::string first = "stale";
  EXPECT_EQ(TranslateFilterList(nullptr, &first), "*");
  EXPECT_EQ(first, "") << "no list, no first pattern";
  EXPECT_EQ(TranslateFilterList("", &first), "*");
  static const char kNoPattern[] = "Lonely\0";
  EXPECT_EQ(TranslateFilterList(kNoPattern, &first), "Lonely (*)")
      << "a description without its pattern text shows every file";
}

}  // namespace

namespace {

TEST(FileFilter, ParsedEntriesKeepTheDescriptionsAsGiven) {
  static const char kScene[] =
      "KRN/KRQ File (*.krn; *.krq)\0 *.krn; *.krq;\0All Files (*.*)\0 *.*\0";
  auto entries = fltk_backend::ParseFilterList(kScene);
  ASSERT_EQ(entries.size(), 2u) << "two pairs, two entries";
  EXPECT_EQ(entries[0].description, "KRN/KRQ File (*.krn; *.krq)")
      << "the dialog shows the description the program gave";
  EXPECT_EQ(entries[0].pattern, "*.{krn,krq}");
  EXPECT_EQ(entries[1].description, "All Files (*.*)");
  EXPECT_EQ(entries[1].pattern, "*");
  EXPECT_TRUE(fltk_backend::ParseFilterList(nullptr).empty());
  EXPECT_TRUE(fltk_backend::ParseFilterList("").empty());
}

TEST(FileFilter, NativeChooserFiltersAreOneLinePerEntry) {
  const struct {
    const char* list;
    std::string want;
    const char* why;
  } cases[] = {
      {"KRN/KRQ File (*.krn; *.krq)\0 *.krn; *.krq;\0All Files (*.*)\0 *.*\0",
       "KRN/KRQ File \t*.{krn,krq}\nAll Files \t*\n",
       "each pair becomes a line of description, tab and translated pattern; the chooser adds "
       "the pattern in parentheses and reads it from the first parenthesis"},
      {"HTML Files (*.html)\0 *.html\0All Files (*.*)\0 *.*\0",
       "HTML Files \t*.html\nAll Files \t*\n", "the page filter keeps its order"},
      {"Odd\tname\nhere)\0*.txt\0", "Odd name here \t*.txt\n",
       "a tab, line break or parenthesis in a description would break the chooser's parsing"},
      {"", "", "an empty list is no filter"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NativeChooserFilter(c.list), c.want) << c.why;
  }
  EXPECT_EQ(NativeChooserFilter(nullptr), "") << "a null list is no filter";
}

}  // namespace
