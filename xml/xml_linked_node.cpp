#include "xml/xml_linked_node.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/int_text.h"
#include "ui/toolkit_runtime.h"
#include "xml/xml_arena.h"
#include "xml/xml_shared_text.h"

std::atomic<uint64_t> XmlLinkedNode::arenaEdits{0};

namespace {

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

StringBuffer* XmlLinkedNode::NoNameView() {
  static StringBuffer view;
  static const bool attached = (view.AttachReadOnly(""), true);
  (void)attached;
  return &view;
}

namespace {

// A heap buffer holding a copy of `text` (null: empty); null when memory runs out.
StringBuffer* NewText(const char* text) {
  StringBuffer* buffer = new (std::nothrow) StringBuffer();
  if (buffer != nullptr && !buffer->SetText(text, -1, 0)) {
    delete buffer;
    return nullptr;
  }
  return buffer;
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
[[maybe_unused]] const bool sentinelsReady = XmlEmptySentinel() != nullptr &&
                                             XmlErrorStrSentinel() != nullptr &&
                                             XmlLinkedNode::NoNameView() != nullptr;
}  // namespace

XmlLinkedNode::XmlLinkedNode(XmlNode* parentNode) {
  payload.name = new (std::nothrow) StringBuffer();
  if (payload.name != nullptr) flags |= kOwnsName;
  const bool linked = parentNode == nullptr || InsertUnder(parentNode, nullptr, -1) != nullptr;
  Put(kValid, linked && payload.name != nullptr);
}

XmlLinkedNode::XmlLinkedNode(InArenaTag, StringBuffer* sharedName, XmlNodeKind newKind)
    : kind(static_cast<int16_t>(newKind)), flags(kValid | kInArena) {
  payload.name = sharedName;
}

XmlLinkedNode* XmlLinkedNode::MakeInArena(XmlArena& arena, StringBuffer* sharedName,
                                          XmlNodeKind newKind) {
  static_assert(alignof(XmlLinkedNode) <= XmlArena::kAlignment);
  static_assert(alignof(Block) <= XmlArena::kAlignment);
  void* memory = arena.Allocate(sizeof(XmlLinkedNode));
  if (memory == nullptr) return nullptr;
  return new (memory) XmlLinkedNode(InArenaTag{}, sharedName, newKind);
}

void XmlLinkedNode::operator delete(XmlLinkedNode* node, std::destroying_delete_t) {
  const bool inArena = node->Has(kInArena);
  node->~XmlLinkedNode();
  if (!inArena) ::operator delete(node);
}

bool XmlLinkedNode::ShareAttributes(XmlArena& arena, XmlSharedText& texts,
                                    const char* const* list) {
  if (list == nullptr || list[0] == nullptr) return true;
  if (Has(kHasBlock)) return false;
  uint32_t entries = 0;
  while (list[entries] != nullptr) ++entries;
  const uint32_t count = (entries + 1) / 2;
  if (count > (SIZE_MAX - sizeof(Block)) / sizeof(StringBuffer*)) return false;
  void* memory = arena.Allocate(sizeof(Block) + count * sizeof(StringBuffer*));
  if (memory == nullptr) return false;
  Block* shared = static_cast<Block*>(memory);
  shared->nodeName = payload.name;
  // The names go into the values' places first, then into a shared list.
  StringBuffer** values = shared->Values();
  for (uint32_t i = 0; i < count; ++i) {
    values[i] = texts.ShareStable(list[2 * i]);
    if (values[i] == nullptr) return false;
  }
  shared->names = texts.ShareNames(values, count);
  if (shared->names == nullptr) return false;
  for (uint32_t i = 0; i < count; ++i) {
    const char* value = 2 * i + 1 < entries ? list[2 * i + 1] : "";
    const size_t valueLength = std::strlen(value);
    values[i] =
        valueLength == 0 ? texts.Empty() : texts.Share(value, static_cast<uint32_t>(valueLength));
    if (values[i] == nullptr) return false;
  }
  payload.block = shared;
  flags |= kHasBlock;
  return true;
}

void XmlLinkedNode::AppendBuiltChild(XmlLinkedNode* child, XmlLinkedNode* lastChild) {
  child->parent = this;
  if (lastChild == nullptr) {
    firstChild = child;
  } else {
    child->prevSibling = lastChild;
    lastChild->nextSibling = child;
  }
}

XmlLinkedNode::~XmlLinkedNode() {
  Put(kValid, false);
  RemoveAllAttributes();
  if (Has(kOwnsBlock)) {
    StringBuffer* nodeName = payload.block->nodeName;
    ToolkitFree(payload.block);
    payload.name = nodeName;
    flags &= ~(kHasBlock | kOwnsBlock);
  }
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
  if (Has(kOwnsName)) delete NameRef();
}

bool XmlLinkedNode::IsValid() {
  return Has(kValid);
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
  NoteEdit();
  parent = node;
}
void XmlLinkedNode::SetFirstChild(XmlNode* node) {
  NoteEdit();
  firstChild = node;
}
void XmlLinkedNode::SetPrevSibling(XmlNode* node) {
  NoteEdit();
  prevSibling = node;
}
void XmlLinkedNode::SetNextSibling(XmlNode* node) {
  NoteEdit();
  nextSibling = node;
}

bool XmlLinkedNode::SwapWithSibling(XmlNode* other) {
  if (other == nullptr || parent == nullptr || other->GetParent() != parent) return false;
  if (other == this) return true;
  NoteEdit();
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
  NoteEdit();
  Detach();
  return InsertUnder(newParent, nullptr, -1) != nullptr;
}

void XmlLinkedNode::UnlinkFromSiblings() {
  if (prevSibling != nullptr) prevSibling->SetNextSibling(nextSibling);
  if (nextSibling != nullptr) nextSibling->SetPrevSibling(prevSibling);
}

bool XmlLinkedNode::MakeLastSibling() {
  if (nextSibling == nullptr) return false;
  NoteEdit();
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
  NoteEdit();
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
  NoteEdit();
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
  NoteEdit();
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
  kind = static_cast<int16_t>(newKind);
  return true;
}

void XmlLinkedNode::SetIndentAlways(bool on) {
  Put(kIndentAlways, on);
}
void XmlLinkedNode::SetNewlineAlways(bool on) {
  Put(kNewlineAlways, on);
}
void XmlLinkedNode::SetFromSource(bool on) {
  Put(kFromSource, on);
}

bool XmlLinkedNode::OwnAttributes(uint32_t capacity) {
  Block* current = AttributeBlock();
  const uint32_t count = GetAttributeCount();
  if (Has(kOwnsBlock)) {
    const uint32_t room =
        static_cast<uint32_t>((ToolkitSize(current) - sizeof(Block)) / sizeof(Slot));
    if (room >= capacity) return true;
    uint32_t grown = room * 2 > capacity ? room * 2 : capacity;
    if (grown > (UINT32_MAX - sizeof(Block)) / sizeof(Slot)) return false;
    void* memory =
        ToolkitRealloc(current, static_cast<uint32_t>(sizeof(Block) + grown * sizeof(Slot)), false);
    if (memory == nullptr) return false;
    payload.block = static_cast<Block*>(memory);
    return true;
  }
  // The first change to a built node's attributes: copy the shared ones into a block of the
  // node's own.
  if (capacity < count) capacity = count;
  if (capacity < 4) capacity = 4;
  if (capacity > (UINT32_MAX - sizeof(Block)) / sizeof(Slot)) return false;
  Block* own = static_cast<Block*>(
      ToolkitAlloc(static_cast<uint32_t>(sizeof(Block) + capacity * sizeof(Slot)), false));
  if (own == nullptr) return false;
  own->nodeName = NameRef();
  own->count = 0;
  for (uint32_t i = 0; i < count; ++i) {
    Slot& slot = own->Slots()[i];
    const Slot shared = AttributeAt(i);
    slot.name = NewText(shared.name->Data());
    slot.value = slot.name != nullptr ? NewText(shared.value->Data()) : nullptr;
    if (slot.value == nullptr) {
      delete slot.name;
      for (uint32_t j = i; j > 0; --j) {
        delete own->Slots()[j - 1].name;
        delete own->Slots()[j - 1].value;
      }
      ToolkitFree(own);
      return false;
    }
    own->count = i + 1;
  }
  payload.block = own;
  flags |= kHasBlock | kOwnsBlock;
  return true;
}

bool XmlLinkedNode::AppendAttribute(const char* attrName, const char* attrValue) {
  const uint32_t count = GetAttributeCount();
  if (count == UINT32_MAX || !OwnAttributes(count + 1)) return false;
  StringBuffer* newName = NewText(attrName);
  StringBuffer* newValue = newName != nullptr ? NewText(attrValue) : nullptr;
  if (newValue == nullptr) {
    delete newName;
    return false;
  }
  payload.block->Slots()[count] = Slot{newName, newValue};
  payload.block->count = count + 1;
  return true;
}

bool XmlLinkedNode::SetAttributes(const char* const* list) {
  NoteEdit();
  RemoveAllAttributes();
  if (list == nullptr || list[0] == nullptr) return true;
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
  Block* current = AttributeBlock();
  if (current == nullptr) return true;
  NoteEdit();
  if (Has(kOwnsBlock)) {
    for (uint32_t i = static_cast<uint32_t>(current->count); i > 0; --i) {
      delete current->Slots()[i - 1].value;
      delete current->Slots()[i - 1].name;
    }
    current->count = 0;
    return true;
  }
  // A shared block stays in the arena; the node just stops using its entries, which it does
  // by pointing at an empty list.
  static const uintptr_t kNoNames[1] = {0};
  current->names = reinterpret_cast<StringBuffer* const*>(kNoNames + 1);
  return true;
}

uint32_t XmlLinkedNode::GetNameLength() {
  return GetName()->Length();
}

bool XmlLinkedNode::SetName(const char* text, int32_t length) {
  NoteEdit();
  StringBuffer*& current = NameRef();
  if (Has(kOwnsName)) return current->SetText(text, length, 0);
  // A shared or missing name: the node takes a buffer of its own.
  StringBuffer* own = new (std::nothrow) StringBuffer();
  if (own == nullptr) return false;
  if (!own->SetText(text, length, 0)) {
    delete own;
    return false;
  }
  current = own;
  flags |= kOwnsName;
  return true;
}

uint32_t XmlLinkedNode::FindAttribute(const char* attrName) {
  const uint32_t count = GetAttributeCount();
  if (attrName == nullptr) return count;
  for (uint32_t i = 0; i < count; ++i) {
    if (TextEquals(AttributeAt(i).name, attrName)) return i;
  }
  return count;
}

bool XmlLinkedNode::GetAttributeNameLength(uint32_t index, uint32_t* out) {
  const Slot attribute = AttributeAt(index);
  if (out == nullptr || attribute.name == nullptr) return false;
  *out = attribute.name->Length();
  return true;
}

bool XmlLinkedNode::GetAttributeValueLength(uint32_t index, uint32_t* out) {
  const Slot attribute = AttributeAt(index);
  if (out == nullptr || attribute.value == nullptr) return false;
  *out = attribute.value->Length();
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
  *out = IntOfText(value->Data());
  return true;
}

bool XmlLinkedNode::GetAttributeText(const char* attrName, const char** out) {
  const Slot attribute = AttributeAt(FindAttribute(attrName));
  if (out == nullptr || attribute.value == nullptr) return false;
  *out = IsEmptyText(attribute.value) ? nullptr : attribute.value->Data();
  return true;
}

bool XmlLinkedNode::GetIntAttributeAt(uint32_t index, int32_t* out) {
  if (out == nullptr) return false;
  StringBuffer* value = GetAttributeValueAt(index);
  if (IsEmptyText(value)) return false;
  *out = IntOfText(value->Data());
  return true;
}

bool XmlLinkedNode::GetFloatAttributeAt(uint32_t index, float* out) {
  if (out == nullptr) return false;
  StringBuffer* value = GetAttributeValueAt(index);
  if (IsEmptyText(value)) return false;
  *out = static_cast<float>(std::atof(value->Data()));
  return true;
}

StringBuffer* XmlLinkedNode::GetAttributeValue(const char* attrName) {
  const Slot attribute = AttributeAt(FindAttribute(attrName));
  return attribute.value != nullptr ? attribute.value : XmlEmptySentinel();
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
  NoteEdit();
  const uint32_t index = FindAttribute(attrName);
  if (index == GetAttributeCount()) return AppendAttribute(attrName, value);
  // A built node's values are shared: it takes copies first.
  if (!Has(kOwnsBlock) && !OwnAttributes(GetAttributeCount())) return false;
  return AttributeAt(index).value->SetText(value, -1, 0);
}

int32_t XmlLinkedNode::GetLine() {
  return line;
}
void XmlLinkedNode::SetLine(int32_t newLine) {
  line = newLine;
}
