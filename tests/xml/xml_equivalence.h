// What must survive writing a parsed document in an XML layout and parsing the text again:
// a description of the document in which two equivalent trees read the same. Shared by the
// XML tests and the scene fuzzer.
//
// The description lists, in document order, each element with its depth, name and attributes
// and each run of text between tags with its depth. The parser hands text over in chunks
// whose borders may move, so a run is compared as one text. Per layout:
// - every layout: text outside the root element is compared without its XML declaration
//   and without white space (the writer adds or replaces the declaration);
// - layouts 3 and 4 lay the tree out anew: text is compared without white space;
// - layout 5 writes each attribute as a child element holding the value, escaped: the
//   description of the source does the same, and text is compared with references replaced.
//   It writes no attributes, so attributes of the text parsed again can only be defaults
//   from a document type declaration that the text keeps; they are not compared.
#pragma once

#include <cstdint>
#include <string>

#include "base/string_buffer.h"
#include "xml/xml_node.h"

namespace xmltest {

// Appends the UTF-8 form of code.
inline void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The text with character references and the five predefined entity references replaced.
inline std::string ReplaceReferences(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t end = text[i] == '&' ? text.find(';', i) : std::string::npos;
    if (end == std::string::npos || end - i > 12) {
      out += text[i];
      continue;
    }
    const std::string name = text.substr(i + 1, end - i - 1);
    static const char* const kEntities[][2] = {
        {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
    bool done = false;
    for (const auto& entity : kEntities) {
      if (name == entity[0]) {
        out += entity[1];
        done = true;
      }
    }
    if (!done && name.size() > 1 && name[0] == '#') {
      const bool hex = name[1] == 'x';
      const std::string digits = name.substr(hex ? 2 : 1);
      if (!digits.empty() && digits.size() <= 8 &&
          digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") ==
              std::string::npos) {
        AppendUtf8(out, static_cast<uint32_t>(std::stoul(digits, nullptr, hex ? 16 : 10)));
        done = true;
      }
    }
    if (!done) {
      out += text[i];
      continue;
    }
    i = end;
  }
  return out;
}

inline std::string WithoutWhiteSpace(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
  }
  return out;
}

// The text without a leading XML declaration.
inline std::string WithoutDeclaration(const std::string& text) {
  // "<?xml-stylesheet ...?>" and the like are processing instructions, not declarations.
  if (text.rfind("<?xml", 0) != 0 || text.size() < 6 || WithoutWhiteSpace(text.substr(5, 1)) != "")
    return text;
  const size_t end = text.find("?>");
  return end == std::string::npos ? text : text.substr(end + 2);
}

class Equivalence {
 public:
  explicit Equivalence(int32_t layout) : layout_(layout) {}

  // The description of the document below doc, as its source (true) or as the text written
  // in the layout and parsed again (false).
  std::string Describe(XmlNode* doc, bool source) {
    out_.clear();
    run_.clear();
    runDepth_ = -1;
    int32_t depth = 0;
    for (XmlNode* n = doc->GetFirstChild(); n != nullptr; n = n->GetNextInDocument(doc, &depth)) {
      if (n->GetKind() != XmlNodeKind::Element) {
        if (depth != runDepth_) EndRun();
        runDepth_ = depth;
        const char* text = n->GetName()->Data();
        if (text != nullptr) run_ += text;
        continue;
      }
      EndRun();
      out_ += std::to_string(depth) + " <" + Text(n->GetName());
      const bool attributesAsElements = layout_ == 5 && source;
      for (uint32_t i = 0; i < n->GetAttributeCount(); ++i) {
        if (layout_ == 5) break;
        out_ += " " + Text(n->GetAttributeName(i)) + "=[" + Text(n->GetAttributeValueAt(i)) + "]";
      }
      out_ += ">\n";
      if (!attributesAsElements) continue;
      for (uint32_t i = 0; i < n->GetAttributeCount(); ++i) {
        out_ += std::to_string(depth + 1) + " <" + Text(n->GetAttributeName(i)) + ">\n";
        // The value comes back as text with references, which the run replaces.
        const std::string value = Text(n->GetAttributeValueAt(i));
        if (!value.empty()) out_ += std::to_string(depth + 2) + " [" + value + "]\n";
      }
    }
    EndRun();
    return out_;
  }

 private:
  static std::string Text(StringBuffer* buffer) {
    return buffer->Data() != nullptr ? buffer->Data() : "";
  }

  void EndRun() {
    if (runDepth_ < 0) return;
    std::string text = run_;
    if (runDepth_ == 0) {
      text = WithoutWhiteSpace(WithoutDeclaration(text));
    } else if (layout_ == 3 || layout_ == 4) {
      text = WithoutWhiteSpace(text);
    } else if (layout_ == 5) {
      text = ReplaceReferences(text);
    }
    if (!text.empty()) out_ += std::to_string(runDepth_) + " [" + text + "]\n";
    run_.clear();
    runDepth_ = -1;
  }

  int32_t layout_;
  std::string out_;
  std::string run_;
  int32_t runDepth_ = -1;
};

}  // namespace xmltest
