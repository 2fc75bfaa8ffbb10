#include "core/animation_buttons.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <filesystem>
#include <string>

#include "app_test_support.h"
#include "core/button_block.h"
#include "core/conversion_failure.h"
#include "headless_support.h"
#include "ui/toolkit_runtime.h"

namespace {

using apptest::ProgramView;
using apptest::TempFolder;
using apptest::WriteText;

const std::string kSpin =
    "<input\tname=\"Spin\"\ttype=button\tvalue=\"Spin\"\tonclick=\"triggeranimation('Spin')\">\r\n";
const std::string kStartSpin =
    "<input\tname=\"Spin\"\ttype=button\tvalue=\"Start Spin\"\tonclick=\"startanimation('Spin')\">"
    "\r\n";
const std::string kStopSpin =
    "<input\tname=\"Spin\"\ttype=button\tvalue=\"Stop Spin\"\tonclick=\"stopanimation('Spin')\">"
    "\r\n";

std::string Trigger(const std::string& name) {
  return "<input\tname=\"" + name + "\"\ttype=button\tvalue=\"" + name +
         "\"\tonclick=\"triggeranimation('" + name + "')\">\r\n";
}

std::string Block() {
  return ButtonBlock()->Data() != nullptr ? ButtonBlock()->Data() : "";
}

// Writes a scene file into the folder and collects its buttons into a block
// that starts out holding "old".
class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override { ButtonBlock()->SetText("old", -1, 0); }
  void TearDown() override { ButtonBlock()->Reset(); }

  bool Collect(const std::string& fileName, const std::string& xml) {
    WriteText(folder_ / fileName, xml);
    PathBuffer path(ProgramView(folder_ / fileName).c_str());
    return CollectAnimationButtons(path);
  }
  std::string CollectBody(const std::string& body) {
    EXPECT_TRUE(Collect("scene.krn", "<?xml version=\"1.0\"?>\n<Scene>" + body + "</Scene>"));
    return Block();
  }

  TempFolder folder_;
  apptest::HeadlessToolkit toolkit_;
};

TEST_F(SceneTest, LineFormatsByteForByte) {
  EXPECT_EQ(CollectBody("<KRSTimeElem Name=\"Spin\" On=\"0\"/>"), kSpin)
      << "On 0 without Clamp gives one trigger line";
  EXPECT_EQ(CollectBody("<KRSTimeElem Name=\"Spin\" On=\"0\" Clamp=\"0\"/>"),
            kStartSpin + kStopSpin)
      << "Clamp 0 gives a start and a stop line";
  EXPECT_EQ(CollectBody("<KRSTimeElem Name=\"Spin\" On=\"0\" Clamp=\"-3\"/>"),
            kStartSpin + kStopSpin)
      << "a negative Clamp gives start and stop";
  EXPECT_EQ(CollectBody("<KRSTimeElem Name=\"Spin\" On=\"0\" Clamp=\"1\"/>"), kSpin);
  EXPECT_EQ(CollectBody("<KRSTimeElem Name=\"Spin\" On=\"0\" Clamp=\"5\"/>"), kSpin);
  EXPECT_EQ(CollectBody("<KRSTimeElem Name=\"Spin\" On=\"0\" Clamp=\"\"/>"), kSpin)
      << "an empty Clamp counts as absent";
}

TEST_F(SceneTest, WhichElementsAreListed) {
  EXPECT_EQ(CollectBody("<KRSTimeElem Name=\"A\" On=\"1\"/>"
                        "<KRSTimeElem Name=\"B\" On=\"yes\"/>"
                        "<KRSTimeElem Name=\"C\"/>"
                        "<KRSTimeElem Name=\"D\" On=\"\"/>"
                        "<KRSTimeElem On=\"0\"/>"
                        "<KRSTimeElem Name=\"\" On=\"0\"/>"
                        "<krstimeelem Name=\"E\" On=\"0\"/>"
                        "<KRSTimeElem Name=\"F\" On=\" -0x\"/>"),
            Trigger("B") + Trigger("F"))
      << "On must read as 0 (the word yes does), Name and On must be non-empty, the element "
         "name is case-sensitive";
}

TEST_F(SceneTest, NumbersBeyond32BitsAreHeldAtTheRangeEnds) {
  // On and Clamp read as the 32-bit atol reads them: a value beyond the range is its nearest
  // end, so no large number wraps round to 0 or below 1.
  const struct {
    const char* on;
    const char* clamp;  // null: no Clamp attribute
    std::string expected;
  } cases[] = {
      {"4294967296", nullptr, ""},
      {"-4294967296", nullptr, ""},
      {"99999999999999999999", nullptr, ""},
      {" 0", nullptr, kSpin},
      {"-0", nullptr, kSpin},
      {"0", "2147483648", kSpin},
      {"0", "4294967295", kSpin},
      {"0", "4294967296", kSpin},
      {"0", "99999999999999999999", kSpin},
      {"0", " +4294967296abc", kSpin},
      {"0", "2147483647", kSpin},
      {"0", "-2147483649", kStartSpin + kStopSpin},
      {"0", "-99999999999999999999", kStartSpin + kStopSpin},
      {"0", "\t-1", kStartSpin + kStopSpin},
      {"0", "0x7", kStartSpin + kStopSpin},
  };
  for (const auto& c : cases) {
    std::string element = "<KRSTimeElem Name=\"Spin\" On=\"" + std::string(c.on) + "\"";
    if (c.clamp != nullptr) element += " Clamp=\"" + std::string(c.clamp) + "\"";
    element += "/>";
    EXPECT_EQ(CollectBody(element), c.expected) << element;
  }
}

TEST_F(SceneTest, EmptyLineBeforeEveryFourthAnimation) {
  std::string body;
  std::string expected;
  for (int i = 1; i <= 9; ++i) {
    const std::string name = "N" + std::to_string(i);
    if (i == 4 || i == 8) expected += "\r\n";
    if (i == 2) {
      body += "<KRSTimeElem Name=\"" + name + "\" On=\"0\" Clamp=\"0\"/>";
      expected +=
          "<input\tname=\"N2\"\ttype=button\tvalue=\"Start "
          "N2\"\tonclick=\"startanimation('N2')\">\r\n"
          "<input\tname=\"N2\"\ttype=button\tvalue=\"Stop "
          "N2\"\tonclick=\"stopanimation('N2')\">\r\n";
    } else {
      body += "<KRSTimeElem Name=\"" + name + "\" On=\"0\"/>";
      expected += Trigger(name);
    }
    body += "<Other/>";
  }
  EXPECT_EQ(CollectBody(body), expected)
      << "the empty line comes before the 4th and 8th animation, a start/stop pair counts once";
}

TEST_F(SceneTest, WalkOrderAndLastChildMatches) {
  EXPECT_EQ(CollectBody("<Group><KRSTimeElem Name=\"A\" On=\"0\">"
                        "<KRSTimeElem Name=\"Inner\" On=\"0\"/></KRSTimeElem></Group>"
                        "<Deep><X><KRSTimeElem Name=\"B\" On=\"0\"/></X></Deep>"
                        "<KRSTimeElem Name=\"C\" On=\"0\"/>"),
            Trigger("A") + Trigger("B") + Trigger("C"))
      << "children of a listed animation are skipped; a listed last child does not end the walk";
}

TEST_F(SceneTest, NamesAreEscaped) {
  EXPECT_EQ(
      CollectBody("<KRSTimeElem Name=\"O'Neil &amp; &quot;Co&quot; &lt;b&gt; \\x\" On=\"0\"/>"),
      "<input\tname=\"O&#39;Neil &amp; &quot;Co&quot; &lt;b&gt; \\x\"\ttype=button\t"
      "value=\"O&#39;Neil &amp; &quot;Co&quot; &lt;b&gt; \\x\"\tonclick=\"triggeranimation("
      "'O\\&#39;Neil &amp; &quot;Co&quot; &lt;b&gt; \\\\x')\">\r\n")
      << "HTML escaping in name and value; script escaping then HTML escaping in onclick";
  EXPECT_EQ(CollectBody("<KRSTimeElem Name=\"two&#10;lines&#13;\" On=\"0\"/>"),
            "<input\tname=\"two\nlines&#13;\"\ttype=button\tvalue=\"two\nlines&#13;\"\t"
            "onclick=\"triggeranimation('two\\nlines\\r')\">\r\n")
      << "a line break would end the script string: \\n or \\r there; a kept CR is a reference";
  // Tabs and the two line separators would end the script string too: script escapes there;
  // name= and value= keep them.
  EXPECT_EQ(CollectBody("<KRSTimeElem Name=\"A&#10;B&#13;&#9;C&#x2028;&#x2029;D\" On=\"0\"/>"),
            "<input\tname=\"A\nB&#13;\tC\xE2\x80\xA8\xE2\x80\xA9"
            "D\"\ttype=button\t"
            "value=\"A\nB&#13;\tC\xE2\x80\xA8\xE2\x80\xA9"
            "D\"\tonclick=\""
            "triggeranimation('A\\nB\\r\\tC\\u2028\\u2029D')\">\r\n")
      << "line breaks, tabs and U+2028/U+2029 are escaped inside the script string";
  // Other control characters cannot come from XML 1.0, but a name from elsewhere gets \u00XX.
  StringBuffer line;
  ASSERT_TRUE(AppendStartStopLines(line, "a\x01\x1F"));
  EXPECT_EQ(std::string(line.Data()),
            "<input\tname=\"a\x01\x1F\"\ttype=button\tvalue=\"Start a\x01\x1F\"\t"
            "onclick=\"startanimation('a\\u0001\\u001F')\">\r\n"
            "<input\tname=\"a\x01\x1F\"\ttype=button\tvalue=\"Stop a\x01\x1F\"\t"
            "onclick=\"stopanimation('a\\u0001\\u001F')\">\r\n");
  const std::string longName(5000, 'n');
  EXPECT_EQ(CollectBody("<KRSTimeElem Name=\"" + longName + "\" On=\"0\"/>"), Trigger(longName))
      << "a line longer than 4095 characters is kept whole";
}

// The block is measured while the tree is built; its storage is taken at that length and a
// scene is refused when it reaches the limit. So the measure must equal the block written,
// whatever the tree keeps, and stop the building exactly at the limit.
TEST_F(SceneTest, TheBlockMeasuredWhileParsingIsTheBlockWritten) {
  std::string nine;
  for (int i = 1; i <= 9; ++i) {
    nine += "<KRSTimeElem Name=\"N" + std::to_string(i) + "\" On=\"0\" Clamp=\"" +
            std::to_string(i % 3 - 1) + "\"/><Other/>";
  }
  const std::string bodies[] = {
      nine,
      "<KRSTimeElem Name=\"A\" On=\"0\"><KRSTimeElem Name=\"In\" On=\"0\"><KRSTimeElem "
      "Name=\"Deeper\" On=\"0\"/></KRSTimeElem><G><KRSTimeElem Name=\"In2\" On=\"0\"/></G>"
      "</KRSTimeElem><KRSTimeElem Name=\"Off\" On=\"1\"><KRSTimeElem Name=\"B\" On=\"0\"/>"
      "</KRSTimeElem><KRSTimeElem Name=\"C\" On=\"0\"/>",
      "<KRSTimeElem Name=\"O'N &amp; &lt;\\&#10;&#13;&#9;&#x2028;x&#xE9;\" On=\"0\" Clamp=\"0\"/>",
      "<KRSTimeElem Name=\"F\" On=\" -0x\"/><KRSTimeElem Name=\"G\" On=\"4294967296\" "
      "Clamp=\"yes\"/><KRSTimeElem Name=\"\" On=\"0\"/><KRSTimeElem On=\"0\"/>"
      "<krstimeelem Name=\"H\" On=\"0\"/>",
      "<Nothing/>",
  };
  for (const std::string& body : bodies) {
    const std::string text = "<Scene>" + body + "</Scene>";
    const auto length = static_cast<int32_t>(text.size());
    ASSERT_TRUE(CollectAnimationButtonsFromText(text.data(), static_cast<uint32_t>(length), "s.krn",
                                                nullptr, nullptr));
    const uint64_t written = ButtonBlock()->Length();
    for (const char* kept : {"KRSTimeElem", static_cast<const char*>(nullptr)}) {
      const auto measured = [&](uint64_t limit, uint64_t* got) {
        XmlTree tree;
        ButtonBlockMeasure measure(limit);
        tree.KeepAttributesOnlyOf(kept);
        tree.SetElementWatch(&measure);
        const XmlParseOutcome outcome = tree.ParseText(text.data(), length, "s.krn", 1);
        *got = measure.Length();
        return outcome;
      };
      const std::string what = body + (kept != nullptr ? " (animations keep attributes)" : "");
      uint64_t got = 0;
      EXPECT_EQ(measured(StringBuffer::kMaxCapacity, &got), XmlParseOutcome::Parsed) << what;
      EXPECT_EQ(got, written) << what;
      if (written == 0) continue;
      EXPECT_EQ(measured(written, &got), XmlParseOutcome::Stopped) << "at the limit: " << what;
      EXPECT_EQ(measured(written + 1, &got), XmlParseOutcome::Parsed) << "below it: " << what;
    }
  }
}

TEST_F(SceneTest, FileKindsByPathText) {
  EXPECT_TRUE(Collect("scene.krq", "<KRSTimeElem Name=\"A\" On=\"0\"/>"));
  EXPECT_EQ(Block(), "old") << "a .krq file is not read";
  EXPECT_TRUE(Collect("scene.XML", "<KRSTimeElem Name=\"A\" On=\"0\"/>"));
  EXPECT_EQ(Block(), Trigger("A")) << ".XML is read";
  EXPECT_TRUE(Collect("scene.KRN.bak", "<KRSTimeElem Name=\"B\" On=\"0\"/>"));
  EXPECT_EQ(Block(), Trigger("B")) << "the test is a substring test on the whole path";

  PathBuffer missing(ProgramView(folder_ / "none.krn").c_str());
  ButtonBlock()->SetText("old", -1, 0);
  EXPECT_FALSE(CollectAnimationButtons(missing));
  EXPECT_EQ(Block(), "old") << "a missing file leaves the block unchanged";
}

TEST_F(SceneTest, ParseErrorShowsOneBoxAndAddsNothing) {
  std::filesystem::create_directories(folder_ / "my.xml.files");
  EXPECT_TRUE(Collect("my.xml.files/scene.krq", "KRQ\x01\x02 binary"))
      << "a parse error still reports true";
  EXPECT_EQ(Block(), "old") << "no buttons after a parse error";
  ASSERT_EQ(toolkit_.MessageBoxCount(), 1) << "the parse error shows exactly one box";
  EXPECT_EQ(toolkit_.MessageBoxTitle(0), "XML Error");
  EXPECT_EQ(toolkit_.MessageBoxText(0).rfind("Parse Error: ", 0), 0u) << toolkit_.MessageBoxText(0);
}

// An allocator for the toolkit that refuses once `allocationsLeft` runs out.
int allocationsLeft = -1;
void* CountedAlloc(uint32_t bytes, bool zeroFill) {
  if (allocationsLeft == 0) return nullptr;
  if (allocationsLeft > 0) --allocationsLeft;
  return zeroFill ? calloc(1, bytes) : malloc(bytes);
}
void CountedFree(void* block) {
  free(block);
}
void* CountedRealloc(void* block, uint32_t bytes, bool) {
  return allocationsLeft == 0 ? nullptr : realloc(block, bytes);
}
uint32_t CountedSize(void* block) {
  return static_cast<uint32_t>(malloc_usable_size(block));
}

// A scene of 2 GiB or more used to be read with a negative length: no parse and no word.
// Now it is read like any other; here the bytes after the first lines are a hole of zero
// bytes, which the parser must report at line 3.
TEST_F(SceneTest, SceneOfTwoGibibytesIsReadAndItsErrorTold) {
  const std::filesystem::path scene = folder_ / "huge.krn";
  WriteText(scene, "<Scene>\n<KRSTimeElem Name=\"A\" On=\"0\"/>\n");
  std::error_code error;
  std::filesystem::resize_file(scene, (uintmax_t{1} << 31) + 16, error);
  if (error) GTEST_SKIP() << "no 2 GiB file here: " << error.message();
  struct Told {
    int count = 0;
    std::string message;
    int32_t line = 0;
  } told;
  const XmlTree::ParseErrorHandler handler = [](void* context, const char* message, int32_t line) {
    Told* t = static_cast<Told*>(context);
    ++t->count;
    t->message = message != nullptr ? message : "";
    t->line = line;
  };
  const ButtonsOutcome outcome =
      CollectButtons(PathBuffer(ProgramView(scene).c_str()), handler, &told);
  std::filesystem::remove(scene, error);
  EXPECT_EQ(static_cast<int>(outcome), static_cast<int>(ButtonsOutcome::NotParsed));
  EXPECT_EQ(told.count, 1) << "the parse error of a 2 GiB scene is told once";
  EXPECT_EQ(told.line, 3) << told.message;
  EXPECT_EQ(Block(), "old") << "no buttons from a scene that does not parse";
}

TEST(SceneOutcomes, EachEndOfTheStepIsToldAndTheBlockNeverPartial) {
  ToolkitOptions options{};
  options.memoryHooks = {CountedAlloc, CountedFree, CountedRealloc, CountedSize, true};
  ASSERT_TRUE(ToolkitStart(nullptr, false, &options));
  {
    TempFolder folder;
    std::string many = "<Scene>\n";
    for (int i = 0; i < 20000; ++i)
      many += "<KRSTimeElem Name=\"a" + std::to_string(i) + "\" On=\"0\"/>\n";
    many += "</Scene>\n";
    std::string full;
    for (int i = 0; i < 20000; ++i) {
      if ((i + 1) % 4 == 0) full += "\r\n";
      full += Trigger("a" + std::to_string(i));
    }
    WriteText(folder / "many.krn", many);
    WriteText(folder / "one.krn", "<KRSTimeElem Name=\"A\" On=\"0\"/>");
    WriteText(folder / "bad.krn", "<a><b></a>");
    WriteText(folder / "skip.krq", "<a/>");
    const struct {
      const char* file;
      int allocations;  // toolkit allocations allowed, -1 for any number
      ButtonsOutcome outcome;
      const char* block;  // null: the full block of many.krn
    } cases[] = {
        {"one.krn", -1, ButtonsOutcome::Listed,
         "<input\tname=\"A\"\ttype=button\tvalue=\"A\"\t"
         "onclick=\"triggeranimation('A')\">\r\n"},
        {"many.krn", -1, ButtonsOutcome::Listed, nullptr},
        {"many.krn", 0, ButtonsOutcome::OutOfMemory, ""},
        {"many.krn", 3, ButtonsOutcome::OutOfMemory, ""},
        {"bad.krn", -1, ButtonsOutcome::NotParsed, "old"},
        {"skip.krq", -1, ButtonsOutcome::NotScanned, "old"},
        {"none.krn", -1, ButtonsOutcome::Unreadable, "old"},
    };
    for (const auto& c : cases) {
      ButtonBlock()->SetText("old", -1, 0);
      allocationsLeft = c.allocations;
      const ButtonsOutcome outcome =
          CollectButtons(PathBuffer(ProgramView(folder / c.file).c_str()));
      allocationsLeft = -1;
      EXPECT_EQ(static_cast<int>(outcome), static_cast<int>(c.outcome))
          << c.file << " with " << c.allocations << " allocations";
      if (c.block != nullptr) {
        EXPECT_EQ(Block(), c.block) << c.file << " with " << c.allocations << " allocations";
      } else {
        EXPECT_TRUE(Block() == full) << "every button of " << c.file;
      }
    }
  }
  {
    // The failure the front end tells, and no page: the block is empty.
    TempFolder folder;
    std::string many = "<Scene>\n";
    for (int i = 0; i < 20000; ++i) many += "<KRSTimeElem Name=\"a\" On=\"0\"/>\n";
    WriteText(folder / "many.krn", many + "</Scene>\n");
    ConversionFailure failure;
    allocationsLeft = 3;
    EXPECT_FALSE(CollectAnimationButtons(PathBuffer(ProgramView(folder / "many.krn").c_str()),
                                         nullptr, nullptr, &failure));
    allocationsLeft = -1;
    StringBuffer message;
    ASSERT_TRUE(failure.FormatMessage(message));
    EXPECT_EQ(std::string(message.Data()),
              "Not enough memory to read " + (folder / "many.krn").string());
    EXPECT_EQ(Block(), "");
  }
  ButtonBlock()->Reset();
  ToolkitStop();
}

}  // namespace
