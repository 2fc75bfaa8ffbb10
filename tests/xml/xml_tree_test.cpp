// Building trees from XML text with XmlTree.
#include <gtest/gtest.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "base/file_handle.h"
#include "base/path_buffer.h"
#include "platform/native_path.h"
#include "ui/toolkit_runtime.h"

#include "tests/xml/message_log.h"
#include "tests/xml/xml_test_util.h"
#include "xml/xml_tree.h"
#include "xml/xml_writer.h"

using xmltest::Children;
using xmltest::Name;
using xmltest::Str;

namespace {

bool ParseText(XmlTree& tree, const std::string& text, const char* name = "scene.krn",
               int32_t mode = 0) {
  return tree.Parse(text.data(), static_cast<int32_t>(text.size()), name, mode);
}

// The concatenated names of a node's Text children.
std::string TextOf(XmlNode* node) {
  std::string out;
  for (XmlNode* c = node->GetFirstChild(); c != nullptr; c = c->GetNextSibling()) {
    if (c->GetKind() == XmlNodeKind::Text) out += Name(c);
  }
  return out;
}

TEST(XmlTreeParse, ShapeWithDeclarationCommentAndFinalLineBreak) {
  xmltest::MessageLog messages;
  XmlTree tree;
  ASSERT_TRUE(tree.IsReady());
  XmlNode* root = tree.GetRoot();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(Name(root), "rootOfAllTrees");
  EXPECT_EQ(root->GetKind(), XmlNodeKind::Document);

  const std::string text =
      "<?xml version=\"1.0\"?>\n"
      "<!-- made by hand -->\n"
      "<scene version=\"2\">\n"
      "  <KRSTimeElem Name=\"Walk\" On=\"1\"/>\n"
      "</scene>\n";
  ASSERT_TRUE(ParseText(tree, text)) << "a well-formed document must parse";
  EXPECT_EQ(messages.Count(), 0) << "a good parse shows no message";

  XmlNode* doc = root->GetFirstChild();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(Name(doc), "scene.krn") << "the document node is named after the document";
  EXPECT_EQ(doc->GetKind(), XmlNodeKind::Document);
  EXPECT_EQ(doc->GetNextSibling(), nullptr);
  EXPECT_EQ(Children(doc), "<?xml version=\"1.0\"?> \n <!-- made by hand --> \n scene \n")
      << "declaration, white space and comment as Text nodes, then the root element, then the "
         "final line break";

  XmlNode* declaration = doc->GetFirstChild();
  EXPECT_EQ(declaration->GetKind(), XmlNodeKind::Text);
  XmlNode* scene =
      declaration->GetNextSibling()->GetNextSibling()->GetNextSibling()->GetNextSibling();
  ASSERT_EQ(Name(scene), "scene");
  EXPECT_EQ(scene->GetKind(), XmlNodeKind::Element);
  EXPECT_EQ(Str(scene->GetAttributeValue("version")), "2");
  EXPECT_EQ(scene->GetNextSibling()->GetKind(), XmlNodeKind::Text);
  EXPECT_EQ(Name(scene->GetNextSibling()), "\n");

  // Lines and the from-source flag.
  EXPECT_EQ(root->GetLine(), 0);
  EXPECT_EQ(doc->GetLine(), 0);
  EXPECT_FALSE(root->IsFromSource() || doc->IsFromSource()) << "root and document are not parsed";
  EXPECT_EQ(declaration->GetLine(), 1);
  EXPECT_EQ(scene->GetLine(), 3);
  XmlNode* elem = nullptr;
  for (XmlNode* n = scene->GetFirstChild(); n != nullptr; n = n->GetNextSibling()) {
    if (n->GetKind() == XmlNodeKind::Element) elem = n;
  }
  ASSERT_NE(elem, nullptr);
  EXPECT_EQ(Name(elem), "KRSTimeElem");
  EXPECT_EQ(elem->GetLine(), 4);
  EXPECT_EQ(elem->GetFirstChild(), nullptr) << "an empty-element tag has no children";
  for (XmlNode* n = doc->GetFirstChild(); n != nullptr; n = n->GetNextInDocument(doc, nullptr)) {
    EXPECT_TRUE(n->IsFromSource()) << "parsed node " << Name(n) << " must be from source";
    EXPECT_GT(n->GetLine(), 0) << "parsed node " << Name(n) << " must have a line";
  }
}

TEST(XmlTreeParse, TextIsRawAndAttributesAreDecoded) {
  xmltest::MessageLog messages;
  XmlTree tree;
  const std::string text =
      "<r><t>x &lt; y &#65;</t><a x=\"1\"/><b v=\"a&amp;b&quot;c\" w='q\"'/>"
      "<![CDATA[<raw>]]></r>";
  ASSERT_TRUE(ParseText(tree, text));
  XmlNode* r = tree.GetRoot()->GetFirstChild()->GetFirstChild();
  ASSERT_EQ(Name(r), "r");
  EXPECT_EQ(Children(r), "t a b <![CDATA[ <raw> ]]>") << "CDATA markers arrive as text";
  XmlNode* t = r->GetFirstChild();
  EXPECT_EQ(TextOf(t), "x &lt; y &#65;") << "references in text stay unexpanded";
  bool referenceChunk = false;
  for (XmlNode* c = t->GetFirstChild(); c != nullptr; c = c->GetNextSibling()) {
    referenceChunk = referenceChunk || Name(c) == "&lt;";
  }
  EXPECT_TRUE(referenceChunk) << "the reference is a chunk of its own, written as in the source";

  XmlNode* a = t->GetNextSibling();
  EXPECT_EQ(a->GetAttributeCount(), 1u);
  EXPECT_EQ(Str(a->GetAttributeName(0)), "x");
  EXPECT_EQ(Str(a->GetAttributeValueAt(0)), "1");
  EXPECT_EQ(a->GetFirstChild(), nullptr);
  XmlNode* b = a->GetNextSibling();
  ASSERT_EQ(Name(b), "b") << "after an empty-element tag the current node is the parent again";
  EXPECT_EQ(Str(b->GetAttributeValue("v")), "a&b\"c") << "attribute values arrive decoded";
  EXPECT_EQ(Str(b->GetAttributeValue("w")), "q\"");
  EXPECT_EQ(messages.Count(), 0);
}

TEST(XmlTreeParse, ErrorsAndRepeatedParses) {
  xmltest::MessageLog messages;
  XmlTree tree;
  // A mismatched end tag on line 3.
  EXPECT_FALSE(ParseText(tree, "<r>\n<a>\n</b>\n</r>\n", "bad.krn"))
      << "a syntax error must fail the parse";
  ASSERT_EQ(messages.Count(), 1) << "exactly one message box for a syntax error";
  EXPECT_EQ(messages.Title(0), "XML Error");
  EXPECT_EQ(messages.Text(0), "Parse Error: mismatched tag at line 3");
  EXPECT_EQ(messages.Owner(0), nullptr) << "the box has no owner window";
  EXPECT_EQ(messages.Flags(0), 0x40u) << "information icon and an OK button";
  XmlNode* bad = tree.GetRoot()->GetFirstChild();
  ASSERT_NE(bad, nullptr) << "the document node survives a failed parse";
  EXPECT_EQ(Name(bad), "bad.krn");
  EXPECT_EQ(xmltest::PreOrder(bad), "bad.krn r \n a \n") << "nodes built before the error stay";
  EXPECT_TRUE(tree.IsReady()) << "the tree stays ready after a parse error";

  // An empty text is a document without an element: told as expat tells it, with an empty
  // document node left behind.
  EXPECT_FALSE(ParseText(tree, "", "empty.krn"));
  ASSERT_EQ(messages.Count(), 2) << "an empty text is a syntax error";
  EXPECT_EQ(messages.Text(1), "Parse Error: no element found at line 1");
  XmlNode* empty = bad->GetNextSibling();
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(Name(empty), "empty.krn");
  EXPECT_EQ(empty->GetFirstChild(), nullptr);
  EXPECT_FALSE(tree.Parse(nullptr, 10, "null.krn", 0)) << "a null text with a length fails";
  EXPECT_FALSE(tree.Parse("<a/>", -4, "negative.krn", 0)) << "a negative length fails";
  EXPECT_EQ(messages.Count(), 2) << "bad arguments show no message";

  // Unterminated document: the error is reported with its own message.
  EXPECT_FALSE(ParseText(tree, "<r>\n<a>", "cut.krn"));
  ASSERT_EQ(messages.Count(), 3);
  EXPECT_EQ(messages.Text(2).rfind("Parse Error: ", 0), 0u) << messages.Text(2);

  // Two good parses leave two more document nodes, in call order.
  XmlTree two;
  ASSERT_TRUE(ParseText(two, "<first/>", "one.krn"));
  ASSERT_TRUE(ParseText(two, "<second/>", "two.krn"));
  EXPECT_EQ(Children(two.GetRoot()), "one.krn two.krn");
  EXPECT_EQ(Name(two.GetRoot()->GetFirstChild()->GetNextSibling()->GetFirstChild()), "second");
  EXPECT_EQ(messages.Count(), 3);
}

TEST(XmlTreeParse, ShowParseErrorFormatsOrShowsNothing) {
  xmltest::MessageLog messages;
  EXPECT_TRUE(ShowParseError("boom", 7));
  ASSERT_EQ(messages.Count(), 1);
  EXPECT_EQ(messages.Title(0), "XML Error");
  EXPECT_EQ(messages.Text(0), "Parse Error: boom at line 7");
  const std::string huge(1100, 'x');
  EXPECT_FALSE(ShowParseError(huge.c_str(), 1)) << "a message too long to format must fail";
  EXPECT_EQ(messages.Count(), 1) << "and show nothing";
}

TEST(XmlTreeParse, TextLongerThanItsLengthIsNotRead) {
  XmlTree tree;
  const char text[] = "<a/>garbage that is not part of the document";
  ASSERT_TRUE(tree.Parse(text, 4, "part.krn", 0)) << "only the given bytes are parsed";
  EXPECT_EQ(Children(tree.GetRoot()->GetFirstChild()), "a");
}

TEST(XmlTreeParse, SkipBlankModeDropsOnlyBlankChunks) {
  XmlTree tree;
  const std::string text = "<r>\n  <a>one</a>\n  <b> two</b>\t</r>";
  ASSERT_TRUE(ParseText(tree, text, "m1.krn", 1));
  XmlNode* r = tree.GetRoot()->GetFirstChild()->GetFirstChild();
  EXPECT_EQ(Children(r), "a b") << "white space between tags makes no node in mode 1";
  EXPECT_EQ(TextOf(r->GetFirstChild()), "one");
  EXPECT_EQ(TextOf(r->GetFirstChild()->GetNextSibling()), " two")
      << "a chunk with content is kept whole, leading blank included";

  ASSERT_TRUE(ParseText(tree, text, "m0.krn", 0));
  XmlNode* r0 = tree.GetRoot()->GetFirstChild()->GetNextSibling()->GetFirstChild();
  std::string chunks;
  for (XmlNode* c = r0->GetFirstChild(); c != nullptr; c = c->GetNextSibling()) {
    chunks += "[" + Name(c) + "]";
  }
  EXPECT_EQ(chunks, "[\n][  ][a][\n][  ][b][\t]") << "mode 0 keeps every chunk";
}

// Without text only elements make nodes: text, comments, instructions, CDATA and references
// leave none, an entity that holds markup is not expanded into elements, and the parser
// still checks all of it. Each text's elements equal those of a parse that keeps text.
TEST(XmlTreeParse, WithoutTextOnlyElementsMakeNodes) {
  xmltest::MessageLog messages;
  const std::string dtd = "<!DOCTYPE r [<!ENTITY e \"<KRSTimeElem Name='x'/>\">]>";
  struct Case {
    std::string text;
    const char* elements;  // in pre-order; null: a syntax error
  } cases[] = {
      {"<r>one<a>two</a><!-- c --><?pi x?><![CDATA[<b/>]]>&amp;&#65;<c/>\n</r>", "r a c"},
      {dtd + "<r>&e;<d/></r>", "r d"},
      {"<r>text<a></b></r>", nullptr},
      {"<r>&undefined;</r>", nullptr},
  };
  int errors = 0;
  for (const Case& c : cases) {
    for (const bool keepText : {true, false}) {
      XmlTree tree;
      tree.SetKeepText(keepText);
      const bool parsed = ParseText(tree, c.text, "t.krn", 1);
      const std::string what = c.text + (keepText ? " (text kept)" : " (no text)");
      if (c.elements == nullptr) {
        EXPECT_FALSE(parsed) << what;
        EXPECT_EQ(messages.Count(), ++errors) << what << ": the error is told";
        continue;
      }
      ASSERT_TRUE(parsed) << what;
      XmlNode* document = tree.GetRoot()->GetFirstChild();
      std::string elements;
      bool otherNodes = false;
      for (XmlNode* n = document->GetFirstChild(); n != nullptr;
           n = n->GetNextInDocument(document, nullptr)) {
        if (n->GetKind() != XmlNodeKind::Element) {
          otherNodes = true;
          continue;
        }
        elements += (elements.empty() ? "" : " ") + Name(n);
      }
      EXPECT_EQ(elements, c.elements) << what;
      EXPECT_EQ(otherNodes, keepText) << what << ": only a tree that keeps text has other nodes";
    }
  }
}

// Parses one after another, each in a new tree or the last one, with and without lines and
// with the attributes of one element only: a parser used again after an error or a parse of
// another tree starts clean; without lines the nodes have none while a syntax error still
// tells its own; the other elements are still there, without attributes.
TEST(XmlTreeParse, ParsesInTurnStartCleanWithTheirOwnOptions) {
  xmltest::MessageLog messages;
  struct Step {
    const char* text;
    bool lines;
    bool newTree;
    const char* attributesOf;
    const char* shape;  // the document's elements in pre-order with lines and attributes, or
                        // the error
  } steps[] = {
      {"<r a=\"1\" b=\"2\">\n<x/>\n</r>", true, true, nullptr, "r:1 a=1 b=2 x:2"},
      {"<r c=\"3\">\n<y d=\"4\"/>\n</r>", false, true, nullptr, "r:0 c=3 y:0 d=4"},
      {"<r>\n<a>\n</b>\n</r>", false, false, nullptr, "Parse Error: mismatched tag at line 3"},
      {"<q e=\"5\">\n\n<z/></q>", true, false, nullptr, "q:1 e=5 z:3"},
      {"<r>\n<a>\n</b>", true, true, "a", "Parse Error: mismatched tag at line 3"},
      {"<s f=\"6\"><y g=\"7\"><s h=\"8\"/></y></s>", false, false, "s", "s:0 f=6 y:0 s:0 h=8"},
      {"<s f=\"6\"><y g=\"7\"/></s>", false, false, nullptr, "s:0 f=6 y:0 g=7"},
  };
  std::unique_ptr<XmlTree> tree;
  int errors = 0;
  for (const Step& step : steps) {
    if (step.newTree || tree == nullptr) tree = std::make_unique<XmlTree>();
    tree->SetRecordLines(step.lines);
    tree->KeepAttributesOnlyOf(step.attributesOf);
    const bool parsed = ParseText(*tree, step.text, "s.krn");
    std::string shape;
    if (!parsed) {
      ASSERT_EQ(messages.Count(), errors + 1) << step.text;
      shape = messages.Text(errors++);
    } else {
      XmlNode* document = tree->GetRoot()->GetFirstChild();
      while (document->GetNextSibling() != nullptr) document = document->GetNextSibling();
      for (XmlNode* n = document->GetFirstChild(); n != nullptr;
           n = n->GetNextInDocument(document, nullptr)) {
        if (n->GetKind() != XmlNodeKind::Element) continue;
        shape += (shape.empty() ? "" : " ") + Name(n) + ":" + std::to_string(n->GetLine());
        for (uint32_t i = 0; i < n->GetAttributeCount(); ++i) {
          shape += " " + Str(n->GetAttributeName(i)) + "=" + Str(n->GetAttributeValueAt(i));
        }
      }
    }
    EXPECT_EQ(shape, step.shape) << step.text;
  }
}

TEST(XmlTreeParse, DeeplyNestedDocument) {
  constexpr int kDepth = 200000;
  std::string text;
  text.reserve(kDepth * 7 + 16);
  for (int i = 0; i < kDepth; ++i) text += "<d>";
  text += "x";
  for (int i = 0; i < kDepth; ++i) text += "</d>";
  {
    XmlTree tree;
    ASSERT_TRUE(ParseText(tree, text, "deep.krn")) << "200,000 levels must parse";
    XmlNode* doc = tree.GetRoot()->GetFirstChild();
    int32_t depth = 0;
    int32_t deepest = 0;
    int elements = 0;
    XmlNode* leaf = nullptr;
    for (XmlNode* n = doc; n != nullptr; n = n->GetNextInDocument(doc, &depth)) {
      if (n->GetKind() == XmlNodeKind::Element) ++elements;
      if (depth > deepest) deepest = depth;
      leaf = n;
    }
    EXPECT_EQ(elements, kDepth);
    EXPECT_EQ(deepest, kDepth + 1) << "the text sits one level below the innermost element";
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(Name(leaf), "x");
    int up = 0;
    for (XmlNode* n = leaf; n != nullptr; n = n->GetPrevInDocument()) ++up;
    EXPECT_EQ(up, kDepth + 3) << "walking back reaches the root through every level";
    StringBuffer out;
    uint32_t length = 0;
    ASSERT_TRUE(BuildXmlText(doc, 0, &out, &length)) << "the writer must handle the depth";
    EXPECT_EQ(std::string(out.Data(), length), "<?xml version=\"1.0\"?>\r\n" + text);
  }  // destroying the tree must not overflow the stack
}

}  // namespace

namespace {

// Every node below `doc` as one line: depth, kind, line, name and attributes.
std::string Describe(XmlNode* doc) {
  std::string out;
  int32_t depth = 0;
  for (XmlNode* n = doc->GetFirstChild(); n != nullptr; n = n->GetNextInDocument(doc, &depth)) {
    out += std::to_string(depth) + " " + std::to_string(static_cast<int>(n->GetKind())) + " " +
           std::to_string(n->GetLine()) + " [" + Name(n) + "]";
    for (uint32_t i = 0; i < n->GetAttributeCount(); ++i) {
      out += " " + Str(n->GetAttributeName(i)) + "=" + Str(n->GetAttributeValueAt(i));
    }
    out += "\n";
  }
  return out;
}

// A file in the temporary folder, removed at the end; `path` is the program's view of it.
struct TempFile {
  explicit TempFile(const std::string& text) {
    native = (std::filesystem::temp_directory_path() /
              ("xml_tree_test_" + std::to_string(::getpid()) + ".krn"))
                 .string();
    std::ofstream(native, std::ios::binary) << text;
    char view[4096];
    path = PathBuffer(ProgramPathFromNative(native.c_str(), view, sizeof view) ? view : "");
  }
  ~TempFile() { std::filesystem::remove(native); }
  std::string native;
  PathBuffer path;
};

XmlParseOutcome ParseFileText(XmlTree& tree, const std::string& text) {
  TempFile file(text);
  FileHandle handle(file.path);
  if (!handle.Open(0)) return XmlParseOutcome::ReadFailed;
  return tree.ParseFile(handle, "file.krn", 0);
}

TEST(XmlTreeParseFile, BlocksGiveTheTreeOfOneBuffer) {
  // More than two 1 MiB blocks: short and long lines, CR LF, references, a comment and a
  // CDATA section across lines, and a line of 1.5 MiB whose text is cut only before a '<'.
  std::string text = "<?xml version=\"1.0\"?>\r\n<scene a=\"x&amp;y\">\r\n";
  for (int i = 0; i < 20000; ++i) {
    text += "  <KRSTimeElem Name=\"anim" + std::to_string(i) + "\" On=\"" + std::to_string(i % 2) +
            "\"/>&lt;text " + std::to_string(i) + "\r\n";
    if (i % 5000 == 0) text += "<!-- a comment\nover\nlines -->\n<![CDATA[one\r\ntwo <x>]]>\n";
  }
  for (int i = 0; i < 100000; ++i) text += "<v>0 1 2 3</v>";
  text += "\n";
  for (int i = 0; i < 20000; ++i) text += "\t<g n=\"" + std::to_string(i % 7) + "\"> t </g>\n";
  text += "</scene>\n";
  ASSERT_GT(text.size(), 2u * 1024 * 1024);

  xmltest::MessageLog messages;
  XmlTree whole, blocks;
  static int betweenBlocks = 0;
  const XmlTree::BlockHandler countBlock = [](void*, uint64_t) {
    ++betweenBlocks;
    return true;
  };
  whole.SetBlockHandler(countBlock, nullptr);
  blocks.SetBlockHandler(countBlock, nullptr);
  ASSERT_TRUE(ParseText(whole, text, "file.krn"));
  EXPECT_EQ(betweenBlocks, 0) << "a text below 1 GiB is one buffer";
  ASSERT_EQ(ParseFileText(blocks, text), XmlParseOutcome::Parsed);
  EXPECT_EQ(betweenBlocks, static_cast<int>(text.size() >> 20))
      << "the handler runs between the blocks of " << text.size() << " bytes";
  EXPECT_EQ(messages.Count(), 0);
  const std::string expected = Describe(whole.GetRoot()->GetFirstChild());
  const std::string got = Describe(blocks.GetRoot()->GetFirstChild());
  EXPECT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected) << "the file parsed in blocks differs from the one-buffer tree";
}

TEST(XmlTreeParseFile, FilesAroundOneBlockGiveTheTreeOfOneBuffer) {
  // A file below a block is read in one block of its own size; at a block and above, in 1 MiB
  // blocks. Each size ends on a different byte: a text, a line break, the root's end.
  constexpr size_t kMiB = 1u << 20;
  for (const size_t size : {kMiB - 2, kMiB - 1, kMiB, kMiB + 1, 2 * kMiB - 1}) {
    std::string text = "<scene>\n";
    const std::string end = "</scene>\n";
    while (text.size() + end.size() + 40 < size) text += "<KRSTimeElem Name=\"a b\" On=\"0\"/>\n";
    text.append(size - end.size() - text.size(), 'x');
    text += end;
    ASSERT_EQ(text.size(), size);
    xmltest::MessageLog messages;
    XmlTree whole, file;
    ASSERT_TRUE(ParseText(whole, text, "file.krn")) << size;
    ASSERT_EQ(ParseFileText(file, text), XmlParseOutcome::Parsed) << size << " bytes";
    EXPECT_TRUE(Describe(file.GetRoot()->GetFirstChild()) ==
                Describe(whole.GetRoot()->GetFirstChild()))
        << "a file of " << size << " bytes differs from the one-buffer tree";
  }
}

// What the block handler saw, and after which call it answers false (0: never).
struct BlockLog {
  std::vector<uint64_t> bytes;
  size_t stopAt = 0;
  static bool Tell(void* context, uint64_t bytesRead) {
    BlockLog* log = static_cast<BlockLog*>(context);
    log->bytes.push_back(bytesRead);
    return log->stopAt == 0 || log->bytes.size() < log->stopAt;
  }
};

TEST(XmlTreeParseFile, TheBlockHandlerSeesTheBytesReadAndCanCancel) {
  std::string text = "<scene>\n";
  while (text.size() < 5u * 1024 * 1024) text += "  <KRSTimeElem Name=\"a\" On=\"0\"/>\n";
  text += "</scene>\n";
  const struct {
    size_t stopAt;
    XmlParseOutcome outcome;
    size_t calls;
  } cases[] = {
      {0, XmlParseOutcome::Parsed, text.size() >> 20},
      {1, XmlParseOutcome::Cancelled, 1},
      {3, XmlParseOutcome::Cancelled, 3},
  };
  for (const auto& c : cases) {
    XmlTree tree;
    BlockLog log;
    log.stopAt = c.stopAt;
    tree.SetBlockHandler(&BlockLog::Tell, &log);
    EXPECT_EQ(ParseFileText(tree, text), c.outcome) << "stop at " << c.stopAt;
    ASSERT_EQ(log.bytes.size(), c.calls) << "stop at " << c.stopAt;
    for (size_t i = 0; i < log.bytes.size(); ++i) {
      EXPECT_EQ(log.bytes[i], uint64_t(i + 1) << 20) << "each block is 1 MiB read";
    }
  }
}

TEST(XmlTreeParseFile, OutcomesOfEmptyBrokenAndGoodFiles) {
  const struct {
    const char* text;
    XmlParseOutcome outcome;
    int messages;
  } cases[] = {
      {"", XmlParseOutcome::SyntaxError, 1},  // "no element found"
      {"<a>\n<b></a>", XmlParseOutcome::SyntaxError, 1},
      {"<a x=\"1\"/>", XmlParseOutcome::Parsed, 0},
  };
  for (const auto& c : cases) {
    xmltest::MessageLog messages;
    XmlTree tree;
    EXPECT_EQ(ParseFileText(tree, c.text), c.outcome) << "file: " << c.text;
    EXPECT_EQ(messages.Count(), c.messages) << "file: " << c.text;
    ASSERT_NE(tree.GetRoot()->GetFirstChild(), nullptr) << "the document node stays";
    EXPECT_EQ(Name(tree.GetRoot()->GetFirstChild()), "file.krn");
  }
}

// Logs what a watch is told and stops the building at its `stopAt`th start (0: never).
struct LoggingWatch final : XmlElementWatch {
  bool OnStart(const char* name, const char* const* attributes) override {
    log += std::string(log.empty() ? "" : " ") + "+" + name;
    for (; attributes[0] != nullptr; attributes += 2) {
      log += std::string(" ") + attributes[0] + "=" + attributes[1];
    }
    return ++starts != stopAt;
  }
  void OnEnd(const char* name) override { log += std::string(" -") + name; }
  int stopAt = 0;
  int starts = 0;
  std::string log;
};

// A watch hears of the elements that keep their attributes; stopping it keeps the nodes
// built so far, and the rest of the text is still checked as before: a later syntax error
// is told with its line, an internal entity is not expanded, and so on across file blocks.
TEST(XmlTreeParse, AWatchHearsKeptElementsAndCanStopTheBuilding) {
  std::string large = "<r><a/>\n";
  for (int i = 0; i < 60000; ++i) large += "<a n=\"" + std::to_string(i) + "\"><b/></a>\n";
  const std::string largeBroken = large + "<a>\n</r>";
  large += "</r>";
  const struct {
    std::string text;
    const char* attributesOf;
    int stopAt;
    XmlParseOutcome outcome;
    const char* log;       // null: not compared
    const char* elements;  // the elements built, or the error
  } cases[] = {
      {"<r><a x=\"1\"><b/></a><a/></r>", "a", 0, XmlParseOutcome::Parsed, "+a x=1 -a +a -a",
       "r a b a"},
      {"<r><a x=\"1\"><b/></a><a/><c/></r>", "a", 2, XmlParseOutcome::Stopped, "+a x=1 -a +a",
       "r a b"},
      {"<r><b y=\"2\"/></r>", nullptr, 0, XmlParseOutcome::Parsed, "+r +b y=2 -b -r", nullptr},
      {"<r><b y=\"2\"/></r>", nullptr, 2, XmlParseOutcome::Stopped, "+r +b y=2", "r"},
      {"<r><a/>\n<b>\n</c></r>", "a", 1, XmlParseOutcome::SyntaxError, "+a",
       "Parse Error: mismatched tag at line 3"},
      {"<!DOCTYPE r [<!ENTITY e \"<q>\">]><r><a/>&e;</r>", "a", 1, XmlParseOutcome::Stopped, "+a",
       "r"},
      {large, "a", 1, XmlParseOutcome::Stopped, "+a", "r"},
      {largeBroken, "a", 3, XmlParseOutcome::SyntaxError, nullptr,
       "Parse Error: mismatched tag at line 60003"},
  };
  for (const auto& c : cases) {
    for (const bool file : {false, true}) {
      const std::string what = (file ? "file: " : "text: ") + c.text.substr(0, 60);
      xmltest::MessageLog messages;
      XmlTree tree;
      LoggingWatch watch;
      watch.stopAt = c.stopAt;
      tree.KeepAttributesOnlyOf(c.attributesOf);
      tree.SetElementWatch(&watch);
      const XmlParseOutcome outcome =
          file ? ParseFileText(tree, c.text)
               : tree.ParseText(c.text.data(), static_cast<int32_t>(c.text.size()), "t", 0);
      EXPECT_EQ(static_cast<int>(outcome), static_cast<int>(c.outcome)) << what;
      if (c.log != nullptr) {
        EXPECT_EQ(watch.log, c.log) << what;
      }
      if (c.stopAt != 0) {
        EXPECT_EQ(watch.starts, c.stopAt) << "no start after the stop; " << what;
      }
      std::string elements;
      if (outcome == XmlParseOutcome::SyntaxError) {
        ASSERT_EQ(messages.Count(), 1) << what;
        elements = messages.Text(0);
      } else {
        EXPECT_EQ(messages.Count(), 0) << what;
        XmlNode* doc = tree.GetRoot()->GetFirstChild();
        for (XmlNode* n = doc->GetFirstChild(); n != nullptr;
             n = n->GetNextInDocument(doc, nullptr)) {
          if (n->GetKind() == XmlNodeKind::Element)
            elements += (elements.empty() ? "" : " ") + Name(n);
        }
      }
      if (c.elements != nullptr) {
        EXPECT_EQ(elements, c.elements) << what;
      }
    }
  }
}

bool failAllocations = false;
void* StarvedAlloc(uint32_t bytes, bool zeroFill) {
  if (failAllocations) return nullptr;
  return zeroFill ? calloc(1, bytes) : malloc(bytes);
}
void StarvedFree(void* block) {
  free(block);
}
void* StarvedRealloc(void* block, uint32_t bytes, bool) {
  return failAllocations ? nullptr : realloc(block, bytes);
}
uint32_t StarvedSize(void* block) {
  return static_cast<uint32_t>(malloc_usable_size(block));
}

TEST(XmlTreeParseFile, MemoryRunningOutStopsTheParseSilently) {
  ToolkitOptions options{};
  options.memoryHooks = {StarvedAlloc, StarvedFree, StarvedRealloc, StarvedSize, true};
  ASSERT_TRUE(ToolkitStart(nullptr, false, &options));
  {
    std::string text = "<scene>\n";
    for (int i = 0; i < 50000; ++i) text += "<e n=\"" + std::to_string(i) + "\"/>\n";
    text += "</scene>\n";
    xmltest::MessageLog messages;
    XmlTree tree;
    ASSERT_TRUE(tree.IsReady());
    failAllocations = true;
    EXPECT_EQ(ParseFileText(tree, text), XmlParseOutcome::OutOfMemory);
    EXPECT_FALSE(ParseText(tree, text)) << "the text path fails the same way";
    failAllocations = false;
    EXPECT_EQ(messages.Count(), 0) << "running out of memory shows no message";
  }
  ToolkitStop();
}

TEST(XmlNodeShared, EditsOfParsedNodesStayTheirOwn) {
  XmlTree tree;
  ASSERT_TRUE(ParseText(tree, "<r><a n=\"1\" k=\"v\"/><a n=\"1\" k=\"v\"><c/></a></r>"));
  XmlNode* first = tree.GetRoot()->GetFirstChild()->GetFirstChild()->GetFirstChild();
  XmlNode* second = first->GetNextSibling();
  ASSERT_EQ(Name(second), "a");
  EXPECT_FALSE(second->GetName()->SetText("z", -1, 0)) << "a shared name is read-only";

  ASSERT_TRUE(first->SetName("b", -1));
  ASSERT_TRUE(first->SetAttribute("n", "2"));
  ASSERT_TRUE(first->SetAttribute("x", "y"));
  ASSERT_TRUE(first->SetIntAttribute("k", 7));
  EXPECT_EQ(Name(first), "b");
  EXPECT_EQ(Str(first->GetAttributeValue("n")), "2");
  EXPECT_EQ(Str(first->GetAttributeValue("k")), "7");
  EXPECT_EQ(Str(first->GetAttributeValue("x")), "y");
  EXPECT_EQ(Name(second), "a") << "the other node keeps the shared name";
  EXPECT_EQ(Str(second->GetAttributeValue("n")), "1") << "and its values";
  EXPECT_EQ(Str(second->GetAttributeValue("k")), "v");

  ASSERT_TRUE(second->RemoveAllAttributes());
  EXPECT_EQ(second->GetAttributeCount(), 0u);
  EXPECT_EQ(first->GetAttributeCount(), 3u);
  ASSERT_TRUE(second->SetAttributes(nullptr));
  // Heap nodes under parsed ones, and parsed nodes deleted on their own, are freed with the
  // tree or at once (the sanitizer build sees any leak).
  ASSERT_NE(second->CreateChild(second, "added", -1, XmlNodeKind::Element, nullptr, -1), nullptr);
  ASSERT_TRUE(second->GetFirstChild()->DetachAndDelete());
  EXPECT_EQ(Children(second), "added");
  ASSERT_TRUE(first->DetachAndDelete());
  EXPECT_EQ(Children(tree.GetRoot()->GetFirstChild()->GetFirstChild()), "a");
}

}  // namespace
