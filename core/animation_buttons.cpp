#include "core/animation_buttons.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "base/file_handle.h"
#include "base/int_text.h"
#include "core/button_block.h"
#include "core/conversion_failure.h"
#include "xml/xml_node.h"
#include "xml/xml_tree.h"

namespace {

// The element of an animation.
constexpr char kAnimationElement[] = "KRSTimeElem";

// Appends text to out, keeping out's length in length so that long blocks are
// not rescanned for every piece. A measuring appender writes nothing and only adds up the
// length the text would have.
class Appender {
 public:
  explicit Appender(StringBuffer& out) : out_(&out), length_(out.Length()) {}
  // Measures up to `limit` bytes: the text fails once its length would reach it.
  Appender(uint64_t* measured, uint64_t limit) : measured_(measured), limit_(limit) {}

  bool Raw(const char* text, unsigned count) {
    if (measured_ != nullptr) {
      // Measuring stops once the text could no longer be held.
      if (ok_ && (*measured_ += count) >= limit_) ok_ = false;
      full_ = !ok_;
      return ok_;
    }
    if (!ok_ || count == 0) return ok_;
    // Within the storage taken already, the piece is copied in place.
    char* data = out_->MutableData();
    if (data != nullptr && uint64_t{length_} + count < out_->Capacity()) {
      std::memcpy(data + length_, text, count);
      length_ += count;
      data[length_] = '\0';
      return true;
    }
    ok_ = out_->SetText(text, static_cast<int>(count), length_);
    if (!ok_) {
      // The text would pass the buffer's largest capacity, or the heap refused (the buffer
      // may then have been emptied: take its length again).
      full_ = uint64_t{length_} + count >= StringBuffer::kMaxCapacity;
      length_ = out_->Length();
    } else {
      length_ += count;
    }
    return ok_;
  }
  bool Raw(const char* text) { return Raw(text, static_cast<unsigned>(std::strlen(text))); }

  // HTML attribute text: & < > " ' become character references, and so does a carriage
  // return, which the browser would otherwise read as a line feed.
  bool Html(const char* text) {
    const char* run = text;
    for (const char* p = text; *p != '\0'; ++p) {
      const char* entity = HtmlEntity(*p);
      if (entity == nullptr) continue;
      Raw(run, static_cast<unsigned>(p - run));
      Raw(entity);
      run = p + 1;
    }
    return Raw(run);
  }

  // A script single-quoted string inside an HTML attribute: \ and ' get a backslash, every
  // character below 0x20 and the line separators U+2028 and U+2029 (which would end the
  // string) become escapes, then the result is escaped for HTML. The name is UTF-8, as the
  // parser hands it over.
  bool ScriptInHtml(const char* text) {
    const char* run = text;
    for (const char* p = text; *p != '\0'; ++p) {
      const unsigned char c = static_cast<unsigned char>(*p);
      // Characters that need no escape are copied as one run.
      if (c >= 0x20 && c != 0xE2 && c != '\\' && HtmlEntity(*p) == nullptr) continue;
      Raw(run, static_cast<unsigned>(p - run));
      run = p + 1;
      if (c < 0x20) {
        ScriptControl(c);
        continue;
      }
      if (c == 0xE2 && static_cast<unsigned char>(p[1]) == 0x80 &&
          (static_cast<unsigned char>(p[2]) == 0xA8 || static_cast<unsigned char>(p[2]) == 0xA9)) {
        Raw(static_cast<unsigned char>(p[2]) == 0xA8 ? "\\u2028" : "\\u2029");
        p += 2;
        run = p + 1;
        continue;
      }
      if (*p == '\\' || *p == '\'') Raw("\\");
      const char* entity = HtmlEntity(*p);
      if (entity != nullptr) {
        Raw(entity);
      } else {
        Raw(p, 1);
      }
    }
    return Raw(run);
  }

  bool ok() const { return ok_; }
  // After a failure: true when the buffer's capacity was reached, false when memory ran out.
  bool full() const { return full_; }
  unsigned length() const { return length_; }

  // Cuts the text back to length characters and clears a failure.
  void Truncate(unsigned length) {
    if (out_ != nullptr && length < length_ && out_->MutableData() != nullptr) {
      out_->MutableData()[length] = '\0';
      length_ = length;
    }
    ok_ = true;
  }

 private:
  // Appends the script escape of a character below 0x20: \n, \r, \t or \u00XX.
  void ScriptControl(unsigned char c) {
    switch (c) {
      case '\n':
        Raw("\\n");
        return;
      case '\r':
        Raw("\\r");
        return;
      case '\t':
        Raw("\\t");
        return;
      default: {
        const char hex[] = "0123456789ABCDEF";
        const char escape[] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
        Raw(escape, sizeof escape);
        return;
      }
    }
  }

  static const char* HtmlEntity(char c) {
    switch (c) {
      case '&':
        return "&amp;";
      case '<':
        return "&lt;";
      case '>':
        return "&gt;";
      case '"':
        return "&quot;";
      case '\'':
        return "&#39;";
      case '\r':
        return "&#13;";
      default:
        return nullptr;
    }
  }

  StringBuffer* out_ = nullptr;
  uint64_t* measured_ = nullptr;
  uint64_t limit_ = StringBuffer::kMaxCapacity;
  unsigned length_ = 0;
  bool ok_ = true;
  bool full_ = false;
};

// True when neither the HTML nor the script escape changes `name`: no character below 0x20,
// none of & < > " ' \\ and no byte 0xE2 (which starts U+2028 and U+2029). Sets its length.
bool IsPlainName(const char* name, unsigned* length) {
  const char* p = name;
  for (; *p != '\0'; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x20 || c == '&' || c == '<' || c == '>' || c == '"' || c == '\'' || c == '\\' ||
        c == 0xE2) {
      return false;
    }
  }
  *length = static_cast<unsigned>(p - name);
  return true;
}

// One line: <input\tname="N"\ttype=button\tvalue="<prefix>N"\tonclick="<function>('N')">\r\n
// On failure the text is put back to what it held before the line.
bool AppendLine(Appender& a, const char* name, const char* valuePrefix, const char* function) {
  if (name == nullptr) name = "";
  // Most names need no escape at all and are copied whole.
  unsigned length = 0;
  const bool plain = IsPlainName(name, &length);
  const unsigned before = a.length();
  a.Raw("<input\tname=\"");
  plain ? a.Raw(name, length) : a.Html(name);
  a.Raw("\"\ttype=button\tvalue=\"");
  a.Raw(valuePrefix);
  plain ? a.Raw(name, length) : a.Html(name);
  a.Raw("\"\tonclick=\"");
  a.Raw(function);
  a.Raw("('");
  plain ? a.Raw(name, length) : a.ScriptInHtml(name);
  a.Raw("')\">\r\n");
  const bool ok = a.ok();
  if (!ok) a.Truncate(before);
  return ok;
}

bool AppendTrigger(Appender& a, const char* name) {
  return AppendLine(a, name, "", "triggeranimation");
}

bool AppendStartStop(Appender& a, const char* name) {
  return AppendLine(a, name, "Start ", "startanimation") &&
         AppendLine(a, name, "Stop ", "stopanimation");
}

// A text attribute is present when it has a non-empty value.
const char* AttributeText(XmlNode* node, const char* name) {
  StringBuffer* value = node->GetAttributeValue(name);
  if (value == nullptr || value->Data() == nullptr || value->Data()[0] == '\0') return nullptr;
  return value->Data();
}

// An attribute's number as the tree reads it (XmlNode::GetIntAttribute). The usual texts,
// one digit, are read at once.
int32_t IntOf(const char* text) {
  if (text[0] >= '0' && text[0] <= '9' && text[1] == '\0') return text[0] - '0';
  return IntOfText(text);
}

// The decisions on an animation's attribute texts (null: absent or empty). It is listed
// when it has a Name and is not on; it gets start and stop buttons when it does not clamp.
bool IsListed(const char* name, const char* on) {
  return name != nullptr && on != nullptr && IntOf(on) == 0;
}
bool HasStartStop(const char* clamp) {
  return clamp != nullptr && IntOf(clamp) < 1;
}

bool IsListedAnimation(XmlNode* node, const char** name) {
  // A node without attributes has no Name: the many text nodes are passed over at once.
  if (node->GetAttributeCount() == 0) return false;
  StringBuffer* nodeName = node->GetName();
  if (nodeName == nullptr || !nodeName->Equals(kAnimationElement)) return false;
  *name = AttributeText(node, "Name");
  return IsListed(*name, AttributeText(node, "On"));
}

// The next node in document order that lies outside node's subtree.
XmlNode* NextOutside(XmlNode* node) {
  while (node != nullptr) {
    if (XmlNode* sibling = node->GetNextSibling()) return sibling;
    node = node->GetParent();
  }
  return nullptr;
}

}  // namespace

bool NamesXmlScene(const char* path) {
  return std::strstr(path, ".xml") != nullptr || std::strstr(path, ".XML") != nullptr ||
         std::strstr(path, ".krn") != nullptr || std::strstr(path, ".KRN") != nullptr;
}

bool AppendTriggerLine(StringBuffer& out, const char* name) {
  Appender a(out);
  return AppendTrigger(a, name);
}

bool AppendStartStopLines(StringBuffer& out, const char* name) {
  Appender a(out);
  return AppendStartStop(a, name);
}

namespace {

// Appends the lines of the `number`th listed animation of the scene (counted from 1): a
// blank line before every fourth, then its push button, or its start and stop buttons.
bool AppendAnimation(Appender& lines, const char* name, bool startStop, size_t number) {
  if (number % 4 == 0 && !lines.Raw("\r\n")) return false;
  return startStop ? AppendStartStop(lines, name) : AppendTrigger(lines, name);
}

// The text of attribute `name` in expat's list (name, value, ..., null); null when it is
// absent or empty.
const char* AttributeTextIn(const char* const* attributes, const char* name) {
  for (; attributes[0] != nullptr; attributes += 2) {
    if (std::strcmp(attributes[0], name) == 0) {
      return attributes[1] != nullptr && attributes[1][0] != '\0' ? attributes[1] : nullptr;
    }
  }
  return nullptr;
}

// Walks a parsed tree and writes its buttons into the thread's button block, whose length the
// tree's ButtonBlockMeasure found (see CollectButtons).
ButtonsOutcome ButtonsOfTree(XmlTree& tree, uint64_t length);

// Sets up a tree for the button walk, which reads only elements and the attributes of
// animations: text and other markup make no node, other elements keep no attributes and no
// node gets its line (a syntax error is still told with its line). The block is measured
// while the tree is built.
void ForButtons(XmlTree& tree, XmlTree::ParseErrorHandler handler, void* context,
                ButtonBlockMeasure& measure) {
  tree.SetParseErrorHandler(handler, context);
  tree.SetRecordLines(false);
  tree.KeepAttributesOnlyOf(kAnimationElement);
  tree.SetKeepText(false);
  tree.SetElementWatch(&measure);
}

// Text chunks made only of blanks make no node.
constexpr int32_t kSkipBlankText = 1;

// How a parse for buttons goes on: the walk, or the outcome it ended in (the block then
// emptied where it may have been touched).
ButtonsOutcome AfterParse(XmlParseOutcome parsed, XmlTree& tree,
                          const ButtonBlockMeasure& measure) {
  switch (parsed) {
    case XmlParseOutcome::Parsed:
      return ButtonsOfTree(tree, measure.Length());
    case XmlParseOutcome::SyntaxError:
    case XmlParseOutcome::Empty:
      return ButtonsOutcome::NotParsed;
    case XmlParseOutcome::ReadFailed:
      return ButtonsOutcome::Unreadable;
    case XmlParseOutcome::Stopped:
      ClearButtonBlock();
      return ButtonsOutcome::TooManyAnimations;
    case XmlParseOutcome::Cancelled:
      ClearButtonBlock();
      return ButtonsOutcome::Cancelled;
    case XmlParseOutcome::OutOfMemory:
    case XmlParseOutcome::NotReady:
      break;
  }
  ClearButtonBlock();
  return ButtonsOutcome::OutOfMemory;
}

}  // namespace

ButtonBlockMeasure::ButtonBlockMeasure(uint64_t limit) : limit_(limit) {}

bool ButtonBlockMeasure::OnStart(const char* name, const char* const* attributes) {
  if (std::strcmp(name, kAnimationElement) != 0) return true;
  // An animation inside a listed one is not listed: the walk does not enter a listed one.
  if (depthInListed_ > 0) {
    ++depthInListed_;
    return true;
  }
  const char* animationName = AttributeTextIn(attributes, "Name");
  if (!IsListed(animationName, AttributeTextIn(attributes, "On"))) return true;
  depthInListed_ = 1;
  Appender measure(&length_, limit_);
  return AppendAnimation(measure, animationName, HasStartStop(AttributeTextIn(attributes, "Clamp")),
                         ++count_);
}

void ButtonBlockMeasure::OnEnd(const char* name) {
  if (depthInListed_ > 0 && std::strcmp(name, kAnimationElement) == 0) --depthInListed_;
}

ButtonsOutcome CollectButtons(const PathBuffer& path, XmlTree::ParseErrorHandler parseErrorHandler,
                              void* parseErrorContext, XmlTree::BlockHandler whileReading,
                              void* whileReadingContext) {
  FileHandle file(path);
  // A missing file is unreadable whatever its name; a scene is opened at once (one look-up).
  if (!NamesXmlScene(path.path)) {
    return file.Exists() ? ButtonsOutcome::NotScanned : ButtonsOutcome::Unreadable;
  }
  if (!file.Open(0)) return ButtonsOutcome::Unreadable;

  XmlTree tree;
  if (!tree.IsReady()) {
    ClearButtonBlock();
    return ButtonsOutcome::OutOfMemory;
  }
  ButtonBlockMeasure measure;
  ForButtons(tree, parseErrorHandler, parseErrorContext, measure);
  tree.SetBlockHandler(whileReading, whileReadingContext);
  // The file goes to the parser block by block: its size never limits the read. A scene
  // whose block could not be held stops building as soon as that is certain.
  const XmlParseOutcome parsed = tree.ParseFile(file, path.path, kSkipBlankText);
  file.Close();
  return AfterParse(parsed, tree, measure);
}

namespace {

ButtonsOutcome ButtonsOfTree(XmlTree& tree, uint64_t length) {
  StringBuffer* block = ButtonBlock();
  if (block == nullptr) return ButtonsOutcome::OutOfMemory;
  block->SetText(nullptr, -1, 0);
  // The block's storage is taken once, at the length measured during the parse: a large
  // block is never copied while it grows (which would hold two copies at once).
  if (length > 0 && !block->Reserve(static_cast<unsigned>(length), false)) {
    return ButtonsOutcome::OutOfMemory;
  }
  // One appender for all lines keeps the block's length, so many animations cost linear
  // time. Should an append still fail, the block is emptied: it is never left partial.
  Appender lines(*block);
  size_t count = 0;
  XmlNode* root = tree.GetRoot();
  XmlNode* node = root != nullptr ? root->GetFirstChild() : nullptr;
  while (node != nullptr) {
    const char* name = nullptr;
    if (!IsListedAnimation(node, &name)) {
      node = node->GetNextInDocument(node, nullptr);
      continue;
    }
    if (!AppendAnimation(lines, name, HasStartStop(AttributeText(node, "Clamp")), ++count)) {
      ClearButtonBlock();
      return lines.full() ? ButtonsOutcome::TooManyAnimations : ButtonsOutcome::OutOfMemory;
    }
    // The children of a listed animation are not visited; the walk goes on
    // after it even when it is the last child of its parent.
    node = NextOutside(node);
  }
  return ButtonsOutcome::Listed;
}

}  // namespace

// The result of the bool forms: true for buttons listed or a scene that gives none, false
// for an unreadable scene; a failure that must stop the page is also recorded in failure.
bool ButtonsOutcomeResult(ButtonsOutcome outcome, const char* path, ConversionFailure* failure) {
  ConversionFailureKind kind = ConversionFailureKind::kNone;
  switch (outcome) {
    case ButtonsOutcome::Listed:
    case ButtonsOutcome::NotScanned:
    case ButtonsOutcome::NotParsed:
      return true;
    case ButtonsOutcome::Unreadable:
      return false;
    case ButtonsOutcome::OutOfMemory:
      kind = ConversionFailureKind::kNoMemoryForScene;
      break;
    case ButtonsOutcome::TooManyAnimations:
      kind = ConversionFailureKind::kTooManyAnimations;
      break;
    case ButtonsOutcome::Cancelled:
      kind = ConversionFailureKind::kCancelled;
      break;
  }
  // The block is empty: no page may be made from it.
  if (failure != nullptr) failure->Set(kind, path, 0);
  return false;
}

ButtonsOutcome CollectButtonsFromReader(XmlTree::BlockReader read, void* context, const char* name,
                                        XmlTree::ParseErrorHandler parseErrorHandler,
                                        void* parseErrorContext) {
  XmlTree tree;
  if (!tree.IsReady()) {
    ClearButtonBlock();
    return ButtonsOutcome::OutOfMemory;
  }
  ButtonBlockMeasure measure;
  ForButtons(tree, parseErrorHandler, parseErrorContext, measure);
  return AfterParse(tree.ParseBlocks(read, context, name != nullptr ? name : "", kSkipBlankText),
                    tree, measure);
}

bool CollectAnimationButtons(const PathBuffer& path) {
  return CollectAnimationButtons(path, nullptr, nullptr, nullptr);
}

bool CollectAnimationButtons(const PathBuffer& path, XmlTree::ParseErrorHandler parseErrorHandler,
                             void* parseErrorContext, ConversionFailure* failure,
                             XmlTree::BlockHandler whileReading, void* whileReadingContext) {
  return ButtonsOutcomeResult(
      CollectButtons(path, parseErrorHandler, parseErrorContext, whileReading, whileReadingContext),
      path.path, failure);
}

bool CollectAnimationButtonsFromText(const char* text, uint32_t length, const char* name,
                                     XmlTree::ParseErrorHandler parseErrorHandler,
                                     void* parseErrorContext, ConversionFailure* failure) {
  if (text == nullptr || length > 0x7FFFFFFFu) return false;
  if (name == nullptr) name = "";
  XmlTree tree;
  ButtonsOutcome outcome = ButtonsOutcome::OutOfMemory;
  if (tree.IsReady()) {
    ButtonBlockMeasure measure;
    ForButtons(tree, parseErrorHandler, parseErrorContext, measure);
    outcome = AfterParse(tree.ParseText(text, static_cast<int32_t>(length), name, kSkipBlankText),
                         tree, measure);
  } else {
    ClearButtonBlock();
  }
  return ButtonsOutcomeResult(outcome, name, failure);
}
