#include "xml/xml_writer.h"

#include <cstring>

#include "base/string_buffer.h"
#include "xml/xml_node.h"

namespace {

constexpr char kHeader[] = "<?xml version=\"1.0\"?>";
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

// True when the node is a declaration that names an encoding other than UTF-8. The parser
// hands every text over in UTF-8, so the output is UTF-8 whatever the source was, and such
// a declaration would make a reader decode it wrongly.
bool DeclaresOtherEncoding(XmlNode* node) {
  if (!IsDeclaration(node)) return false;
  const char* text = node->GetName()->Data();
  const char* p = std::strstr(text, "encoding");
  if (p == nullptr) return false;
  p += 8;
  while (IsBlank(*p)) ++p;
  if (*p++ != '=') return false;
  while (IsBlank(*p)) ++p;
  const char quote = *p++;
  if (quote != '"' && quote != '\'') return false;
  const char* end = std::strchr(p, quote);
  if (end == nullptr) return false;
  // Encoding names compare without regard to ASCII case.
  const char utf8[] = "utf-8";
  if (end - p != 5) return true;
  for (int i = 0; i < 5; ++i) {
    const char c = p[i] >= 'A' && p[i] <= 'Z' ? static_cast<char>(p[i] - 'A' + 'a') : p[i];
    if (c != utf8[i]) return true;
  }
  return false;
}

// Appends to a buffer while keeping the text's length, so appending never rescans the text.
class TextSink {
 public:
  explicit TextSink(StringBuffer* buffer) : out(buffer) {}

  bool Add(const char* text, uint32_t count) {
    if (count == 0) return true;
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
  StringBuffer* out;
  uint32_t length = 0;
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
    // A declaration of another encoding is replaced by the header (or left out).
    const bool foreign = DeclaresOtherEncoding(q);
    if (header && (foreign || !IsDeclaration(q)) && !(sink.Add(kHeader) && sink.LineBreak())) {
      return false;
    }
    // Layouts without header leave out a parsed header as well.
    XmlNode* skipped = foreign || (!header && TextEquals(q, kHeader)) ? q : nullptr;
    int32_t depth = 0;
    for (;;) {
      if (q != skipped && !(pretty && IsBlankOnly(q)) && !WriteNode(q, depth)) return false;
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

  // One node's own output: markers, indentation and its tag line.
  bool WriteNode(XmlNode* q, int32_t depth) {
    if (!FromSource(q) && FromSource(q->GetPrevSibling()) &&
        !(sink.Add(kBeginMarker) && sink.LineBreak())) {
      return false;
    }
    if (pretty && depth > 0 && !q->GetIndentAlways() && !sink.Tabs(depth)) return false;
    if (!TagLine(q, depth)) return false;
    if (pretty && !q->GetNewlineAlways() && !sink.LineBreak()) return false;
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
