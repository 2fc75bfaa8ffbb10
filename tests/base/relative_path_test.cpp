#include "base/relative_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Relative(const char* base, const char* target) {
  StringBuffer b, t, out;
  EXPECT_TRUE(b.SetText(base, -1, 0));
  EXPECT_TRUE(t.SetText(target, -1, 0));
  MakeRelativePath(b, t, out);
  return out.Data() != nullptr ? out.Data() : "<null>";
}

TEST(MakeRelativePath, PageAndSceneOnOneDrive) {
  const struct {
    const char* base;
    const char* target;
    const char* expected;
  } cases[] = {
      {"C:\\web\\out\\page.html", "C:\\web\\scenes\\a.krn", "../scenes/a.krn"},
      {"C:\\web\\out\\page.html", "C:\\web\\out\\a.krn", "a.krn"},
      {"C:\\web\\scenes2\\a.html", "C:\\web\\scenes\\s.krn", "../scenes/s.krn"},
      {"C:\\web\\x.html", "C:\\web\\x\\s.krn", "x/s.krn"},
      {"C:\\web\\a.html", "C:\\web\\data\\s.krn", "data/s.krn"},
      {"C:\\web\\", "C:\\web\\scenes\\a.krn", "./scenes/a.krn"},
      {"C:\\web\\", "C:\\web\\a.krn", "a.krn"},
      {"C:\\a\\b\\page.html", "C:\\a\\c\\d\\x.krn", "../c/d/x.krn"},
      {"C:\\a\\page.html", "C:\\a\\x.krn", "x.krn"},
      {"C:\\webX\\page.html", "C:\\web\\a.krn", "../web/a.krn"},
      {"Z:\\home\\ann\\web\\page.html", "Z:\\home\\ann\\krn\\a.krn", "../krn/a.krn"},
      {"C:\\a\\b\\c\\page.html", "C:\\a\\x.krn", "../../x.krn"},
      {"C:/a/b/page.html", "C:/a/c/x.krn", "../c/x.krn"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Relative(c.base, c.target), c.expected)
        << "base " << c.base << ", target " << c.target;
  }
}

TEST(MakeRelativePath, OtherDrivesKeepTheTarget) {
  EXPECT_EQ(Relative("C:\\web\\out\\page.html", "D:\\x\\a.krn"), "D:\\x\\a.krn");
  EXPECT_EQ(Relative("C:\\web\\page.html", "a\\x.krn"), "a\\x.krn")
      << "a target without a drive comes back unchanged, backslashes included";
  EXPECT_EQ(Relative("c:\\a\\page.html", "C:\\a\\x.krn"), "C:\\a\\x.krn")
      << "the comparison is exact: c: and C: differ";
  EXPECT_EQ(Relative("", "C:\\a\\x.krn"), "C:\\a\\x.krn") << "an empty base";
}

TEST(MakeRelativePath, OnlyTheDrivesColonIsASeparator) {
  // Linux folders may hold ':' in their names; the drive's colon is the second character only.
  const struct {
    const char* base;
    const char* target;
    const char* expected;
  } cases[] = {
      {"Z:\\x\\a:bd\\p.html", "Z:\\x\\a:bc\\s.krn", "../a:bc/s.krn"},
      {"Z:\\x\\p.html", "Z:\\x\\a:b\\s.krn", "a:b/s.krn"},
      {"Z:\\x\\a:b\\p.html", "Z:\\x\\a:b\\s.krn", "s.krn"},
      {"Z:\\x\\a:b\\c\\p.html", "Z:\\x\\s.krn", "../../s.krn"},
      {"Z:\\a:\\p.html", "Z:\\a:b\\s.krn", "../a:b/s.krn"},
      {"Z:\\x\\p:q.html", "Z:\\x\\p:r\\s:t.krn", "p:r/s:t.krn"},
      {"Z:\\x\\", "Z:\\x\\a:b\\s.krn", "./a:b/s.krn"},
      // Without a drive no colon makes the paths related.
      {"x\\a:b\\p.html", "x\\a:b\\s.krn", "x\\a:b\\s.krn"},
      {"Z:x\\p.html", "Z:x\\s.krn", "s.krn"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Relative(c.base, c.target), c.expected)
        << "base " << c.base << ", target " << c.target;
  }
}

TEST(MakeRelativePath, TooLongTargetGivesTheMessage) {
  const std::string longest = "C:\\" + std::string(1029, 'd') + "\\x";  // 1034 characters
  const std::string tooLong = longest + "y";                            // 1035 characters
  EXPECT_EQ(Relative("C:\\page.html", tooLong.c_str()), "ERROR: The path is too long!");
  const std::string result = Relative("C:\\page.html", longest.c_str());
  EXPECT_EQ(result, longest.substr(3).replace(1029, 1, "/"))
      << "1034 characters are still related, without any cut";
}

TEST(MakeRelativePath, OutMayBeAnInputOrAView) {
  StringBuffer base, target;
  ASSERT_TRUE(base.SetText("C:\\web\\out\\page.html", -1, 0));
  ASSERT_TRUE(target.SetText("C:\\web\\scenes\\a.krn", -1, 0));
  MakeRelativePath(base, target, target);
  EXPECT_STREQ(target.Data(), "../scenes/a.krn") << "the target itself may receive the result";

  StringBuffer view;
  view.AttachReadOnly("fixed");
  MakeRelativePath(base, base, view);
  EXPECT_STREQ(view.Data(), "fixed") << "a view that cannot reserve stays as it was";

  StringBuffer out;
  MakeRelativePath(base, base, out);
  EXPECT_STREQ(out.Data(), "page.html") << "a file relative to itself";
  EXPECT_GE(out.Capacity(), 2049u) << "out is reserved for 2048 characters";
}

}  // namespace
