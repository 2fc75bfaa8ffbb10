#include "core/page_conversion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app_test_support.h"
#include "core/button_block.h"
#include "headless_support.h"
#include "platform/headless/headless_desktop.h"

namespace {

using apptest::ProgramView;
using apptest::ReadText;
using apptest::WriteText;

// Collects the parse errors the core hands over instead of showing the box.
struct ParseErrors {
  std::vector<std::pair<std::string, int>> told;
  static void Tell(void* context, const char* message, int32_t line) {
    static_cast<ParseErrors*>(context)->told.emplace_back(message, line);
  }
};

// The names in a folder.
std::set<std::string> Entries(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.AddTemplate(
        "t.html", "<h1>((KWB))T::x((KWB))</h1>((KWB))FILENAME((KWB))|((KWB))FORMSDATA((KWB))");
    names_.Append("T");
    values_.Append("Title");
    request_.templatePath = templatePath_.c_str();
    request_.fieldNames = &names_;
    request_.fieldValues = &values_;
  }
  void TearDown() override { ButtonBlock()->Reset(); }

  apptest::HeadlessToolkit toolkit_;
  apptest::ProgramFolder program_;
  std::string templatePath_ = ProgramView(program_.templates() / "t.html");
  StringList names_;
  StringList values_;
  ConversionRequest request_;
};

TEST_F(CoreTest, ConvertsWithoutAnyDialog) {
  WriteText(program_.path() / "s" / "a.krn", "<S><KRSTimeElem Name=\"Go\" On=\"0\"/></S>");
  const std::string scene = ProgramView(program_.path() / "s" / "a.krn");
  const std::string page = ProgramView(program_.path() / "a.html");
  request_.scenePath = scene.c_str();
  request_.pagePath = page.c_str();
  ConversionFailure failure;
  ASSERT_TRUE(ConvertToPage(request_, failure));
  EXPECT_FALSE(failure.Failed());
  EXPECT_EQ(ReadText(program_.path() / "a.html"),
            "<h1>Title</h1>s/a.krn|<input\tname=\"Go\"\ttype=button\tvalue=\"Go\"\t"
            "onclick=\"triggeranimation('Go')\">\r\n");
  EXPECT_EQ(headless::FileDialogs().size(), 0u) << "the core asks for nothing";
  EXPECT_EQ(toolkit_.MessageBoxCount(), 0);
}

TEST_F(CoreTest, ACancelledReadWritesNoPageAndLeavesTheOldOne) {
  std::string text = "<S>\n";
  while (text.size() < 3u * 1024 * 1024) text += "<KRSTimeElem Name=\"Go\" On=\"0\"/>\n";
  text += "</S>\n";
  WriteText(program_.path() / "big.krn", text);
  WriteText(program_.path() / "big.html", "the old page");
  const std::string scene = ProgramView(program_.path() / "big.krn");
  const std::string page = ProgramView(program_.path() / "big.html");
  request_.scenePath = scene.c_str();
  request_.pagePath = page.c_str();
  static int blocks = 0;
  blocks = 0;
  request_.whileReading = [](void* context, uint64_t) {
    ++*static_cast<int*>(context);
    return false;
  };
  request_.whileReadingContext = &blocks;
  const std::set<std::string> before = Entries(program_.path());
  ConversionFailure failure;
  EXPECT_FALSE(ConvertToPage(request_, failure));
  EXPECT_EQ(blocks, 1) << "the read stops at the first block's answer";
  EXPECT_EQ(failure.kind, ConversionFailureKind::kCancelled);
  EXPECT_EQ(ReadText(program_.path() / "big.html"), "the old page");
  EXPECT_EQ(ButtonBlock()->Length(), 0u) << "no partial block is left";
  EXPECT_EQ(Entries(program_.path()), before) << "no file is added, none removed";
}

TEST_F(CoreTest, AStoppedWriteIsACancelAndAWatchedOneGivesTheSamePage) {
  std::string text = "<S>\n";
  for (int i = 0; i < 30000; ++i) {
    text += "<KRSTimeElem Name=\"A" + std::to_string(i) + "\" On=\"0\"/>\n";
  }
  text += "</S>\n";
  WriteText(program_.path() / "many.krn", text);
  const std::string scene = ProgramView(program_.path() / "many.krn");
  request_.scenePath = scene.c_str();
  ConversionFailure failure;
  ASSERT_TRUE(CollectSceneButtons(request_, failure));
  ASSERT_GT(ButtonBlock()->Length(), 2 * kWholeFileBlock) << "a page of several blocks";

  const std::string plainPage = ProgramView(program_.path() / "plain.html");
  request_.pagePath = plainPage.c_str();
  ASSERT_TRUE(AssemblePage(request_, failure));

  // Stops at the call given (-1: never) and counts the calls.
  struct Watch {
    int stopAt = -1;
    int calls = 0;
    static bool Tell(void* context, uint64_t, uint64_t) {
      Watch* watch = static_cast<Watch*>(context);
      return watch->calls++ != watch->stopAt;
    }
  };
  const int stops[] = {-1, 0, 2};
  for (int stopAt : stops) {
    SCOPED_TRACE("stop at call " + std::to_string(stopAt));
    WriteText(program_.path() / "many.html", "the old page");
    const std::set<std::string> before = Entries(program_.path());
    const std::string page = ProgramView(program_.path() / "many.html");
    Watch watch;
    watch.stopAt = stopAt;
    request_.pagePath = page.c_str();
    request_.whileWriting = &Watch::Tell;
    request_.whileWritingContext = &watch;
    const bool written = AssemblePage(request_, failure);
    EXPECT_EQ(Entries(program_.path()), before) << "no temporary file stays behind";
    if (stopAt < 0) {
      ASSERT_TRUE(written);
      EXPECT_GE(watch.calls, 4);
      EXPECT_TRUE(ReadText(program_.path() / "many.html") ==
                  ReadText(program_.path() / "plain.html"))
          << "a watched write gives the same bytes";
    } else {
      EXPECT_FALSE(written);
      EXPECT_EQ(watch.calls, stopAt + 1);
      EXPECT_EQ(failure.kind, ConversionFailureKind::kCancelled);
      EXPECT_STREQ(failure.path.Data(), (program_.path() / "many.krn").string().c_str())
          << "the cancel names the scene";
      EXPECT_EQ(ReadText(program_.path() / "many.html"), "the old page");
    }
  }
}

TEST_F(CoreTest, ParseErrorsGoWhereTheCallerSays) {
  const std::vector<std::pair<std::string, std::string>> scenes = {
      {"<S>\n<a></S>", "mismatched tag"},
      {"", "no element found"},
      {std::string("<S>\0</S>", 8), "not well-formed (invalid token)"},
  };
  const std::vector<int> lines = {2, 1, 1};  // a NUL is refused where it stands
  const std::string page = ProgramView(program_.path() / "p.html");
  request_.pagePath = page.c_str();
  for (size_t i = 0; i < scenes.size(); ++i) {
    WriteText(program_.path() / "bad.krn", scenes[i].first);
    const std::string scene = ProgramView(program_.path() / "bad.krn");
    request_.scenePath = scene.c_str();

    ParseErrors errors;
    request_.parseErrorHandler = &ParseErrors::Tell;
    request_.parseErrorContext = &errors;
    ConversionFailure failure;
    EXPECT_TRUE(ConvertToPage(request_, failure)) << i << ": the page is still made";
    ASSERT_EQ(errors.told.size(), 1u) << i;
    EXPECT_EQ(errors.told[0].first, scenes[i].second) << i;
    EXPECT_EQ(errors.told[0].second, lines[i]) << i;
    const int boxes = toolkit_.MessageBoxCount();
    EXPECT_EQ(boxes, int(i)) << i << ": no box when a handler is given";

    request_.parseErrorHandler = nullptr;
    request_.parseErrorContext = nullptr;
    EXPECT_TRUE(ConvertToPage(request_, failure)) << i;
    ASSERT_EQ(toolkit_.MessageBoxCount(), boxes + 1) << i << ": without a handler, the box";
    EXPECT_EQ(toolkit_.MessageBoxTitle(boxes), "XML Error");
    EXPECT_EQ(toolkit_.MessageBoxText(boxes),
              "Parse Error: " + scenes[i].second + " at line " + std::to_string(lines[i]));
    EXPECT_EQ(ReadText(program_.path() / "p.html"), "<h1>Title</h1>bad.krn|") << i;
  }
}

TEST_F(CoreTest, TooLongPathsAreFailures) {
  const std::string longName = ProgramView(program_.path() / std::string(300, 'a')) + ".krn";
  const std::string page = ProgramView(program_.path() / "p.html");
  const std::string scene = ProgramView(program_.path() / "a.krn");
  struct Case {
    const char* scene;
    const char* page;
  } cases[] = {{longName.c_str(), page.c_str()}, {scene.c_str(), longName.c_str()}};
  for (const Case& c : cases) {
    request_.scenePath = c.scene;
    request_.pagePath = c.page;
    ConversionFailure failure;
    EXPECT_FALSE(ConvertToPage(request_, failure));
    EXPECT_EQ(failure.kind, ConversionFailureKind::kPathTooLong);
    StringBuffer text;
    ASSERT_TRUE(failure.FormatMessage(text));
    EXPECT_EQ(
        std::string(text.Data()),
        "The path is too long: " + (program_.path() / std::string(300, 'a')).string() + ".krn")
        << "the path as the user knows it";
  }
  EXPECT_FALSE(std::filesystem::exists(program_.path() / "p.html"));
}

}  // namespace
