#include "app/animation_buttons.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "app/app_globals.h"
#include "app/conversion_failure.h"
#include "base/file_handle.h"
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
  explicit Appender(uint64_t* measured) : measured_(measured) {}

  bool Raw(const char* text, unsigned count) {
    if (measured_ != nullptr) {
      // Measuring stops once the text could no longer be held.
      if (ok_ && (*measured_ += count) >= StringBuffer::kMaxCapacity) ok_ = false;
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

bool IsListedAnimation(XmlNode* node, const char** name) {
  // A node without attributes has no Name: the many text nodes are passed over at once.
  if (node->GetAttributeCount() == 0) return false;
  StringBuffer* nodeName = node->GetName();
  if (nodeName == nullptr || !nodeName->Equals(kAnimationElement)) return false;
  *name = AttributeText(node, "Name");
  if (*name == nullptr) return false;
  int on = 1;
  return node->GetIntAttribute("On", &on) && on == 0;
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
// Walks a parsed tree and fills buttonBlock (see CollectButtons).
ButtonsOutcome ButtonsOfTree(XmlTree& tree);

// Sets up a tree for the button walk, which reads only elements and the attributes of
// animations: layout white space makes no node, other elements keep no attributes and no
// node gets its line (a syntax error is still told with its line).
void ForButtons(XmlTree& tree, XmlTree::ParseErrorHandler handler, void* context) {
  tree.SetParseErrorHandler(handler, context);
  tree.SetRecordLines(false);
  tree.KeepAttributesOnlyOf(kAnimationElement);
}

// Text chunks made only of blanks make no node.
constexpr int32_t kSkipBlankText = 1;
}  // namespace

ButtonsOutcome CollectButtons(const PathBuffer& path, XmlTree::ParseErrorHandler parseErrorHandler,
                              void* parseErrorContext) {
  FileHandle file(path);
  if (!file.Exists()) return ButtonsOutcome::Unreadable;
  if (!NamesXmlScene(path.path)) return ButtonsOutcome::NotScanned;
  if (!file.Open(0)) return ButtonsOutcome::Unreadable;

  XmlTree tree;
  if (!tree.IsReady()) {
    buttonBlock.SetText(nullptr, -1, 0);
    return ButtonsOutcome::OutOfMemory;
  }
  ForButtons(tree, parseErrorHandler, parseErrorContext);
  // The file goes to the parser block by block: its size never limits the read.
  switch (tree.ParseFile(file, path.path, kSkipBlankText)) {
    case XmlParseOutcome::Parsed:
      break;
    case XmlParseOutcome::SyntaxError:
    case XmlParseOutcome::Empty:
      return ButtonsOutcome::NotParsed;
    case XmlParseOutcome::OutOfMemory:
    case XmlParseOutcome::NotReady:
      buttonBlock.SetText(nullptr, -1, 0);
      return ButtonsOutcome::OutOfMemory;
    case XmlParseOutcome::ReadFailed:
      return ButtonsOutcome::Unreadable;
  }
  file.Close();
  return ButtonsOfTree(tree);
}

namespace {

// The listed animations of a tree in document order: one walk finds them, so that measuring
// their lines and writing them visit only them.
class AnimationList {
 public:
  AnimationList() = default;
  AnimationList(const AnimationList&) = delete;
  AnimationList& operator=(const AnimationList&) = delete;
  ~AnimationList() { std::free(nodes_); }

  // False when memory runs out.
  bool Add(XmlNode* node) {
    if (count_ == capacity_) {
      const size_t grown = capacity_ == 0 ? 256 : capacity_ * 2;
      if (grown > SIZE_MAX / sizeof(XmlNode*)) return false;
      void* memory = std::realloc(nodes_, grown * sizeof(XmlNode*));
      if (memory == nullptr) return false;
      nodes_ = static_cast<XmlNode**>(memory);
      capacity_ = grown;
    }
    nodes_[count_++] = node;
    return true;
  }
  size_t Count() const { return count_; }
  XmlNode* At(size_t index) const { return nodes_[index]; }

 private:
  XmlNode** nodes_ = nullptr;
  size_t count_ = 0;
  size_t capacity_ = 0;
};

// Appends the lines of the `number`th listed animation of the scene (counted from 1): a
// blank line before every fourth, then its push button, or its start and stop buttons when it
// does not clamp.
bool AppendAnimation(Appender& lines, XmlNode* node, size_t number) {
  const char* name = AttributeText(node, "Name");
  int clamp = 1;
  if (number % 4 == 0 && !lines.Raw("\r\n")) return false;
  if (node->GetIntAttribute("Clamp", &clamp) && clamp < 1) return AppendStartStop(lines, name);
  return AppendTrigger(lines, name);
}

ButtonsOutcome ButtonsOfTree(XmlTree& tree) {
  buttonBlock.SetText(nullptr, -1, 0);
  // The walk finds the animations and measures their lines; the block's storage is then taken
  // once. A large block is never copied while it grows (which would hold two copies at once),
  // and a block too large for a buffer is refused before anything is written.
  AnimationList animations;
  uint64_t length = 0;
  Appender measure(&length);
  XmlNode* root = tree.GetRoot();
  XmlNode* node = root != nullptr ? root->GetFirstChild() : nullptr;
  while (node != nullptr) {
    const char* name = nullptr;
    if (!IsListedAnimation(node, &name)) {
      node = node->GetNextInDocument(node, nullptr);
      continue;
    }
    if (!animations.Add(node)) return ButtonsOutcome::OutOfMemory;
    if (!AppendAnimation(measure, node, animations.Count())) {
      return ButtonsOutcome::TooManyAnimations;
    }
    // The children of a listed animation are not visited; the walk goes on
    // after it even when it is the last child of its parent.
    node = NextOutside(node);
  }
  if (length > 0 && !buttonBlock.Reserve(static_cast<unsigned>(length), false)) {
    return ButtonsOutcome::OutOfMemory;
  }
  // One appender for all lines keeps the block's length, so many animations cost linear
  // time. Should an append still fail, the block is emptied: it is never left partial.
  Appender lines(buttonBlock);
  for (size_t i = 0; i < animations.Count(); ++i) {
    if (!AppendAnimation(lines, animations.At(i), i + 1)) {
      buttonBlock.SetText(nullptr, -1, 0);
      return lines.full() ? ButtonsOutcome::TooManyAnimations : ButtonsOutcome::OutOfMemory;
    }
  }
  return ButtonsOutcome::Listed;
}

// The result of the bool forms: true for buttons listed or a scene that gives none, false
// for an unreadable scene; a failure that must stop the page is also recorded in failure.
bool OutcomeResult(ButtonsOutcome outcome, const char* path, ConversionFailure* failure) {
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
  }
  // The block is empty: no page may be made from it.
  if (failure != nullptr) failure->Set(kind, path, 0);
  return false;
}

}  // namespace

bool CollectAnimationButtons(const PathBuffer& path) {
  return CollectAnimationButtons(path, nullptr, nullptr, nullptr);
}

bool CollectAnimationButtons(const PathBuffer& path, XmlTree::ParseErrorHandler parseErrorHandler,
                             void* parseErrorContext, ConversionFailure* failure) {
  return OutcomeResult(CollectButtons(path, parseErrorHandler, parseErrorContext), path.path,
                       failure);
}

bool CollectAnimationButtonsFromText(const char* text, uint32_t length, const char* name,
                                     XmlTree::ParseErrorHandler parseErrorHandler,
                                     void* parseErrorContext, ConversionFailure* failure) {
  if (text == nullptr || length > 0x7FFFFFFFu) return false;
  if (name == nullptr) name = "";
  XmlTree tree;
  ButtonsOutcome outcome = ButtonsOutcome::OutOfMemory;
  if (tree.IsReady()) {
    ForButtons(tree, parseErrorHandler, parseErrorContext);
    switch (tree.ParseText(text, static_cast<int32_t>(length), name, kSkipBlankText)) {
      case XmlParseOutcome::Parsed:
        outcome = ButtonsOfTree(tree);
        break;
      case XmlParseOutcome::OutOfMemory:
      case XmlParseOutcome::NotReady:
        break;
      default:
        return true;
    }
  }
  if (outcome == ButtonsOutcome::OutOfMemory) buttonBlock.SetText(nullptr, -1, 0);
  return OutcomeResult(outcome, name, failure);
}
