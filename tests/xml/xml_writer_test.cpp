// The six layouts of the XML writer, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include "base/path_buffer.h"
#include "base/string_buffer.h"
#include "platform/native_path.h"
#include "tests/xml/xml_equivalence.h"
#include "tests/xml/xml_test_util.h"
#include "xml/xml_text_sink.h"
#include "xml/xml_tree.h"
#include "xml/xml_writer.h"

using xmltest::Name;

namespace {

const std::string kHeader = "<?xml version=\"1.0\"?>";
const std::string kBegin = "<!-- BEGIN This Section added by Quorrelix (QRX) -->\r\n";
const std::string kEnd = "<!-- END This Section added by Quorrelix (QRX) -->\r\n";

// Parses `text` as "doc.krn" and returns its document node (owned by `tree`).
XmlNode* ParseDoc(XmlTree& tree, const std::string& text) {
  if (!tree.Parse(text.data(), static_cast<int32_t>(text.size()), "doc.krn", 0)) return nullptr;
  return tree.GetRoot()->GetFirstChild()->GetLastSibling();
}

// The text of `top` in `layout`, or "FAILED" when the writer fails. Also checks that the
// reported length matches the buffer's text.
std::string Build(XmlNode* top, int32_t layout) {
  StringBuffer out;
  uint32_t length = 0;
  const bool ok = BuildXmlText(top, layout, &out, &length);
  std::string text = xmltest::Str(&out);
  out.Reset();
  if (!ok) return "FAILED";
  EXPECT_EQ(length, text.size()) << "reported length of layout " << layout;
  return text;
}

XmlNode* ChildNamed(XmlNode* parent, const char* name) {
  for (XmlNode* c = parent->GetFirstChild(); c != nullptr; c = c->GetNextSibling()) {
    if (Name(c) == name) return c;
  }
  return nullptr;
}

const std::string kSmall = "<s a=\"1\">\n<e n=\"x\"/>\n<f>hi</f>\n</s>";

TEST(XmlWriterLayouts, EachLayoutOnASmallDocument) {
  XmlTree tree;
  XmlNode* doc = ParseDoc(tree, kSmall);
  ASSERT_NE(doc, nullptr);

  EXPECT_EQ(Build(doc, 0), kHeader + "\r\n<s a=\"1\" >\n<e n=\"x\" />\n<f>hi</f>\n</s>")
      << "layout 0: header, raw text, regenerated tags";
  EXPECT_EQ(Build(doc, 7), Build(doc, 0)) << "unknown layouts write as layout 0";
  EXPECT_EQ(Build(doc, -1), Build(doc, 0));

  EXPECT_EQ(Build(doc, 1),
            "doc.krn\r\n"
            "s a=\"1\" \r\n"
            "\t\n\r\n"
            "\te n=\"x\" \r\n"
            "\t\n\r\n"
            "\tf\r\n"
            "\t\thi\r\n"
            "\t\n\r\n")
      << "layout 1: every node on its own line, indented by depth";

  EXPECT_EQ(Build(doc, 2),
            "doc.krn\r\n"
            "s a=\"1\" \r\n"
            "\te n=\"x\" \r\n"
            "\tf\r\n"
            "\t\thi\r\n")
      << "layout 2: blank-leading nodes left out";

  const std::string pretty =
      "<s a=\"1\" >\r\n"
      "\t<e n=\"x\" />\r\n"
      "\r\n"
      "\t<f>\r\n"
      "\t\thi\r\n"
      "\t</f>\r\n"
      "</s>\r\n";
  EXPECT_EQ(Build(doc, 3), kHeader + "\r\n" + pretty)
      << "layout 3: pretty, one node a line, empty line after a childless element";
  EXPECT_EQ(Build(doc, 4), pretty) << "layout 4: as 3 without the header";

  EXPECT_EQ(Build(doc, 5), "<s><a>1</a>\n<e><n>x</n></e>\n<f>hi</f>\n</s>")
      << "layout 5: attributes as child elements, no header";
}

TEST(XmlWriterLayouts, HeaderRules) {
  XmlTree tree;
  XmlNode* withHeader = ParseDoc(tree, kHeader + "\n<r/>\n");
  ASSERT_NE(withHeader, nullptr);
  EXPECT_EQ(Build(withHeader, 0), kHeader + "\n<r/>\n") << "a parsed header stands alone";
  EXPECT_EQ(Build(withHeader, 3), kHeader + "\r\n<r/>\r\n\r\n") << "layout 3: header once";
  EXPECT_EQ(Build(withHeader, 4), "<r/>\r\n\r\n") << "layout 4: no header at all";

  XmlTree other;
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
  XmlNode* withEncoding = ParseDoc(other, declaration + "\n<r/>");
  ASSERT_NE(withEncoding, nullptr);
  const std::string out = Build(withEncoding, 0);
  EXPECT_EQ(out, declaration + "\n<r/>")
      << "no header before another declaration: a declaration must stay first";
  XmlTree again;
  EXPECT_TRUE(again.Parse(out.data(), static_cast<int32_t>(out.size()), "again.krn", 0))
      << "the output must parse";

  // The parser hands over UTF-8 whatever the source's encoding: a declaration of another
  // encoding gives way to the header, so the text reads back the same.
  XmlTree latin;
  XmlNode* latinDoc =
      ParseDoc(latin, "<?xml version=\"1.0\" encoding='ISO-8859-1'?>\n<r a=\"\xE9\">\xE9</r>");
  ASSERT_NE(latinDoc, nullptr);
  const std::string utf8 = Build(latinDoc, 0);
  EXPECT_EQ(utf8, kHeader + "\r\n\n<r a=\"\xC3\xA9\" >\xC3\xA9</r>");
  EXPECT_EQ(Build(latinDoc, 4), "<r a=\"\xC3\xA9\" >\r\n\t\xC3\xA9\r\n</r>\r\n");
  XmlTree reread;
  XmlNode* rereadDoc = ParseDoc(reread, utf8);
  ASSERT_NE(rereadDoc, nullptr);
  XmlNode* r = ChildNamed(rereadDoc, "r");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(xmltest::Str(r->GetAttributeValue("a")), "\xC3\xA9") << "the value survives";
  EXPECT_EQ(xmltest::Name(r->GetFirstChild()), "\xC3\xA9") << "the text survives";

  // A top without children fails every XML layout; the outlines still work.
  XmlNode* lonely = xmltest::MakeNode(nullptr, "lonely");
  for (int32_t layout : {0, 3, 4, 5}) {
    EXPECT_EQ(Build(lonely, layout), "FAILED") << "childless top, layout " << layout;
  }
  EXPECT_EQ(Build(lonely, 1), "lonely\r\n");
  EXPECT_EQ(Build(lonely, 2), "lonely\r\n");
  delete lonely;
  EXPECT_EQ(Build(nullptr, 0), "FAILED");
}

TEST(XmlWriterLayouts, AddedNodesAreFencedWithMarkers) {
  XmlTree tree;
  XmlNode* doc = ParseDoc(tree, kSmall);
  ASSERT_NE(doc, nullptr);
  XmlNode* s = doc->GetFirstChild();
  XmlNode* f = ChildNamed(s, "f");
  ASSERT_NE(f, nullptr);

  // Between two parsed siblings: BEGIN before, END after.
  int32_t index = -1;
  ASSERT_NE(s->CreateChild(s, "mid", -1, XmlNodeKind::Element, &index, 3), nullptr);
  EXPECT_EQ(index, 3);
  // As last child of a parsed element: BEGIN (previous sibling parsed) and END.
  ASSERT_NE(f->CreateChild(f, "tail", -1, XmlNodeKind::Element, nullptr, -1), nullptr);
  // A run of two added nodes at the end of s, the second with a child: one BEGIN, one END.
  XmlNode* one = s->CreateChild(s, "one", -1, XmlNodeKind::Element, nullptr, -1);
  XmlNode* grp = s->CreateChild(s, "grp", -1, XmlNodeKind::Element, nullptr, -1);
  ASSERT_NE(one, nullptr);
  ASSERT_NE(grp, nullptr);
  ASSERT_NE(grp->CreateChild(grp, "kid", -1, XmlNodeKind::Element, nullptr, -1), nullptr);
  ASSERT_TRUE(one->SetAttribute("k", "v"));

  EXPECT_EQ(Build(doc, 0),
            kHeader + "\r\n<s a=\"1\" >\n<e n=\"x\" />\n" +    //
                kBegin + "\t<mid/>\r\n" + kEnd +               //
                "<f>hi" + kBegin + "\t\t<tail/>\r\n" + kEnd +  //
                "</f>\n" +                                     //
                kBegin + "\t<one k=\"v\" />\r\n" +             //
                "\t<grp>\r\n\t\t<kid/>\r\n\t</grp>\r\n" + kEnd + "</s>")
      << "layout 0 with added nodes";

  // An added first child has no BEGIN (no previous sibling) but an END before the parsed
  // node that follows; an added Text node before a parsed sibling gets END as well.
  XmlTree second;
  XmlNode* doc2 = ParseDoc(second, "<r><a/><b/></r>");
  ASSERT_NE(doc2, nullptr);
  XmlNode* r = doc2->GetFirstChild();
  ASSERT_NE(r->CreateChild(r, "first", -1, XmlNodeKind::Element, nullptr, 0), nullptr);
  XmlNode* note = r->CreateChild(r, "note", -1, XmlNodeKind::Text, nullptr, 2);
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(Build(doc2, 0), kHeader + "\r\n<r>\t<first/>\r\n" + kEnd + "<a/>" + kBegin +
                                "\tnote\r\n" + kEnd + "<b/></r>")
      << "a first added child has no BEGIN; an added text before a parsed node gets END";
}

TEST(XmlWriterLayouts, PrettyLayoutsDropOnlyBlankText) {
  XmlTree tree;
  XmlNode* doc = ParseDoc(tree, "<r>\n  <t>\n  hello &amp; bye</t>\n</r>");
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(Build(doc, 4),
            "<r>\r\n\t<t>\r\n\t\t  hello \r\n\t\t&amp;\r\n\t\t bye\r\n\t</t>\r\n</r>\r\n")
      << "text chunks that start with a blank but hold content must not be dropped";
  EXPECT_EQ(Build(doc, 2), "doc.krn\r\nr\r\n\tt\r\n\t\t&amp;\r\n")
      << "the outline without blank-leading nodes leaves out every such chunk";
}

// Writes doc in layout, parses the text again and checks that the tree is equivalent.
// Returns the text, or "FAILED".
std::string WriteAndReparse(XmlNode* doc, int32_t layout, const std::string& what) {
  const std::string out = Build(doc, layout);
  if (out == "FAILED") return out;
  XmlTree back;
  XmlNode* again = ParseDoc(back, out);
  EXPECT_NE(again, nullptr) << what << ": layout " << layout << " must parse:\n" << out;
  if (again == nullptr) return "FAILED";
  xmltest::Equivalence equivalence(layout);
  EXPECT_EQ(equivalence.Describe(again, false), equivalence.Describe(doc, true))
      << what << ": layout " << layout << " must read back to the same tree:\n"
      << out;
  return out;
}

TEST(XmlWriterLayouts, EveryLayoutParsesBackAndStatesItsEncoding) {
  const std::string latin1Header = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
  struct Case {
    const char* what;
    std::string source;
    std::string mustStartWith;  // for every layout
  };
  const Case cases[] = {
      {"letters that are names only in ISO-8859-1",
       latin1Header + "\n<\xAA"
                      "b \xB5=\"1\"  c=\"\xE9\"><\xBA>t\xE9</\xBA></\xAA"
                      "b>",
       latin1Header},
      {"an ISO-8859-1 declaration in other quotes",
       "<?xml version='1.0' encoding='iso-8859-1'?><r \xBA='&#x263A;'/>",
       "<?xml version='1.0' encoding='iso-8859-1'?>"},
      {"\"encoding\" inside the version value",
       "<?xml version='encoding' encoding='ISO-8859-1'?><r a=\"\xE9\">\xE9</r>", ""},
      {"]]> in an attribute value", "<r a=\"x]]>y\" b=\"]]\"/>", ""},
  };
  for (const Case& c : cases) {
    XmlTree tree;
    XmlNode* doc = ParseDoc(tree, c.source);
    ASSERT_NE(doc, nullptr) << c.what;
    for (int32_t layout : {0, 3, 4, 5}) {
      const std::string out = WriteAndReparse(doc, layout, c.what);
      EXPECT_EQ(out.rfind(c.mustStartWith, 0), 0u) << c.what << ", layout " << layout << ":\n"
                                                   << out;
    }
  }

  XmlTree latin;
  XmlNode* latinDoc = ParseDoc(latin, cases[0].source);
  ASSERT_NE(latinDoc, nullptr);
  EXPECT_EQ(Build(latinDoc, 4),
            latin1Header +
                "\r\n<\xAA"
                "b \xB5=\"1\"  c=\"\xE9\" >\r\n\t<\xBA>\r\n\t\tt\xE9\r\n\t</\xBA>\r\n</\xAA"
                "b>\r\n")
      << "written in ISO-8859-1, with a declaration that says so even in layout 4";
  XmlTree versioned;
  XmlNode* versionedDoc = ParseDoc(versioned, cases[2].source);
  ASSERT_NE(versionedDoc, nullptr);
  EXPECT_EQ(Build(versionedDoc, 0), kHeader + "\r\n<r a=\"\xC3\xA9\" >\xC3\xA9</r>")
      << "the ISO-8859-1 declaration gives way to the header: the text is UTF-8";
  XmlTree brackets;
  XmlNode* bracketsDoc = ParseDoc(brackets, cases[3].source);
  ASSERT_NE(bracketsDoc, nullptr);
  EXPECT_EQ(Build(bracketsDoc, 5), "<r><a>x]]&gt;y</a><b>]]</b></r>")
      << "layout 5 never writes ]]> as element text";
}

TEST(XmlWriterLayouts, PrettyLayoutsKeepTextThatTheParserCutTogether) {
  // expat converts an ISO-8859-1 document in parts of about 1 KiB, so a long comment, PI or
  // reference arrives in pieces. Move the end of a comment across that border: the pretty
  // layouts must not put white space between pieces of "-->" (or of anything else).
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
  int cutInsideTheEnd = 0;
  for (size_t filler = 960; filler <= 1060; ++filler) {
    const std::string source = declaration + "<r><!--" + std::string(filler, 'x') + "-->t<?pi " +
                               std::string(filler, 'y') + "?></r>";
    XmlTree tree;
    XmlNode* doc = ParseDoc(tree, source);
    ASSERT_NE(doc, nullptr) << filler;
    XmlNode* first = ChildNamed(doc, "r")->GetFirstChild();
    ASSERT_NE(first, nullptr);
    const std::string piece = Name(first);
    if (first->GetNextSibling() != nullptr && piece.rfind("<!--", 0) == 0 &&
        piece.find("-->") == std::string::npos && piece.back() == '-') {
      ++cutInsideTheEnd;
    }
    for (int32_t layout : {3, 4}) {
      WriteAndReparse(doc, layout, "filler " + std::to_string(filler));
    }
  }
  EXPECT_GT(cutInsideTheEnd, 0) << "some comment must have been cut inside its \"-->\"";
}

TEST(XmlWriterLayouts, EndTagNodesAndFlags) {
  std::unique_ptr<XmlNode> top(xmltest::MakeNode(nullptr, "top", XmlNodeKind::Document));
  XmlNode* open = xmltest::MakeNode(top.get(), "a");
  XmlNode* text = xmltest::MakeNode(top.get(), "text", XmlNodeKind::Text);
  XmlNode* close = xmltest::MakeNode(top.get(), "a", XmlNodeKind::EndTag);
  (void)open;
  (void)close;
  text->SetNewlineAlways(true);
  EXPECT_EQ(Build(top.get(), 4), "<a/>\r\n\r\ntext\r\n</a>\r\n")
      << "pretty layout: newline-always suppresses the layout's own line break";
  EXPECT_EQ(Build(top.get(), 0), kHeader + "\r\n<a/>text\r\n</a>");
}

TEST(XmlWriterLayouts, AttributeValuesAreEscapedInXmlLayouts) {
  XmlTree tree;
  XmlNode* doc =
      ParseDoc(tree, "<r v='say \"hi\" &amp; a&lt;b &#9;tab&#10;line&#13;' w=\"plain &gt;\"/>");
  ASSERT_NE(doc, nullptr);
  XmlNode* r = doc->GetFirstChild();
  ASSERT_EQ(xmltest::Str(r->GetAttributeValue("v")), "say \"hi\" & a<b \ttab\nline\r");
  const std::string escaped =
      "v=\"say &quot;hi&quot; &amp; a&lt;b &#9;tab&#10;line&#13;\"  w=\"plain >\" ";
  EXPECT_EQ(Build(doc, 0), kHeader + "\r\n<r " + escaped + "/>");
  EXPECT_EQ(Build(doc, 5),
            "<r><v>say &quot;hi&quot; &amp; a&lt;b &#9;tab&#10;line&#13;</v><w>plain "
            "></w></r>");
  EXPECT_EQ(Build(doc, 1), "doc.krn\r\nr v=\"say \"hi\" & a<b \ttab\nline\r\"  w=\"plain >\" \r\n")
      << "outline layouts stay raw";

  // The escaped output reads back to the same values.
  for (int32_t layout : {0, 3}) {
    const std::string out = Build(doc, layout);
    XmlTree back;
    XmlNode* doc2 = ParseDoc(back, out);
    ASSERT_NE(doc2, nullptr) << "output of layout " << layout << " must parse: " << out;
    XmlNode* r2 = ChildNamed(doc2, "r");
    ASSERT_NE(r2, nullptr);
    EXPECT_EQ(xmltest::Str(r2->GetAttributeValue("v")), "say \"hi\" & a<b \ttab\nline\r");
    EXPECT_EQ(xmltest::Str(r2->GetAttributeValue("w")), "plain >");
  }

  // An attribute without a name cannot be written.
  ASSERT_TRUE(r->SetAttribute("", "x"));
  EXPECT_EQ(Build(doc, 0), "FAILED") << "an unnamed attribute fails the XML layouts";
  EXPECT_EQ(Build(doc, 1), "FAILED") << "an unnamed attribute fails the outline layouts";
}

// A node of a class other than the tree's own, with what the writer reads: links, name,
// kind and flags, no attributes. It appends itself as a last child, and detaches itself
// (after its children) when destroyed.
class ForeignNode final : public XmlNode {
 public:
  ForeignNode(const char* text, XmlNodeKind nodeKind) : kind(nodeKind) {
    name.SetText(text, -1, 0);
  }
  ~ForeignNode() override {
    while (firstChild != nullptr) delete firstChild;
    Detach();
  }
  bool IsValid() override { return true; }
  XmlNode* GetParent() override { return parent; }
  XmlNode* GetFirstChild() override { return firstChild; }
  XmlNode* GetPrevSibling() override { return prev; }
  XmlNode* GetNextSibling() override { return next; }
  XmlNode* GetNextInDocument(XmlNode* stop, int32_t* depth) override {
    if (firstChild != nullptr) {
      if (depth != nullptr) ++*depth;
      return firstChild;
    }
    if (next != nullptr) return next;
    for (XmlNode* p = parent; p != nullptr && p != stop; p = p->GetParent()) {
      if (depth != nullptr) --*depth;
      if (p->GetNextSibling() != nullptr) return p->GetNextSibling();
    }
    return nullptr;
  }
  XmlNode* GetPrevInDocument() override { return nullptr; }
  XmlNode* GetFirstSibling() override { return nullptr; }
  XmlNode* GetLastSibling() override { return nullptr; }
  void SetParent(XmlNode* node) override { parent = node; }
  void SetFirstChild(XmlNode* node) override { firstChild = node; }
  void SetPrevSibling(XmlNode* node) override { prev = node; }
  void SetNextSibling(XmlNode* node) override { next = node; }
  bool SwapWithSibling(XmlNode*) override { return false; }
  bool MoveUnder(XmlNode*) override { return false; }
  bool MakeLastSibling() override { return false; }
  bool MakeFirstSibling() override { return false; }
  bool Detach() override {
    if (parent == nullptr) return false;
    if (parent->GetFirstChild() == this) parent->SetFirstChild(next);
    if (prev != nullptr) prev->SetNextSibling(next);
    if (next != nullptr) next->SetPrevSibling(prev);
    parent = prev = next = nullptr;
    return true;
  }
  bool DetachAndDelete() override { return false; }
  uint32_t GetChildCount() override { return 0; }
  XmlNode* CreateChild(XmlNode*, const char*, int32_t, XmlNodeKind, int32_t*, int32_t) override {
    return nullptr;
  }
  XmlNode* InsertUnder(XmlNode* newParent, int32_t*, int32_t) override {
    XmlNode* last = newParent->GetFirstChild();
    while (last != nullptr && last->GetNextSibling() != nullptr) last = last->GetNextSibling();
    if (last == nullptr) {
      newParent->SetFirstChild(this);
    } else {
      last->SetNextSibling(this);
    }
    prev = last;
    parent = newParent;
    return this;
  }
  uint32_t GetIndexInParent() override { return 0; }
  bool Init(const char*, int32_t, XmlNodeKind, const char* const*) override { return false; }
  void SetIndentAlways(bool on) override { indent = on; }
  void SetNewlineAlways(bool on) override { newline = on; }
  void SetFromSource(bool on) override { fromSource = on; }
  bool GetIndentAlways() override { return indent; }
  bool GetNewlineAlways() override { return newline; }
  bool IsFromSource() override { return fromSource; }
  XmlNodeKind GetKind() override { return kind; }
  bool SetAttributes(const char* const*) override { return false; }
  bool RemoveAllAttributes() override { return true; }
  uint32_t GetNameLength() override { return name.Length(); }
  StringBuffer* GetName() override { return &name; }
  bool SetName(const char*, int32_t) override { return false; }
  uint32_t GetAttributeCount() override { return 0; }
  bool GetAttributeNameLength(uint32_t, uint32_t*) override { return false; }
  StringBuffer* GetAttributeName(uint32_t) override { return XmlEmptySentinel(); }
  bool GetAttributeValueLength(uint32_t, uint32_t*) override { return false; }
  bool GetFloatAttribute(const char*, float*) override { return false; }
  bool GetIntAttribute(const char*, int32_t*) override { return false; }
  bool GetAttributeText(const char*, const char**) override { return false; }
  bool GetIntAttributeAt(uint32_t, int32_t*) override { return false; }
  bool GetFloatAttributeAt(uint32_t, float*) override { return false; }
  StringBuffer* GetAttributeValueAt(uint32_t) override { return XmlErrorStrSentinel(); }
  StringBuffer* GetAttributeValue(const char*) override { return XmlEmptySentinel(); }
  bool SetFloatAttribute(const char*, float) override { return false; }
  bool SetIntAttribute(const char*, int32_t) override { return false; }
  bool SetAttribute(const char*, const char*) override { return false; }
  int32_t GetLine() override { return 0; }
  void SetLine(int32_t) override {}

 private:
  XmlNode* parent = nullptr;
  XmlNode* firstChild = nullptr;
  XmlNode* prev = nullptr;
  XmlNode* next = nullptr;
  StringBuffer name;
  XmlNodeKind kind;
  bool indent = false;
  bool newline = false;
  bool fromSource = true;
};

TEST(XmlWriterLayouts, TreesWithNodesOfAnotherClassWriteTheSame) {
  // One tree shape, built once of the tree's own class only and once with the node named
  // `foreign` of another class; every layout must give the same text. An element name
  // with U+00B5 makes the tree one for ISO-8859-1.
  const std::string latin1Header = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
  struct Case {
    const char* foreign;
    const char* elementName;
    std::string header;  // the first line of the XML layouts with header
  };
  const Case cases[] = {
      {"top", "b", kHeader},
      {"a", "b", kHeader},
      {"b", "b", kHeader},
      {"d", "b", kHeader},
      {"b", "b\xC2\xB5", latin1Header},
      {"d", "b\xC2\xB5", latin1Header},
  };
  for (const Case& c : cases) {
    // top: a (added by a caller), text "t", element b holding c v="x<y" and a text.
    auto build = [&](bool mixed) {
      auto make = [&](XmlNode* parent, const char* key, const char* name, XmlNodeKind kind) {
        XmlNode* node = mixed && std::string(key) == c.foreign
                            ? static_cast<XmlNode*>(new ForeignNode(name, kind))
                            : xmltest::MakeNode(nullptr, name, kind);
        node->SetFromSource(std::string(key) != "a");
        if (parent != nullptr) node->InsertUnder(parent, nullptr, -1);
        return node;
      };
      XmlNode* top = make(nullptr, "top", "top", XmlNodeKind::Document);
      make(top, "a", "a", XmlNodeKind::Element);
      make(top, "t", "t", XmlNodeKind::Text);
      XmlNode* b = make(top, "b", c.elementName, XmlNodeKind::Element);
      make(b, "c", "c", XmlNodeKind::Element)->SetAttribute("v", "x<y");
      make(b, "d", "\xC3\xA9 & more", XmlNodeKind::Text);
      return std::unique_ptr<XmlNode>(top);
    };
    std::unique_ptr<XmlNode> own = build(false);
    std::unique_ptr<XmlNode> mixed = build(true);
    for (int32_t layout = 0; layout <= 5; ++layout) {
      const std::string expected = Build(own.get(), layout);
      if (layout == 0 || layout == 3) {
        EXPECT_EQ(expected.rfind(c.header + "\r\n", 0), 0u) << c.elementName << ":\n" << expected;
      }
      EXPECT_EQ(Build(mixed.get(), layout), expected)
          << "foreign " << c.foreign << ", element " << c.elementName << ", layout " << layout;
    }
  }
}
}  // namespace

namespace {

// A PathBuffer for a native file path, in the program's view.
PathBuffer ProgramPath(const std::string& native) {
  char programPath[kPathSize];
  EXPECT_TRUE(ProgramPathFromNative(native.c_str(), programPath, sizeof programPath)) << native;
  return PathBuffer(programPath);
}

std::string ReadNative(const std::string& native) {
  std::ifstream in(native, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(XmlWriterFile, WriteToFileWritesTheWholeTextOrFails) {
  const std::filesystem::path base = std::filesystem::temp_directory_path() /
                                     ("krn_xml_writer_" + std::to_string(std::random_device{}()));
  ASSERT_TRUE(std::filesystem::create_directory(base)) << base;
  const std::string dir = base.string();
  const std::string file = dir + "/out.xml";

  XmlTree tree;
  XmlNode* doc = ParseDoc(tree, kSmall);
  ASSERT_NE(doc, nullptr);
  {
    std::ofstream old(file, std::ios::binary);
    old << std::string(5000, 'x');
  }
  ASSERT_TRUE(tree.WriteToFile(ProgramPath(file), doc, 3));
  EXPECT_EQ(ReadNative(file), Build(doc, 3)) << "the file holds exactly the built text";

  XmlNode* childless = xmltest::MakeNode(doc, "childless");
  EXPECT_FALSE(tree.WriteToFile(ProgramPath(file), childless, 0))
      << "a writer failure must fail the call";
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(ReadNative(file), "") << "after a writer failure the file is left empty";

  EXPECT_FALSE(tree.WriteToFile(ProgramPath(dir + "/missing/out.xml"), doc, 0))
      << "a file that cannot be created fails";
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_FALSE(tree.WriteToFile(ProgramPath("/dev/full"), doc, 0))
        << "a write that fails must not be reported as success";
  }
  std::filesystem::remove_all(dir);
}

TEST(XmlWriterFile, TextsLongerThanABlockGoOutWhole) {
  // The file gets the text in blocks, the first on its own, then a ring of them filled in
  // turn. A text chunk longer than the first block and the ring together (so ring blocks are
  // filled again), and an attribute value of references that fall across block ends; in
  // ISO-8859-1 the writer starts again once blocks went out; a failure at the end, after
  // blocks went out, leaves the file empty.
  const std::filesystem::path base = std::filesystem::temp_directory_path() /
                                     ("krn_xml_blocks_" + std::to_string(std::random_device{}()));
  ASSERT_TRUE(std::filesystem::create_directory(base)) << base;
  const std::string file = (base / "out.xml").string();
  const size_t block = XmlFileTarget::kBlock;
  std::string references;
  for (size_t i = 0; i < block / 3; ++i) references += "&amp;";
  // A text of `filler` longer than seven blocks.
  auto body = [&](const char* filler) {
    std::string text;
    while (text.size() <= 7 * block) text += filler;
    return "<r v=\"" + references + "\"><t>" + text + "</t><z q=\"&lt;\"/></r>";
  };
  // Its letters take two bytes in UTF-8, one in ISO-8859-1: the text written again is
  // shorter than the one it replaces.
  const std::string latin1 =
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><\xB5>" + body("\xE9") + "</\xB5>";
  struct Case {
    const char* what;
    std::string source;
    bool unnamedAttributeAtTheEnd;
  };
  const Case cases[] = {
      {"UTF-8", body("x"), false},
      {"ISO-8859-1", latin1, false},
      {"a failure at the end", body("x"), true},
  };
  for (const Case& c : cases) {
    XmlTree tree;
    XmlNode* doc = ParseDoc(tree, c.source);
    ASSERT_NE(doc, nullptr) << c.what;
    if (c.unnamedAttributeAtTheEnd) {
      XmlNode* z = ChildNamed(ChildNamed(doc, "r"), "z");
      ASSERT_NE(z, nullptr);
      ASSERT_TRUE(z->SetAttribute("", "x"));
    }
    for (int32_t layout : {0, 5}) {
      const std::string text = Build(doc, layout);
      const bool written = tree.WriteToFile(ProgramPath(file), doc, layout);
      if (c.unnamedAttributeAtTheEnd) {
        EXPECT_FALSE(written) << c.what << ", layout " << layout;
        EXPECT_EQ(ReadNative(file), "") << c.what << ", layout " << layout;
        continue;
      }
      EXPECT_TRUE(written) << c.what << ", layout " << layout;
      EXPECT_GT(text.size(), 7 * block) << c.what << ", layout " << layout;
      EXPECT_TRUE(ReadNative(file) == text) << c.what << ", layout " << layout;
    }
  }
  if (std::filesystem::exists("/dev/full")) {
    // The blocks go out on a thread of their own: a write that fails there fails the call.
    XmlTree tree;
    XmlNode* doc = ParseDoc(tree, body("x"));
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(tree.WriteToFile(ProgramPath("/dev/full"), doc, 0))
        << "a block that cannot be written must fail the call";
  }
  std::filesystem::remove_all(base);
}

}  // namespace
