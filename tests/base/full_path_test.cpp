#include "base/full_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(MakeFullPath, ResolvesAgainstTheCurrentFolder) {
  const struct {
    const char* path;
    const char* current;
    const char* expected;  // null: false and an empty result
  } cases[] = {
      {"a.krn", "Z:\\home\\ann", "Z:\\home\\ann\\a.krn"},
      {"web/a.krn", "Z:\\home\\ann", "Z:\\home\\ann\\web\\a.krn"},
      {"./web//a.krn", "Z:\\home\\ann\\", "Z:\\home\\ann\\web\\a.krn"},
      {"../b/a.krn", "Z:\\home\\ann", "Z:\\home\\b\\a.krn"},
      {"../../../../a.krn", "Z:\\home\\ann", "Z:\\a.krn"},
      {"..", "Z:\\home", "Z:\\"},
      {"out/", "C:\\web", "C:\\web\\out"},
      {"Z:\\srv\\x\\..\\a.krn", "C:\\web", "Z:\\srv\\a.krn"},
      {"Z:/srv/./a.krn", "C:\\web", "Z:\\srv\\a.krn"},
      {"\\srv\\a.krn", "C:\\web", "C:\\srv\\a.krn"},
      {"/srv/a.krn", "C:\\web", "C:\\srv\\a.krn"},
      {"D:a.krn", "C:\\web", "D:\\a.krn"},
      {"\\\\server\\share\\x\\..\\a.krn", "C:\\web", "\\\\server\\share\\a.krn"},
      {"a.krn", "\\\\server\\share\\web", "\\\\server\\share\\web\\a.krn"},
      {"..\\..\\a.krn", "\\\\server\\share\\web", "\\\\server\\share\\a.krn"},
      {"a.krn", "web", nullptr},
      {"a.krn", nullptr, nullptr},
      {"", "C:\\web", nullptr},
      {nullptr, "C:\\web", nullptr},
  };
  for (const auto& c : cases) {
    PathBuffer out("C:\\stale");
    const bool ok = MakeFullPath(c.path, c.current, out);
    const std::string label =
        std::string(c.path ? c.path : "(null)") + " in " + (c.current ? c.current : "(null)");
    EXPECT_EQ(ok, c.expected != nullptr) << label;
    EXPECT_EQ(std::string(out.path), c.expected ? c.expected : "") << label;
  }
}

TEST(MakeFullPath, RefusesResultsLongerThanAPath) {
  const std::string current = "C:\\" + std::string(200, 'f');
  PathBuffer out;
  EXPECT_TRUE(MakeFullPath(std::string(55, 'n').c_str(), current.c_str(), out));
  EXPECT_EQ(std::strlen(out.path), 259u);
  EXPECT_FALSE(MakeFullPath(std::string(56, 'n').c_str(), current.c_str(), out));
  EXPECT_STREQ(out.path, "");
  // A long path that ".." brings back within the limit is fine.
  const std::string back = std::string(100, 'n') + "\\..\\a.krn";
  EXPECT_TRUE(MakeFullPath(back.c_str(), current.c_str(), out));
  EXPECT_EQ(std::string(out.path), current + "\\a.krn");
}

}  // namespace
