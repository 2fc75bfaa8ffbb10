#include "xml/xml_writer.h"

#include <cstdio>
#include <cstring>

#include "base/string_buffer.h"
#include "xml/xml_markup_scanner.h"
#include "xml/xml_node.h"

namespace {

constexpr char kHeader[] = "<?xml version=\"1.0\"?>";
constexpr char kLatin1Header[] = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
constexpr char kBeginMarker[] = "<!-- BEGIN This Section added by Quorrelix (QRX) -->";
constexpr char kEndMarker[] = "<!-- END This Section added by Quorrelix (QRX) -->";
constexpr char kLineBreak[] = "\r\n";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// True when the node's name begins with a space, tab, carriage return or line feed.
bool StartsBlank(XmlNode* node) {
  const char* text = node->GetName()->Data();
  return text != nullptr && IsBlank(text[0]);
}

// True when the node's name is made only of those four characters: the layout white space
// between tags, which the pretty layouts replace by their own. A chunk that also holds other
// text is content and is kept.
bool IsBlankOnly(XmlNode* node) {
  const char* text = node->GetName()->Data();
  if (text == nullptr || text[0] == 0) return false;
  while (IsBlank(*text)) ++text;
  return *text == 0;
}

bool FromSource(XmlNode* node) {
  return node != nullptr && node->IsFromSource();
}

bool IsChildlessElement(XmlNode* node) {
  return node->GetKind() == XmlNodeKind::Element && node->GetFirstChild() == nullptr;
}

// True when the node's name is exactly `text`.
bool TextEquals(XmlNode* node, const char* text) {
  const char* name = node->GetName()->Data();
  return name != nullptr && std::strcmp(name, text) == 0;
}

// True when the node is an XML declaration: the header itself, or any "<?xml" declaration,
// which must stay the first thing of the output, so no header goes before it.
bool IsDeclaration(XmlNode* node) {
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

// The parser hands every text over in UTF-8, and the writer writes UTF-8 -- except for a
// tree whose names hold U+00AA, U+00B5 or U+00BA: expat takes these letters as name
// characters only in an ISO-8859-1 document, so such a tree is written in ISO-8859-1 when
// all its names and text fit that encoding (attribute values can always be escaped).
class OutputEncoding {
 public:
  explicit OutputEncoding(XmlNode* top) {
    bool latin1Names = false;
    bool fits = true;
    for (XmlNode* node = top->GetFirstChild(); node != nullptr && fits;
         node = node->GetNextInDocument(top, nullptr)) {
      Look(node->GetName(), latin1Names, fits);
      if (node->GetKind() != XmlNodeKind::Element) continue;
      for (uint32_t i = 0; i < node->GetAttributeCount(); ++i) {
        Look(node->GetAttributeName(i), latin1Names, fits);
      }
    }
    latin1 = latin1Names && fits;
  }

  // True when the text is to be written in ISO-8859-1.
  bool latin1 = false;

 private:
  // Notes whether text holds one of the three letters, and whether it fits ISO-8859-1.
  static void Look(StringBuffer* text, bool& latin1Names, bool& fits) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text->Data());
    if (p == nullptr) return;
    for (; *p != 0; ++p) {
      if (*p < 0x80) continue;
      if (*p == 0xC2 && (p[1] == 0xAA || p[1] == 0xB5 || p[1] == 0xBA)) latin1Names = true;
      if ((*p == 0xC2 || *p == 0xC3) && (p[1] & 0xC0) == 0x80) {
        ++p;
      } else if (*p >= 0xC4) {
        fits = false;
      }
    }
  }
};

// Appends to a buffer while keeping the text's length, so appending never rescans the text.
class TextSink {
 public:
  explicit TextSink(StringBuffer* buffer) : out(buffer) {}

  // From now on UTF-8 text is written in ISO-8859-1; a character beyond it becomes a
  // character reference.
  void WriteLatin1() { latin1 = true; }

  bool Add(const char* text, uint32_t count) {
    if (count == 0) return true;
    if (latin1) return AddLatin1(text, count);
    return AddBytes(text, count);
  }
  bool Add(const char* text) { return Add(text, static_cast<uint32_t>(std::strlen(text))); }
  bool Add(char c) { return Add(&c, 1); }
  bool Add(StringBuffer* text) {
    return text->Data() == nullptr || Add(text->Data(), text->Length());
  }
  bool Tabs(int32_t count) {
    if (count <= 0) return true;
    if (!out->Fill('\t', static_cast<uint32_t>(count), length)) return false;
    length += static_cast<uint32_t>(count);
    return true;
  }
  bool LineBreak() { return Add(kLineBreak, 2); }

  // Appends an attribute value so that a parser gives it back unchanged: the markup
  // characters as entity references, and tab, line feed and carriage return as character
  // references, which attribute-value normalisation leaves alone.
  bool AddEscaped(StringBuffer* text) {
    const char* data = text->Data();
    if (data == nullptr) return true;
    const char* run = data;
    for (const char* p = data; *p != 0; ++p) {
      const char* reference = nullptr;
      switch (*p) {
        case '&':
          reference = "&amp;";
          break;
        case '>':
          // Only "]]>" needs it: as element text (layout 5) it would not be well-formed.
          if (p - data < 2 || p[-1] != ']' || p[-2] != ']') continue;
          reference = "&gt;";
          break;
        case '<':
          reference = "&lt;";
          break;
        case '"':
          reference = "&quot;";
          break;
        case '\t':
          reference = "&#9;";
          break;
        case '\n':
          reference = "&#10;";
          break;
        case '\r':
          reference = "&#13;";
          break;
        default:
          continue;
      }
      if (!Add(run, static_cast<uint32_t>(p - run)) || !Add(reference)) return false;
      run = p + 1;
    }
    return Add(run);
  }

  uint32_t Length() const { return length; }

 private:
  bool AddBytes(const char* text, uint32_t count) {
    // While the storage has room, copy straight behind the text; only growth goes through
    // SetText. The pieces are never parts of the output itself.
    char* data = out->MutableData();
    if (data != nullptr && uint64_t{length} + count < out->Capacity()) {
      std::memcpy(data + length, text, count);
      length += count;
      data[length] = '\0';
      return true;
    }
    if (!out->SetText(text, static_cast<int32_t>(count), length)) return false;
    length += count;
    return true;
  }

  bool AddLatin1(const char* text, uint32_t count) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + count;
    const unsigned char* run = p;
    while (p < end) {
      if (*p < 0x80) {
        ++p;
        continue;
      }
      uint32_t code = 0;
      const uint32_t size = DecodeUtf8(p, end, code);
      if (size == 0) {  // not UTF-8: the byte goes out as it is
        ++p;
        continue;
      }
      if (!AddBytes(reinterpret_cast<const char*>(run), static_cast<uint32_t>(p - run))) {
        return false;
      }
      char converted[16];
      uint32_t convertedLength = 1;
      if (code <= 0xFF) {
        converted[0] = static_cast<char>(code);
      } else {
        convertedLength = static_cast<uint32_t>(
            std::snprintf(converted, sizeof converted, "&#x%X;", static_cast<unsigned>(code)));
      }
      if (!AddBytes(converted, convertedLength)) return false;
      p += size;
      run = p;
    }
    return AddBytes(reinterpret_cast<const char*>(run), static_cast<uint32_t>(end - run));
  }

  // Decodes the UTF-8 sequence at p into code; its byte count, or 0 when it is not one.
  static uint32_t DecodeUtf8(const unsigned char* p, const unsigned char* end, uint32_t& code) {
    uint32_t size = 0;
    if (*p >= 0xC2 && *p <= 0xDF) {
      size = 2;
      code = *p & 0x1Fu;
    } else if (*p >= 0xE0 && *p <= 0xEF) {
      size = 3;
      code = *p & 0x0Fu;
    } else if (*p >= 0xF0 && *p <= 0xF4) {
      size = 4;
      code = *p & 0x07u;
    } else {
      return 0;
    }
    if (static_cast<uint32_t>(end - p) < size) return 0;
    for (uint32_t i = 1; i < size; ++i) {
      if ((p[i] & 0xC0) != 0x80) return 0;
      code = code << 6 | (p[i] & 0x3Fu);
    }
    return size;
  }

  StringBuffer* out;
  uint32_t length = 0;
  bool latin1 = false;
};

// Name, and for elements the attributes as ` name="value" `, of one outline line.
bool OutlineLine(TextSink& sink, XmlNode* node) {
  if (!sink.Add(node->GetName())) return false;
  if (node->GetKind() != XmlNodeKind::Element) return true;
  const uint32_t count = node->GetAttributeCount();
  for (uint32_t i = 0; i < count; ++i) {
    StringBuffer* attrName = node->GetAttributeName(i);
    if (attrName->Data() == nullptr || attrName->Data()[0] == 0) return false;
    if (!sink.Add(' ') || !sink.Add(attrName) || !sink.Add("=\"") ||
        !sink.Add(node->GetAttributeValueAt(i)) || !sink.Add("\" ")) {
      return false;
    }
  }
  return true;
}

// Layouts 1 and 2: one line per node, indented by its depth below the top.
bool WriteOutline(TextSink& sink, XmlNode* top, bool skipBlank) {
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

// Layouts 0, 3, 4 and 5: XML text regenerated from the nodes below the top.
class XmlLayoutWriter {
 public:
  XmlLayoutWriter(TextSink& sink, XmlNode* top, int32_t layout)
      : sink(sink),
        top(top),
        pretty(layout == 3 || layout == 4),
        attributesAsElements(layout == 5),
        header(layout != 4 && layout != 5) {}

  bool Run() {
    XmlNode* q = top->GetFirstChild();
    if (q == nullptr) return false;
    const bool latin1 = OutputEncoding(top).latin1;
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
        !(sink.Add(latin1 ? kLatin1Header : kHeader) && sink.LineBreak())) {
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
        q = q->GetFirstChild();
        continue;
      }
      if (q->GetNextSibling() != nullptr) {
        q = q->GetNextSibling();
        continue;
      }
      XmlNode* p = q->GetParent();
      for (;;) {
        if (p == top || p == nullptr) return true;
        --depth;
        if (pretty && !p->GetIndentAlways() && !sink.Tabs(depth)) return false;
        if (!ClosingLine(p, depth)) return false;
        markup.Reset();
        if (pretty && !p->GetNewlineAlways() && !sink.LineBreak()) return false;
        XmlNode* next = p->GetNextSibling();
        if (next != nullptr) {
          if (!FromSource(p) && FromSource(next) && !EndMarker()) return false;
          q = next;
          break;
        }
        if (!FromSource(p) && FromSource(p->GetParent()) && !EndMarker()) return false;
        p = p->GetParent();
      }
    }
  }

 private:
  bool EndMarker() { return sink.Add(kEndMarker) && sink.LineBreak(); }

  // The XML declaration at the start: the first child's text, continued over the following
  // Text siblings when the parser handed it over in pieces (it converts long texts in parts).
  // Sets nodes to the number of nodes it spans. False when the buffer cannot grow.
  static bool LeadingDeclaration(XmlNode* first, StringBuffer& text, uint32_t& nodes) {
    uint32_t length = 0;
    nodes = 0;
    for (XmlNode* n = first; n != nullptr && n->GetKind() == XmlNodeKind::Text;
         n = n->GetNextSibling()) {
      StringBuffer* piece = n->GetName();
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
  bool WriteNode(XmlNode* q, int32_t depth) {
    if (!FromSource(q) && FromSource(q->GetPrevSibling()) &&
        !(sink.Add(kBeginMarker) && sink.LineBreak())) {
      return false;
    }
    const bool text = q->GetKind() != XmlNodeKind::Element && q->GetKind() != XmlNodeKind::EndTag;
    const bool continues = pretty && text && markup.Inside();
    if (pretty && depth > 0 && !continues && !q->GetIndentAlways() && !sink.Tabs(depth)) {
      return false;
    }
    if (!TagLine(q, depth)) return false;
    if (pretty && text) {
      StringBuffer* name = q->GetName();
      if (name->Data() != nullptr) markup.Feed(name->Data(), name->Length());
    } else {
      markup.Reset();
    }
    const bool open = pretty && text && markup.Inside();
    if (pretty && !open && !q->GetNewlineAlways() && !sink.LineBreak()) return false;
    if (IsChildlessElement(q)) {
      if (!FromSource(q)) {
        XmlNode* reference = q->GetNextSibling() != nullptr ? q->GetNextSibling() : q->GetParent();
        if (FromSource(reference) && !EndMarker()) return false;
      }
      if (pretty && !q->GetNewlineAlways() && !sink.LineBreak()) return false;
    } else if (q->GetKind() != XmlNodeKind::Element && !FromSource(q) &&
               FromSource(q->GetNextSibling()) && !EndMarker()) {
      return false;
    }
    return true;
  }

  bool TagLine(XmlNode* q, int32_t depth) {
    const XmlNodeKind kind = q->GetKind();
    const bool element = kind == XmlNodeKind::Element;
    if (q->GetIndentAlways() && !sink.Tabs(depth)) return false;
    if (kind == XmlNodeKind::EndTag && !sink.Add("</")) return false;
    if (element && !sink.Add('<')) return false;
    if (!sink.Add(q->GetName())) return false;
    const uint32_t count = element ? q->GetAttributeCount() : 0;
    if (count > 0) {
      if (!attributesAsElements) {
        for (uint32_t i = 0; i < count; ++i) {
          StringBuffer* attrName = q->GetAttributeName(i);
          if (attrName->Data() == nullptr || attrName->Data()[0] == 0) return false;
          if (!sink.Add(' ') || !sink.Add(attrName) || !sink.Add("=\"") ||
              !sink.AddEscaped(q->GetAttributeValueAt(i)) || !sink.Add("\" ")) {
            return false;
          }
        }
      } else {
        if (!sink.Add('>')) return false;
        for (uint32_t i = 0; i < count; ++i) {
          StringBuffer* attrName = q->GetAttributeName(i);
          if (attrName->Data() == nullptr || attrName->Data()[0] == 0) return false;
          if (!sink.Add('<') || !sink.Add(attrName) || !sink.Add('>') ||
              !sink.AddEscaped(q->GetAttributeValueAt(i)) || !sink.Add("</") ||
              !sink.Add(attrName)) {
            return false;
          }
          if (i + 1 < count && !sink.Add('>')) return false;
        }
        if (q->GetFirstChild() == nullptr) {
          // The element is complete: end the last attribute, then close the element.
          return sink.Add('>') && sink.Add("</") && sink.Add(q->GetName()) && sink.Add('>');
        }
      }
    }
    if (kind == XmlNodeKind::EndTag && !sink.Add('>')) return false;
    if (element && !sink.Add(q->GetFirstChild() == nullptr ? "/>" : ">")) return false;
    if (q->GetNewlineAlways() && !sink.LineBreak()) return false;
    return true;
  }

  bool ClosingLine(XmlNode* p, int32_t depth) {
    if (p->GetIndentAlways() && !sink.Tabs(depth)) return false;
    if (!sink.Add("</") || !sink.Add(p->GetName()) || !sink.Add('>')) return false;
    if (p->GetNewlineAlways() && !sink.LineBreak()) return false;
    return true;
  }

  TextSink& sink;
  XmlNode* top;
  XmlMarkupScanner markup;
  bool pretty;
  bool attributesAsElements;
  bool header;
};

}  // namespace

bool BuildXmlText(XmlNode* top, int32_t layout, StringBuffer* out, uint32_t* length) {
  if (top == nullptr || out == nullptr) return false;
  out->SetText(nullptr, -1, 0);
  TextSink sink(out);
  bool ok;
  if (layout == 1 || layout == 2) {
    ok = WriteOutline(sink, top, layout == 2);
  } else {
    ok = XmlLayoutWriter(sink, top, layout).Run();
  }
  if (length != nullptr) *length = sink.Length();
  return ok;
}
