#include "core/template_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Fields {
  StringList names;
  StringList values;
  int longest = 0;
};

std::string At(const StringList& list, int i) {
  const char* text = list.items[i].Data();
  return text != nullptr ? text : "";
}

std::vector<std::pair<std::string, std::string>> Scan(const char* text, int* longest = nullptr) {
  Fields f;
  ScanFieldText(text, f.names, f.values, f.longest);
  EXPECT_EQ(f.names.count, f.values.count) << "names and values must stay parallel";
  std::vector<std::pair<std::string, std::string>> out;
  for (int i = 0; i < f.names.count; ++i) out.emplace_back(At(f.names, i), At(f.values, i));
  if (longest != nullptr) *longest = f.longest;
  return out;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

std::string Replaced(const char* text, const char* key, const char* value) {
  StringBuffer page;
  page.SetText(text, -1, 0);
  ReplaceAllPlaceholders(page, key, value);
  return page.Data() != nullptr ? page.Data() : "";
}

TEST(ScanFieldText, NamesDefaultsAndOverrides) {
  int longest = -1;
  EXPECT_EQ(Scan("<h1>((KWB))TITLE::Untitled((KWB))</h1> ((KWB))TITLE((KWB))", &longest),
            (Pairs{{"TITLE", "Untitled"}}))
      << "a repeated field without :: keeps the earlier default";
  EXPECT_EQ(longest, 5);
  EXPECT_EQ(Scan("((KWB))TITLE::Untitled((KWB))((KWB))TITLE((KWB))((KWB))TITLE::Other((KWB))"),
            (Pairs{{"TITLE", "Other"}}))
      << "a later default overrides an earlier one";
  EXPECT_EQ(Scan("((KWB))TITLE((KWB)) and ((KWB))SUBTITLE::x y((KWB))", &longest),
            (Pairs{{"TITLE", ""}, {"SUBTITLE", "x y"}}))
      << "fields keep the order of first appearance";
  EXPECT_EQ(longest, 8) << "the longest name decides maxNameLength";
}

TEST(ScanFieldText, ManyNamesAndNamesAlreadyListed) {
  // Names that share a prefix, a length or a hash bucket must never be taken for each other.
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "((KWB))N" + std::to_string(i) + "::a((KWB))";
  for (int i = 2999; i >= 0; i -= 7) text += "((KWB))N" + std::to_string(i) + "::b((KWB))";
  text += "((KWB))OLD::new((KWB))((KWB))N1((KWB))";
  Fields f;
  f.names.Append("OLD");
  f.values.Append("old");
  ScanFieldText(text.c_str(), f.names, f.values, f.longest);
  ASSERT_EQ(f.names.count, 3001) << "each name once, the one listed before included";
  ASSERT_EQ(f.values.count, 3001);
  EXPECT_EQ(At(f.names, 0), "OLD");
  EXPECT_EQ(At(f.values, 0), "new") << "a name listed before the scan is found and overridden";
  for (int i = 0; i < 3000; ++i) {
    ASSERT_EQ(At(f.names, i + 1), "N" + std::to_string(i)) << "order of first appearance";
    ASSERT_EQ(At(f.values, i + 1), (2999 - i) % 7 == 0 ? "b" : "a") << "value of N" << i;
  }
  EXPECT_EQ(f.longest, 5);
}

TEST(ScanFieldText, ReservedNamesAndCase) {
  EXPECT_EQ(Scan("((KWB))FILENAME((KWB))((KWB))BUILD::1((KWB))((KWB))FORMSDATA((KWB))"), Pairs{})
      << "the computed keys never become fields";
  EXPECT_EQ(Scan("((KWB))filename((KWB))"), (Pairs{{"filename", ""}}))
      << "names are case-sensitive: filename is an ordinary field";
}

TEST(ScanFieldText, ColonCornerCases) {
  EXPECT_EQ(Scan("((KWB))A::((KWB))"), (Pairs{{"A::", ""}}))
      << ":: directly before the closing delimiter is part of the name";
  EXPECT_EQ(Scan("((KWB))A::b::c((KWB))"), (Pairs{{"A", "b::c"}}))
      << "only the first :: splits name and default";
  EXPECT_EQ(Scan("((KWB))A:::((KWB))"), (Pairs{{"A", ":"}})) << "a default of one colon";
  EXPECT_EQ(Scan("((KWB))A((KWB)) x::y ((KWB))B((KWB))"), (Pairs{{"A", ""}, {"B", ""}}))
      << ":: outside a field does not count";
}

TEST(ScanFieldText, MissingDelimitersAndEmptyNames) {
  EXPECT_EQ(Scan("((KWB))A((KWB)) ((KWB))B::x"), (Pairs{{"A", ""}}))
      << "a field without closing delimiter ends the scan, earlier fields stay";
  EXPECT_EQ(Scan("no fields at all"), Pairs{});
  EXPECT_EQ(Scan(""), Pairs{});
  EXPECT_EQ(Scan(nullptr), Pairs{});
  EXPECT_EQ(Scan("((KWB))((KWB)) ((KWB))::d((KWB)) ((KWB))C((KWB))"), (Pairs{{"C", ""}}))
      << "the empty name never becomes a field";
}

TEST(ScanFieldText, LongNamesAndDefaultsAreKeptWhole) {
  const std::string name(3000, 'N');
  const std::string value(5000, 'v');
  const std::string text = "((KWB))" + name + "::" + value + "((KWB))";
  int longest = 0;
  EXPECT_EQ(Scan(text.c_str(), &longest), (Pairs{{name, value}}))
      << "names and defaults are not cut at any fixed size";
  EXPECT_EQ(longest, 3000);
}

TEST(ReplacePlaceholder, ReplacesOneSpanAndGrowsTheText) {
  StringBuffer page;
  page.SetText("<p>((KWB))T::def((KWB))</p>", -1, 0);
  const std::string big(10000, 'x');
  unsigned from = 0;
  ASSERT_TRUE(ReplacePlaceholder(page, "T", big.c_str(), from));
  EXPECT_EQ(std::string(page.Data()), "<p>" + big + "</p>")
      << "the span with its default is replaced and the text grows by any amount";
  EXPECT_EQ(from, 3u + big.size()) << "the next search starts after the inserted value";
  EXPECT_FALSE(ReplacePlaceholder(page, "T", "y", from)) << "no further placeholder of T";

  page.SetText("a((KWB))T((KWB))b", -1, 0);
  from = 0;
  EXPECT_TRUE(ReplacePlaceholder(page, "T", nullptr, from));
  EXPECT_STREQ(page.Data(), "ab") << "an absent value removes the placeholder";
}

TEST(ReplacePlaceholder, ReplacedWhereTheKeyIsTheWholeName) {
  struct Case {
    const char* text;
    const char* key;
    const char* expected;
    const char* why;
  } cases[] = {
      {"((KWB))BUILD((KWB)) ((KWB))BUILD((KWB)) ((KWB))BUILD((KWB))", "BUILD", "1.2 1.2 1.2",
       "three BUILD placeholders are replaced by repeated calls"},
      {"v((KWB))BUILD::none((KWB))", "BUILD", "v1.2", "a placeholder with a default goes whole"},
      {"BUILD here ((KWB))BUILD((KWB))", "BUILD", "BUILD here 1.2",
       "the key's letters outside a placeholder are skipped over"},
      {"<title>((KWB))title((KWB))</title>", "title", "<title>1.2</title>",
       "a tag of the same name comes first"},
      {"((KWB))FILENAME((KWB)) ((KWB))NAME((KWB))", "NAME", "((KWB))FILENAME((KWB)) 1.2",
       "NAME inside a FILENAME placeholder is not a placeholder of NAME"},
      {"((KWB))NAMES((KWB)) ((KWB))NAME::x((KWB)) ((KWB))NAMES::y((KWB))", "NAME",
       "((KWB))NAMES((KWB)) 1.2 ((KWB))NAMES::y((KWB))", "NAME leaves the placeholders of NAMES"},
      {"((KWB))A((KWB))NAME((KWB))", "NAME", "((KWB))A((KWB))NAME((KWB))",
       "a closing delimiter does not open a placeholder"},
      {"((KWB))NAME::((KWB))", "NAME", "((KWB))NAME::((KWB))",
       "\"::\" right before the closing delimiter belongs to the name"},
      {"ILD((KWB))BUILD", "BUILD", "ILD((KWB))BUILD", "a placeholder without its closing stays"},
      {"BUILD", "BUILD", "BUILD", "no delimiter at all"},
      {"plain page", "T", "plain page", "no placeholder"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Replaced(c.text, c.key, "1.2"), c.expected) << c.why;
  }
  EXPECT_EQ(Replaced("v((KWB))BUILD::none((KWB))", "BUILD", "9"), "v9");
}

TEST(ReplacePlaceholder, ValuesContainingTheirOwnKeyDoNotLoop) {
  EXPECT_EQ(Replaced("((KWB))T((KWB))|((KWB))T((KWB))", "T", "((KWB))T((KWB))"),
            "((KWB))T((KWB))|((KWB))T((KWB))")
      << "a value holding its own placeholder is inserted once per placeholder";
  EXPECT_EQ(Replaced("((KWB))T((KWB))|((KWB))T((KWB))", "T", "Tea"), "Tea|Tea")
      << "a value holding the key's letters does not stop the later placeholders";
  EXPECT_EQ(Replaced("((KWB))T((KWB))T((KWB))", "T", "((KWB))"), "((KWB))T((KWB))")
      << "a value ending in the delimiter does not open a new placeholder";
}

TEST(ReplacePlaceholder, OnePassAgreesWithRepeatedCalls) {
  const char* cases[] = {
      "((KWB))K((KWB))",        "a((KWB))K::d((KWB))b((KWB))K((KWB))c",
      "K ((KWB))K((KWB))",      "((KWB))K((KWB))K((KWB))K((KWB))",
      "((KWB))KK((KWB))",       "x((KWB))K",
      "<K>((KWB))K((KWB))</K>", "((KWB))KS((KWB))((KWB))K::d((KWB))",
  };
  for (const char* text : cases) {
    for (const char* value : {"", "v", "K", "((KWB))K((KWB))", "((KWB))"}) {
      StringBuffer repeated;
      repeated.SetText(text, -1, 0);
      unsigned from = 0;
      int calls = 0;
      while (ReplacePlaceholder(repeated, "K", value, from)) ++calls;
      StringBuffer onePass;
      onePass.SetText(text, -1, 0);
      EXPECT_EQ(ReplaceAllPlaceholders(onePass, "K", value), calls) << text << " / " << value;
      EXPECT_STREQ(onePass.Data(), repeated.Data()) << text << " / " << value;
    }
  }
}

}  // namespace
