#include "xml/xml_markup_scanner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Feeds the pieces in turn and writes after each whether the text ends inside a construct:
// "i" inside, "o" outside.
std::string InsideAfterEach(const std::vector<std::string>& pieces) {
  XmlMarkupScanner scanner;
  std::string out;
  for (const std::string& piece : pieces) {
    scanner.Feed(piece.data(), static_cast<uint32_t>(piece.size()));
    out += scanner.Inside() ? 'i' : 'o';
  }
  return out;
}

TEST(XmlMarkupScanner, TellsWhereWhiteSpaceWouldBreakTheText) {
  struct Case {
    std::vector<std::string> pieces;
    const char* expected;
    const char* what;
  };
  const Case cases[] = {
      {{"text ", "&am", "p;", " more"}, "oioo", "a reference ends at ';'"},
      {{"<!-- a -", "-", ">", "x"}, "iioo", "a comment ends at \"-->\", not at \"--\""},
      {{"<!---->"}, "o", "the shortest comment"},
      {{"<", "!", "-", "-", "x-->"}, "iiiio", "the start of a comment cut anywhere"},
      {{"<?pi a > b ?", ">"}, "io", "a processing instruction ends at \"?>\""},
      {{"<?xml version='1.0'", "?>"}, "io", "the XML declaration"},
      {{"<![CDATA[ a ]]", " ]]>", ">"}, "ioo", "a CDATA section ends at \"]]>\""},
      {{"<!DOCTYPE r [", "<!ENTITY e '>]'>", "<!-- ] -->", "]", ">"},
       "iiiio",
       "a document type declaration: literals and comments in the subset do not end it"},
      {{"<!DOCTYPE r SYSTEM \"a>b\"", ">"}, "io", "a system literal with '>'"},
      {{"<!ELEMENT x ANY", ">"}, "io", "other markup ends at '>'"},
      {{"a ]]> b", " c "}, "oo", "plain text is outside"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InsideAfterEach(c.pieces), c.expected) << c.what;
  }

  XmlMarkupScanner scanner;
  scanner.Feed("<!-- open", 9);
  ASSERT_TRUE(scanner.Inside());
  scanner.Reset();
  EXPECT_FALSE(scanner.Inside()) << "a tag starts again outside";
}

}  // namespace
