#include "xml/xml_linked_node.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "xml/xml_attribute.h"

namespace {

// Growth step of attribute arrays filled from a list (a parser's attributes).
constexpr uint32_t kListGrowthStep = 100;

// Sets up `array` as an empty, zero-filled array of attribute pointers with room for
// `capacity` of them.
bool InitAttributeArray(ToolkitArray& array, uint32_t growthStep, uint32_t capacity = 0) {
  return array.Init(sizeof(XmlAttribute*), 0, capacity, growthStep, true);
}

XmlAttribute** AttributeSlots(ToolkitArray& array) {
  return static_cast<XmlAttribute**>(array.data);
}

// True when the buffer holds no text.
bool IsEmptyText(StringBuffer* text) {
  return text->Data() == nullptr || text->Data()[0] == 0;
}

// True when the buffer's text equals `text` byte for byte (an empty buffer equals "").
bool TextEquals(StringBuffer* buffer, const char* text) {
  const char* data = buffer->Data();
  return std::strcmp(data != nullptr ? data : "", text) == 0;
}

}  // namespace

StringBuffer* XmlEmptySentinel() {
  static StringBuffer empty;
  return &empty;
}

StringBuffer* XmlErrorStrSentinel() {
  static StringBuffer errorStr;
  static const bool attached = (errorStr.AttachReadOnly("ErrorStr"), true);
  (void)attached;
  return &errorStr;
}

namespace {
// Creates both sentinels before the program's main code runs.
[[maybe_unused]] const bool sentinelsReady =
    XmlEmptySentinel() != nullptr && XmlErrorStrSentinel() != nullptr;
}  // namespace

XmlLinkedNode::XmlLinkedNode(XmlNode* parentNode) {
  InitAttributeArray(attributes, 0);
  valid = parentNode == nullptr || InsertUnder(parentNode, nullptr, -1) != nullptr;
}

XmlLinkedNode::~XmlLinkedNode() {
  valid = false;
  RemoveAllAttributes();
  attributes.Release();
  Detach();
  // Destroy the subtree leaf by leaf: descend to a leaf, delete it (its own destructor only
  // unlinks it, as it has no children), then continue from its parent. Every node is
  // reached a bounded number of times and the stack depth stays constant.
  XmlNode* current = firstChild;
  while (current != nullptr) {
    while (current->GetFirstChild() != nullptr) current = current->GetFirstChild();
    XmlNode* up = current->GetParent();
    delete current;
    if (up == this) {
      current = firstChild;
    } else {
      current = up->GetFirstChild() != nullptr ? up->GetFirstChild() : up;
    }
  }
  name.Reset();
}

bool XmlLinkedNode::IsValid() {
  return valid;
}
XmlNode* XmlLinkedNode::GetParent() {
  return parent;
}
XmlNode* XmlLinkedNode::GetFirstChild() {
  return firstChild;
}
XmlNode* XmlLinkedNode::GetPrevSibling() {
  return prevSibling;
}
XmlNode* XmlLinkedNode::GetNextSibling() {
  return nextSibling;
}

XmlNode* XmlLinkedNode::GetNextInDocument(XmlNode* stop, int32_t* depth) {
  if (firstChild != nullptr) {
    if (depth != nullptr) ++*depth;
    return firstChild;
  }
  if (nextSibling != nullptr) return nextSibling;
  for (XmlNode* p = parent; p != nullptr; p = p->GetParent()) {
    if (p == stop) return nullptr;
    if (depth != nullptr) --*depth;
    if (p->GetNextSibling() != nullptr) return p->GetNextSibling();
  }
  return nullptr;
}

XmlNode* XmlLinkedNode::GetPrevInDocument() {
  if (prevSibling == nullptr) return parent;
  // The last node, in pre-order, of the previous sibling's subtree: its last child's last
  // child, and so on.
  XmlNode* candidate = prevSibling;
  while (candidate->GetFirstChild() != nullptr) {
    candidate = candidate->GetFirstChild()->GetLastSibling();
  }
  return candidate;
}

XmlNode* XmlLinkedNode::GetFirstSibling() {
  XmlNode* node = this;
  while (node->GetPrevSibling() != nullptr) node = node->GetPrevSibling();
  return node;
}

XmlNode* XmlLinkedNode::GetLastSibling() {
  XmlNode* node = this;
  while (node->GetNextSibling() != nullptr) node = node->GetNextSibling();
  return node;
}

void XmlLinkedNode::SetParent(XmlNode* node) {
  parent = node;
}
void XmlLinkedNode::SetFirstChild(XmlNode* node) {
  firstChild = node;
}
void XmlLinkedNode::SetPrevSibling(XmlNode* node) {
  prevSibling = node;
}
void XmlLinkedNode::SetNextSibling(XmlNode* node) {
  nextSibling = node;
}

bool XmlLinkedNode::SwapWithSibling(XmlNode* other) {
  if (other == nullptr || parent == nullptr || other->GetParent() != parent) return false;
  if (other == this) return true;
  XmlNode* first = this;  // the one that stands earlier in the list after the swap check
  XmlNode* second = other;
  if (prevSibling == other) {
    first = other;
    second = this;
  }
  XmlNode* firstPrev = first->GetPrevSibling();
  XmlNode* firstNext = first->GetNextSibling();
  XmlNode* secondPrev = second->GetPrevSibling();
  XmlNode* secondNext = second->GetNextSibling();
  if (firstNext == second) {
    // Adjacent: firstPrev, first, second, secondNext -> firstPrev, second, first, secondNext.
    second->SetPrevSibling(firstPrev);
    second->SetNextSibling(first);
    first->SetPrevSibling(second);
    first->SetNextSibling(secondNext);
    if (firstPrev != nullptr) firstPrev->SetNextSibling(second);
    if (secondNext != nullptr) secondNext->SetPrevSibling(first);
  } else {
    // Apart: each takes the other's neighbours, which point back to it.
    first->SetPrevSibling(secondPrev);
    first->SetNextSibling(secondNext);
    second->SetPrevSibling(firstPrev);
    second->SetNextSibling(firstNext);
    if (secondPrev != nullptr) secondPrev->SetNextSibling(first);
    if (secondNext != nullptr) secondNext->SetPrevSibling(first);
    if (firstPrev != nullptr) firstPrev->SetNextSibling(second);
    if (firstNext != nullptr) firstNext->SetPrevSibling(second);
  }
  if (parent->GetFirstChild() == this) {
    parent->SetFirstChild(other);
  } else if (parent->GetFirstChild() == other) {
    parent->SetFirstChild(this);
  }
  return true;
}

bool XmlLinkedNode::MoveUnder(XmlNode* newParent) {
  // Refuse before detaching, so a refused move never leaves the node orphaned.
  if (newParent == nullptr || Contains(newParent)) return false;
  Detach();
  return InsertUnder(newParent, nullptr, -1) != nullptr;
}

void XmlLinkedNode::UnlinkFromSiblings() {
  if (prevSibling != nullptr) prevSibling->SetNextSibling(nextSibling);
  if (nextSibling != nullptr) nextSibling->SetPrevSibling(prevSibling);
}

bool XmlLinkedNode::MakeLastSibling() {
  if (nextSibling == nullptr) return false;
  XmlNode* formerNext = nextSibling;
  XmlNode* last = formerNext->GetLastSibling();
  UnlinkFromSiblings();
  last->SetNextSibling(this);
  prevSibling = last;
  nextSibling = nullptr;
  if (parent != nullptr && parent->GetFirstChild() == this) parent->SetFirstChild(formerNext);
  return true;
}

bool XmlLinkedNode::MakeFirstSibling() {
  if (prevSibling == nullptr) return false;
  XmlNode* first = prevSibling->GetFirstSibling();
  UnlinkFromSiblings();
  first->SetPrevSibling(this);
  nextSibling = first;
  prevSibling = nullptr;
  if (parent != nullptr) parent->SetFirstChild(this);
  return true;
}

bool XmlLinkedNode::Detach() {
  if (parent == nullptr) return false;
  if (parent->GetFirstChild() == this) parent->SetFirstChild(nextSibling);
  parent = nullptr;
  UnlinkFromSiblings();
  prevSibling = nullptr;
  nextSibling = nullptr;
  return true;
}

bool XmlLinkedNode::DetachAndDelete() {
  if (!Detach()) return false;
  delete this;
  return true;
}

uint32_t XmlLinkedNode::GetChildCount() {
  uint32_t count = 0;
  for (XmlNode* child = firstChild; child != nullptr; child = child->GetNextSibling()) ++count;
  return count;
}

XmlNode* XmlLinkedNode::CreateChild(XmlNode* parentNode, const char* text, int32_t length,
                                    XmlNodeKind newKind, int32_t* index, int32_t position) {
  if (parentNode == nullptr) return nullptr;
  XmlLinkedNode* node = new (std::nothrow) XmlLinkedNode();
  if (node == nullptr) return nullptr;
  if (!node->Init(text, length, newKind, nullptr)) {
    delete node;
    return nullptr;
  }
  node->SetIndentAlways(true);
  node->SetNewlineAlways(true);
  if (node->InsertUnder(parentNode, index, position) == nullptr) {
    delete node;
    return nullptr;
  }
  return node;
}

bool XmlLinkedNode::Contains(XmlNode* node) {
  // Without children only the node itself qualifies; this keeps appending leaves cheap.
  if (firstChild == nullptr) return node == this;
  for (XmlNode* p = node; p != nullptr; p = p->GetParent()) {
    if (p == this) return true;
  }
  return false;
}

XmlNode* XmlLinkedNode::InsertUnder(XmlNode* parentNode, int32_t* index, int32_t position) {
  // A parent inside this node's own subtree would close a cycle.
  if (parent != nullptr || parentNode == nullptr || Contains(parentNode)) return nullptr;
  int32_t at = 0;
  XmlNode* first = parentNode->GetFirstChild();
  if (first == nullptr) {
    prevSibling = nullptr;
    nextSibling = nullptr;
    parentNode->SetFirstChild(this);
  } else if (position == 0) {
    prevSibling = nullptr;
    nextSibling = first;
    first->SetPrevSibling(this);
    parentNode->SetFirstChild(this);
  } else {
    XmlNode* before = first;  // child k - 1
    int32_t k = 1;
    while (before->GetNextSibling() != nullptr && k != position) {
      before = before->GetNextSibling();
      ++k;
    }
    // Either k == position (insert before child k) or `before` is the last child (append).
    XmlNode* after = before->GetNextSibling();
    prevSibling = before;
    nextSibling = after;
    before->SetNextSibling(this);
    if (after != nullptr) after->SetPrevSibling(this);
    at = k;
  }
  parent = parentNode;
  if (index != nullptr) *index = at;
  return this;
}

uint32_t XmlLinkedNode::GetIndexInParent() {
  uint32_t index = 0;
  for (XmlNode* node = prevSibling; node != nullptr; node = node->GetPrevSibling()) ++index;
  return index;
}

bool XmlLinkedNode::Init(const char* text, int32_t length, XmlNodeKind newKind,
                         const char* const* list) {
  if (!SetName(text, length)) return false;
  if (list != nullptr && !SetAttributes(list)) return false;
  kind = newKind;
  return true;
}

void XmlLinkedNode::SetIndentAlways(bool on) {
  indentAlways = on;
}
void XmlLinkedNode::SetNewlineAlways(bool on) {
  newlineAlways = on;
}
void XmlLinkedNode::SetFromSource(bool on) {
  fromSource = on;
}
bool XmlLinkedNode::GetIndentAlways() {
  return indentAlways;
}
bool XmlLinkedNode::GetNewlineAlways() {
  return newlineAlways;
}
bool XmlLinkedNode::IsFromSource() {
  return fromSource;
}
XmlNodeKind XmlLinkedNode::GetKind() {
  return kind;
}

bool XmlLinkedNode::AppendAttribute(const char* attrName, const char* attrValue) {
  XmlAttribute* attribute = new (std::nothrow) XmlAttribute();
  if (attribute == nullptr) return false;
  if (!attribute->name.SetText(attrName, -1, 0) || !attribute->value.SetText(attrValue, -1, 0) ||
      !attributes.Resize(attributes.count + 1)) {
    delete attribute;
    return false;
  }
  AttributeSlots(attributes)[attributes.count - 1] = attribute;
  return true;
}

bool XmlLinkedNode::SetAttributes(const char* const* list) {
  RemoveAllAttributes();
  attributes.Release();
  // Room for exactly the listed attributes at once: one allocation per element, and no
  // parsed element keeps room for a whole growth step of 100 attributes.
  uint32_t listed = 0;
  while (list != nullptr && list[2 * listed] != nullptr) {
    ++listed;
    if (list[2 * listed - 1] == nullptr) break;
  }
  if (!InitAttributeArray(attributes, kListGrowthStep, listed)) return false;
  if (listed == 0) return true;
  for (uint32_t i = 0; list[i] != nullptr; i += 2) {
    // A list with an odd number of entries ends in a name without value: store it with an
    // empty value rather than read past the terminator.
    const char* value = list[i + 1];
    if (!AppendAttribute(list[i], value != nullptr ? value : "")) return false;
    if (value == nullptr) break;
  }
  return true;
}

bool XmlLinkedNode::RemoveAllAttributes() {
  XmlAttribute** slots = AttributeSlots(attributes);
  for (uint32_t i = attributes.count; i > 0; --i) {
    delete slots[i - 1];
    slots[i - 1] = nullptr;
  }
  attributes.Resize(0);
  return true;
}

uint32_t XmlLinkedNode::GetNameLength() {
  return name.Length();
}
StringBuffer* XmlLinkedNode::GetName() {
  return &name;
}

bool XmlLinkedNode::SetName(const char* text, int32_t length) {
  return name.SetText(text, length, 0);
}

uint32_t XmlLinkedNode::GetAttributeCount() {
  return attributes.count;
}

XmlAttribute* XmlLinkedNode::AttributeAt(uint32_t index) {
  if (index >= attributes.count) return nullptr;
  return AttributeSlots(attributes)[index];
}

XmlAttribute* XmlLinkedNode::FindAttribute(const char* attrName) {
  if (attrName == nullptr) return nullptr;
  XmlAttribute** slots = AttributeSlots(attributes);
  for (uint32_t i = 0; i < attributes.count; ++i) {
    if (TextEquals(&slots[i]->name, attrName)) return slots[i];
  }
  return nullptr;
}

bool XmlLinkedNode::GetAttributeNameLength(uint32_t index, uint32_t* out) {
  XmlAttribute* attribute = AttributeAt(index);
  if (out == nullptr || attribute == nullptr) return false;
  *out = attribute->name.Length();
  return true;
}

StringBuffer* XmlLinkedNode::GetAttributeName(uint32_t index) {
  XmlAttribute* attribute = AttributeAt(index);
  return attribute != nullptr ? &attribute->name : XmlEmptySentinel();
}

bool XmlLinkedNode::GetAttributeValueLength(uint32_t index, uint32_t* out) {
  XmlAttribute* attribute = AttributeAt(index);
  if (out == nullptr || attribute == nullptr) return false;
  *out = attribute->value.Length();
  return true;
}

bool XmlLinkedNode::GetFloatAttribute(const char* attrName, float* out) {
  StringBuffer* value = GetAttributeValue(attrName);
  if (out == nullptr || IsEmptyText(value)) return false;
  *out = static_cast<float>(std::atof(value->Data()));
  return true;
}

bool XmlLinkedNode::GetIntAttribute(const char* attrName, int32_t* out) {
  StringBuffer* value = GetAttributeValue(attrName);
  if (out == nullptr || IsEmptyText(value)) return false;
  *out = static_cast<int32_t>(std::atol(value->Data()));
  return true;
}

bool XmlLinkedNode::GetAttributeText(const char* attrName, const char** out) {
  XmlAttribute* attribute = FindAttribute(attrName);
  if (out == nullptr || attribute == nullptr) return false;
  *out = IsEmptyText(&attribute->value) ? nullptr : attribute->value.Data();
  return true;
}

bool XmlLinkedNode::GetIntAttributeAt(uint32_t index, int32_t* out) {
  if (out == nullptr) return false;
  StringBuffer* value = GetAttributeValueAt(index);
  if (IsEmptyText(value)) return false;
  *out = static_cast<int32_t>(std::atol(value->Data()));
  return true;
}

bool XmlLinkedNode::GetFloatAttributeAt(uint32_t index, float* out) {
  if (out == nullptr) return false;
  StringBuffer* value = GetAttributeValueAt(index);
  if (IsEmptyText(value)) return false;
  *out = static_cast<float>(std::atof(value->Data()));
  return true;
}

StringBuffer* XmlLinkedNode::GetAttributeValueAt(uint32_t index) {
  XmlAttribute* attribute = AttributeAt(index);
  return attribute != nullptr ? &attribute->value : XmlErrorStrSentinel();
}

StringBuffer* XmlLinkedNode::GetAttributeValue(const char* attrName) {
  XmlAttribute* attribute = FindAttribute(attrName);
  return attribute != nullptr ? &attribute->value : XmlEmptySentinel();
}

bool XmlLinkedNode::SetFloatAttribute(const char* attrName, float value) {
  // Whole values within the 32-bit range are stored as integers; everything else (fractions,
  // huge values, NaN) through "%.5f", where the cast would be undefined.
  if (value > -2147483648.0f && value < 2147483648.0f) {
    const int32_t whole = static_cast<int32_t>(value);
    if (value - static_cast<float>(whole) == 0.0f) return SetIntAttribute(attrName, whole);
  }
  StringBuffer text;
  bool ok = text.Format("%.5f", static_cast<double>(value)) && text.TrimFractionZeros() &&
            SetAttribute(attrName, text.Data());
  text.Reset();
  return ok;
}

bool XmlLinkedNode::SetIntAttribute(const char* attrName, int32_t value) {
  StringBuffer text;
  bool ok = text.Format("%d", static_cast<int>(value)) && SetAttribute(attrName, text.Data());
  text.Reset();
  return ok;
}

bool XmlLinkedNode::SetAttribute(const char* attrName, const char* value) {
  if (attrName == nullptr) return false;
  XmlAttribute* attribute = FindAttribute(attrName);
  if (attribute != nullptr) return attribute->value.SetText(value, -1, 0);
  return AppendAttribute(attrName, value);
}

int32_t XmlLinkedNode::GetLine() {
  return line;
}
void XmlLinkedNode::SetLine(int32_t newLine) {
  line = newLine;
}
