#include "xml/xml_writer.h"

#include <cstring>
#include <type_traits>
#include <typeinfo>

#include "base/file_handle.h"
#include "base/string_buffer.h"
#include "xml/xml_linked_node.h"
#include "xml/xml_markup_scanner.h"
#include "xml/xml_node.h"
#include "xml/xml_text_sink.h"

namespace {

constexpr char kHeader[] = "<?xml version=\"1.0\"?>";
constexpr char kLatin1Header[] = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
constexpr char kBeginMarker[] = "<!-- BEGIN This Section added by Quorrelix (QRX) -->";
constexpr char kEndMarker[] = "<!-- END This Section added by Quorrelix (QRX) -->";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The writer reads the nodes as class Node: XmlNode, through the virtual interface, or
// XmlLinkedNode, whose reads compile to loads, once every node of the subtree is known to
// be of that class.
template <class Node>
Node* As(XmlNode* node) {
  return static_cast<Node*>(node);
}

// True when the node can be read as class Node: always for XmlNode, else when it is of that
// very class.
template <class Node>
bool OfClass(XmlNode* node) {
  if constexpr (std::is_same_v<Node, XmlNode>) {
    return true;
  } else {
    return typeid(*node) == typeid(Node);
  }
}

// True when the node's name begins with a space, tab, carriage return or line feed.
bool StartsBlank(XmlNode* node) {
  const char* text = node->GetName()->Data();
  return text != nullptr && IsBlank(text[0]);
}

// True when the node's name is made only of those four characters: the layout white space
// between tags, which the pretty layouts replace by their own. A chunk that also holds other
// text is content and is kept.
template <class Node>
bool IsBlankOnly(Node* node) {
  const char* text = node->GetName()->Data();
  if (text == nullptr || text[0] == 0) return false;
  while (IsBlank(*text)) ++text;
  return *text == 0;
}

// The from-source flag of a node that may be null, or not yet known to be of class Node.
template <class Node>
bool FromSource(XmlNode* node) {
  if (node == nullptr) return false;
  return OfClass<Node>(node) ? As<Node>(node)->IsFromSource() : node->IsFromSource();
}

template <class Node>
bool IsChildlessElement(Node* node) {
  return node->GetKind() == XmlNodeKind::Element && node->GetFirstChild() == nullptr;
}

// True when the node's name is exactly `text`.
template <class Node>
bool TextEquals(Node* node, const char* text) {
  const char* name = node->GetName()->Data();
  return name != nullptr && std::strcmp(name, text) == 0;
}

// True when the node is an XML declaration: the header itself, or any "<?xml" declaration,
// which must stay the first thing of the output, so no header goes before it.
template <class Node>
bool IsDeclaration(Node* node) {
  const char* text = node->GetName()->Data();
  if (text == nullptr) return false;
  if (TextEquals(node, kHeader)) return true;
  return std::strncmp(text, "<?xml", 5) == 0 && IsBlank(text[5]);
}

// The value of the encoding pseudo-attribute of an XML declaration text, found by reading
// the pseudo-attributes in turn (so that a version value holding the word "encoding" is not
// taken for it). Sets `length` and returns the value's first byte, or null when the
// declaration names no encoding.
const char* DeclaredEncoding(const char* text, uint32_t& length) {
  const char* p = text + 5;  // after "<?xml"
  for (;;) {
    while (IsBlank(*p)) ++p;
    const char* name = p;
    while (*p != 0 && *p != '=' && !IsBlank(*p) && *p != '?') ++p;
    const size_t nameLength = static_cast<size_t>(p - name);
    while (IsBlank(*p)) ++p;
    if (nameLength == 0 || *p != '=') return nullptr;
    ++p;
    while (IsBlank(*p)) ++p;
    const char quote = *p;
    if (quote != '"' && quote != '\'') return nullptr;
    const char* value = ++p;
    while (*p != 0 && *p != quote) ++p;
    if (*p == 0) return nullptr;
    if (nameLength == 8 && std::strncmp(name, "encoding", 8) == 0) {
      length = static_cast<uint32_t>(p - value);
      return value;
    }
    ++p;
  }
}

// True when the length bytes at text equal name without regard to ASCII case.
bool EqualsIgnoringCase(const char* text, uint32_t length, const char* name) {
  if (std::strlen(name) != length) return false;
  for (uint32_t i = 0; i < length; ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != name[i]) return false;
  }
  return true;
}

// The attributes of a node read as Node, by index below count.
template <class Node>
class AttributesOf {
 public:
  // None, for a node that is not an element.
  AttributesOf() : node(nullptr), count(0) {}
  explicit AttributesOf(Node* node) : node(node), count(node->GetAttributeCount()) {}
  StringBuffer* Name(uint32_t index) const { return node->GetAttributeName(index); }
  StringBuffer* Value(uint32_t index) const { return node->GetAttributeValueAt(index); }

 private:
  Node* node;

 public:
  const uint32_t count;
};

// XmlLinkedNode finds its attribute storage once for all of them.
template <>
class AttributesOf<XmlLinkedNode> {
 public:
  AttributesOf() : count(0) {}
  explicit AttributesOf(XmlLinkedNode* node) : list(node->ReadAttributes()), count(list.Count()) {}
  StringBuffer* Name(uint32_t index) const { return list.Name(index); }
  StringBuffer* Value(uint32_t index) const { return list.Value(index); }

 private:
  const XmlLinkedNode::AttributeList list;

 public:
  const uint32_t count;
};

// The node after `node` in pre-order below `top`, or null at the end of the subtree.
template <class Node>
XmlNode* NextBelow(Node* node, XmlNode* top) {
  if (node->GetFirstChild() != nullptr) return node->GetFirstChild();
  for (;;) {
    if (node->GetNextSibling() != nullptr) return node->GetNextSibling();
    XmlNode* up = node->GetParent();
    if (up == top || up == nullptr) return nullptr;
    node = As<Node>(up);
  }
}

// The parser hands every text over in UTF-8, and the writer writes UTF-8 -- except for a
// tree whose names hold U+00AA, U+00B5 or U+00BA: expat takes these letters as name
// characters only in an ISO-8859-1 document, so such a tree is written in ISO-8859-1 when
// all its names and text fit that encoding (attribute values can always be escaped).
class EncodingSurvey {
 public:
  // Takes the node's name and, for an element, its attribute names.
  template <class Node>
  void Take(Node* node) {
    // Once the text does not fit, nothing changes the answer.
    if (!fits) return;
    Look(node->GetName());
    if (node->GetKind() != XmlNodeKind::Element) return;
    const AttributesOf<Node> attributes(node);
    for (uint32_t i = 0; i < attributes.count; ++i) Look(attributes.Name(i));
  }
  // True when the nodes taken are to be written in ISO-8859-1.
  bool Latin1() const { return latin1Names && fits; }

 private:
  // Notes whether text holds one of the three letters, and whether it fits ISO-8859-1.
  void Look(StringBuffer* text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text->Data());
    if (p == nullptr) return;
    const size_t length = XmlTextSink::TextLength(text);
    if (IsAscii(p, length)) return;
    for (const unsigned char* end = p + length; p < end; ++p) {
      if (*p < 0x80) continue;
      // p[1] is at most the text's terminating zero.
      if (*p == 0xC2 && (p[1] == 0xAA || p[1] == 0xB5 || p[1] == 0xBA)) latin1Names = true;
      if ((*p == 0xC2 || *p == 0xC3) && (p[1] & 0xC0) == 0x80) {
        ++p;
      } else if (*p >= 0xC4) {
        fits = false;
      }
    }
  }

  // True when the `length` bytes at p are all below 0x80, the usual case: the bytes are
  // taken eight or four at a time, the last pieces overlapping the ones before.
  static bool IsAscii(const unsigned char* p, size_t length) {
    uint64_t bits = 0;
    if (length >= 8) {
      uint64_t word;
      for (size_t i = 0; i + 8 <= length; i += 8) {
        std::memcpy(&word, p + i, 8);
        bits |= word;
      }
      std::memcpy(&word, p + length - 8, 8);
      bits |= word;
    } else if (length >= 4) {
      uint32_t head, tail;
      std::memcpy(&head, p, 4);
      std::memcpy(&tail, p + length - 4, 4);
      bits = head | tail;
    } else {
      for (size_t i = 0; i < length; ++i) bits |= p[i];
    }
    return (bits & 0x8080808080808080ull) == 0;
  }

  bool latin1Names = false;
  bool fits = true;
};

// True when the subtree below `top`, read as Node, is to be written in ISO-8859-1.
template <class Node>
bool WantsLatin1(XmlNode* top) {
  EncodingSurvey survey;
  for (XmlNode* node = top->GetFirstChild(); node != nullptr;
       node = NextBelow(As<Node>(node), top)) {
    survey.Take(As<Node>(node));
  }
  return survey.Latin1();
}

// Name, and for elements the attributes as ` name="value" `, of one outline line.
bool OutlineLine(XmlTextSink& sink, XmlNode* node) {
  if (!sink.Add(node->GetName())) return false;
  if (node->GetKind() != XmlNodeKind::Element) return true;
  const uint32_t count = node->GetAttributeCount();
  for (uint32_t i = 0; i < count; ++i) {
    StringBuffer* attrName = node->GetAttributeName(i);
    if (attrName->Data() == nullptr || attrName->Data()[0] == 0) return false;
    if (!sink.Mark(' ') || !sink.Add(attrName) || !sink.Mark("=\"") ||
        !sink.Add(node->GetAttributeValueAt(i)) || !sink.Mark("\" ")) {
      return false;
    }
  }
  return true;
}

// Layouts 1 and 2: one line per node, indented by its depth below the top.
bool WriteOutline(XmlTextSink& sink, XmlNode* top, bool skipBlank) {
  if (!OutlineLine(sink, top)) return false;
  if ((!skipBlank || !StartsBlank(top)) && !sink.LineBreak()) return false;
  int32_t depth = 0;
  for (XmlNode* node = top->GetFirstChild(); node != nullptr;
       node = node->GetNextInDocument(top, &depth)) {
    if (skipBlank && StartsBlank(node)) continue;
    if (!sink.Tabs(depth) || !OutlineLine(sink, node) || !sink.LineBreak()) return false;
  }
  return true;
}

// Layouts 0, 3, 4 and 5: XML text regenerated from the nodes below the top, read as Node.
template <class Node>
class XmlLayoutWriter {
 public:
  XmlLayoutWriter(XmlTextSink& sink, XmlNode* top, int32_t layout)
      : sink(sink),
        top(top),
        pretty(layout == 3 || layout == 4),
        attributesAsElements(layout == 5),
        header(layout != 4 && layout != 5) {}

  // Writes the text in ISO-8859-1 when `latin1` is set, else in UTF-8. False when the text
  // cannot be written, or when a node cannot be read as Node (otherClass is then set).
  bool Walk(bool latin1) {
    if (!OfClass<Node>(top)) return OtherClass();
    Node* q = nullptr;
    if (top->GetFirstChild() == nullptr || !Visit(top->GetFirstChild(), q)) return false;
    if (latin1) sink.WriteLatin1();
    // The output states its encoding: a parsed declaration stays when it names the encoding
    // the text is written in (none means UTF-8), otherwise the header takes its place. Layouts
    // without header leave out a parsed header as well, unless the text is not UTF-8.
    uint32_t skip = 0;
    bool declared = false;
    if (IsDeclaration(q)) {
      StringBuffer declaration;
      uint32_t nodes = 0;
      if (!LeadingDeclaration(q, declaration, nodes)) return false;
      uint32_t length = 0;
      const char* encoding = DeclaredEncoding(declaration.Data(), length);
      const bool matches =
          latin1 ? encoding != nullptr && EqualsIgnoringCase(encoding, length, "ISO-8859-1")
                 : encoding == nullptr || EqualsIgnoringCase(encoding, length, "UTF-8");
      declared = matches && (header || latin1 || !TextEquals(q, kHeader));
      if (!declared) skip = nodes;
    }
    if (!declared && (header || latin1) &&
        !((latin1 ? sink.Mark(kLatin1Header) : sink.Mark(kHeader)) && sink.LineBreak())) {
      return false;
    }
    int32_t depth = 0;
    for (;;) {
      bool write = true;
      if (skip > 0) {
        --skip;
        write = false;
      } else if (pretty && !markup.Inside() && IsBlankOnly(q)) {
        write = false;
      }
      if (write && !WriteNode(q, depth)) return false;
      // Advance in pre-order, closing every element that is left on the way up.
      if (q->GetFirstChild() != nullptr) {
        ++depth;
        if (!Visit(q->GetFirstChild(), q)) return false;
        continue;
      }
      if (q->GetNextSibling() != nullptr) {
        if (!Visit(q->GetNextSibling(), q)) return false;
        continue;
      }
      XmlNode* up = q->GetParent();
      for (;;) {
        if (up == top || up == nullptr) return true;
        Node* p = As<Node>(up);  // a node visited on the way down
        --depth;
        if (pretty && !p->GetIndentAlways() && !sink.Tabs(depth)) return false;
        if (!ClosingLine(p, depth)) return false;
        markup.Reset();
        if (pretty && !p->GetNewlineAlways() && !sink.LineBreak()) return false;
        XmlNode* next = p->GetNextSibling();
        if (next != nullptr) {
          if (!p->IsFromSource() && FromSource<Node>(next) && !EndMarker()) return false;
          if (!Visit(next, q)) return false;
          break;
        }
        if (!p->IsFromSource() && FromSource<Node>(p->GetParent()) && !EndMarker()) return false;
        up = p->GetParent();
      }
    }
  }

  // True when a walk stopped at a node that cannot be read as Node.
  bool otherClass = false;

 private:
  bool EndMarker() { return sink.Mark(kEndMarker) && sink.LineBreak(); }

  bool OtherClass() {
    otherClass = true;
    return false;
  }

  // Makes `node` the current node `q`; false when it cannot be read as Node.
  bool Visit(XmlNode* node, Node*& q) {
    if (!OfClass<Node>(node)) return OtherClass();
    q = As<Node>(node);
    return true;
  }

  // The XML declaration at the start: the first child's text, continued over the following
  // Text siblings when the parser handed it over in pieces (it converts long texts in parts).
  // Sets nodes to the number of nodes it spans. False when the buffer cannot grow, or at a
  // node that cannot be read as Node.
  bool LeadingDeclaration(Node* first, StringBuffer& text, uint32_t& nodes) {
    uint32_t length = 0;
    nodes = 0;
    for (XmlNode* n = first; n != nullptr; n = n->GetNextSibling()) {
      if (!OfClass<Node>(n)) return OtherClass();
      if (As<Node>(n)->GetKind() != XmlNodeKind::Text) break;
      StringBuffer* piece = As<Node>(n)->GetName();
      if (piece->Data() != nullptr) {
        if (!text.SetText(piece->Data(), -1, length)) return false;
        length += piece->Length();
      }
      ++nodes;
      if (text.Data() != nullptr && std::strstr(text.Data(), "?>") != nullptr) break;
    }
    return true;
  }

  // One node's own output: markers, indentation and its tag line. In pretty layouts a piece
  // of text that continues a construct (a comment, a reference, ...) the parser handed over
  // in parts follows the previous piece directly: white space there would break it.
  bool WriteNode(Node* q, int32_t depth) {
    const bool fromSource = q->IsFromSource();
    if (!fromSource && FromSource<Node>(q->GetPrevSibling()) &&
        !(sink.Mark(kBeginMarker) && sink.LineBreak())) {
      return false;
    }
    const XmlNodeKind kind = q->GetKind();
    const bool text = kind != XmlNodeKind::Element && kind != XmlNodeKind::EndTag;
    const bool continues = pretty && text && markup.Inside();
    if (pretty && depth > 0 && !continues && !q->GetIndentAlways() && !sink.Tabs(depth)) {
      return false;
    }
    if (!TagLine(q, depth)) return false;
    if (pretty && text) {
      StringBuffer* name = q->GetName();
      if (name->Data() != nullptr) {
        markup.Feed(name->Data(), static_cast<uint32_t>(XmlTextSink::TextLength(name)));
      }
    } else if (pretty) {
      markup.Reset();
    }
    const bool open = pretty && text && markup.Inside();
    if (pretty && !open && !q->GetNewlineAlways() && !sink.LineBreak()) return false;
    if (IsChildlessElement(q)) {
      if (!fromSource) {
        XmlNode* reference = q->GetNextSibling() != nullptr ? q->GetNextSibling() : q->GetParent();
        if (FromSource<Node>(reference) && !EndMarker()) return false;
      }
      if (pretty && !q->GetNewlineAlways() && !sink.LineBreak()) return false;
    } else if (kind != XmlNodeKind::Element && !fromSource &&
               FromSource<Node>(q->GetNextSibling()) && !EndMarker()) {
      return false;
    }
    return true;
  }

  bool TagLine(Node* q, int32_t depth) {
    const XmlNodeKind kind = q->GetKind();
    const bool element = kind == XmlNodeKind::Element;
    if (q->GetIndentAlways() && !sink.Tabs(depth)) return false;
    if (kind == XmlNodeKind::EndTag && !sink.Mark("</")) return false;
    if (element && !sink.Mark('<')) return false;
    if (!sink.Add(q->GetName())) return false;
    const AttributesOf<Node> attributes = element ? AttributesOf<Node>(q) : AttributesOf<Node>();
    const uint32_t count = attributes.count;
    if (count > 0) {
      if (!attributesAsElements) {
        for (uint32_t i = 0; i < count; ++i) {
          StringBuffer* attrName = attributes.Name(i);
          if (attrName->Data() == nullptr || attrName->Data()[0] == 0) return false;
          if (!sink.AddAttribute(attrName, attributes.Value(i))) return false;
        }
      } else {
        if (!sink.Mark('>')) return false;
        for (uint32_t i = 0; i < count; ++i) {
          StringBuffer* attrName = attributes.Name(i);
          if (attrName->Data() == nullptr || attrName->Data()[0] == 0) return false;
          if (!sink.Mark('<') || !sink.Add(attrName) || !sink.Mark('>') ||
              !sink.AddEscaped(attributes.Value(i)) || !sink.Mark("</") || !sink.Add(attrName)) {
            return false;
          }
          if (i + 1 < count && !sink.Mark('>')) return false;
        }
        if (q->GetFirstChild() == nullptr) {
          // The element is complete: end the last attribute, then close the element.
          return sink.Mark('>') && sink.Mark("</") && sink.Add(q->GetName()) && sink.Mark('>');
        }
      }
    }
    if (kind == XmlNodeKind::EndTag && !sink.Mark('>')) return false;
    if (element && !(q->GetFirstChild() == nullptr ? sink.Mark("/>") : sink.Mark('>'))) {
      return false;
    }
    if (q->GetNewlineAlways() && !sink.LineBreak()) return false;
    return true;
  }

  bool ClosingLine(Node* p, int32_t depth) {
    if (p->GetIndentAlways() && !sink.Tabs(depth)) return false;
    if (!sink.Mark("</") || !sink.Add(p->GetName()) || !sink.Mark('>')) return false;
    if (p->GetNewlineAlways() && !sink.LineBreak()) return false;
    return true;
  }

  XmlTextSink& sink;
  XmlNode* top;
  XmlMarkupScanner markup;
  bool pretty;
  bool attributesAsElements;
  bool header;
};

// Writes `top`'s subtree in `layout` into the sink. The nodes are read as XmlLinkedNode,
// or, when one is of another class, through the interface from the start again. The text
// is written in UTF-8 unless the tree turns out to need ISO-8859-1, which starts it again;
// only a text with bytes beyond ASCII can, so only such a text has its names surveyed.
bool WriteLayout(XmlTextSink& sink, XmlNode* top, int32_t layout) {
  if (layout == 1 || layout == 2) return WriteOutline(sink, top, layout == 2);
  XmlLayoutWriter<XmlLinkedNode> linked(sink, top, layout);
  bool ok = linked.Walk(false);
  bool latin1 = false;
  if (ok) {
    latin1 = !sink.AllAscii() && WantsLatin1<XmlLinkedNode>(top);
  } else if (linked.otherClass) {
    if (!sink.Restart()) return false;
    ok = XmlLayoutWriter<XmlNode>(sink, top, layout).Walk(false);
    latin1 = ok && !sink.AllAscii() && WantsLatin1<XmlNode>(top);
  }
  // A walk that failed may have stopped before the bytes that tell: the names decide.
  if (!ok) latin1 = top->GetFirstChild() != nullptr && WantsLatin1<XmlNode>(top);
  if (!latin1) return ok;
  return sink.Restart() && XmlLayoutWriter<XmlNode>(sink, top, layout).Walk(true);
}

}  // namespace

bool BuildXmlText(XmlNode* top, int32_t layout, StringBuffer* out, uint32_t* length) {
  if (top == nullptr || out == nullptr) return false;
  XmlBufferTarget target(out);
  char* cur = nullptr;
  char* end = nullptr;
  const bool started = target.Start(cur, end);
  XmlTextSink sink(target, cur, end);
  bool ok = started && WriteLayout(sink, top, layout);
  ok = sink.Finish() && ok;
  if (length != nullptr) *length = static_cast<uint32_t>(sink.Length());
  return ok;
}

bool WriteXmlFile(XmlNode* top, int32_t layout, FileHandle& file) {
  if (top == nullptr) return false;
  XmlFileTarget target(file);
  char* cur = nullptr;
  char* end = nullptr;
  if (!target.Start(cur, end)) return false;
  XmlTextSink sink(target, cur, end);
  return WriteLayout(sink, top, layout) && sink.Finish();
}
