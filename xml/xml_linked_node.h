// The one concrete XML node: links to parent, first child and siblings, a name and an
// attribute list.
#pragma once

#include <atomic>
#include <cstdint>
#include <new>

#include "base/string_buffer.h"
#include "xml/xml_node.h"

class XmlArena;
class XmlSharedText;

// A node kept in a doubly linked child list without a last-child link. Owns its children
// (through the first-child link) and its attributes. Walks and destruction are iterative,
// so documents of any nesting depth are safe.
//
// A node lives either on the heap (constructed by callers, CreateChild) or in a tree's arena
// (built by the parser). A built node shares its name and attribute texts with the other
// nodes of its tree as read-only buffers; the first change to them gives the node copies of
// its own on the heap. Deleting a node in an arena destroys it in place; its memory goes
// with the arena.
class XmlLinkedNode final : public XmlNode {
 public:
  // Makes an empty node; with a parent, appends it as the parent's last child. IsValid
  // tells whether that succeeded.
  explicit XmlLinkedNode(XmlNode* parent = nullptr);
  XmlLinkedNode(const XmlLinkedNode&) = delete;
  XmlLinkedNode& operator=(const XmlLinkedNode&) = delete;
  // Destroys the attributes, detaches the node and destroys its subtree without recursion.
  ~XmlLinkedNode() override;
  // Destroys the node, then frees its memory unless it lives in an arena.
  void operator delete(XmlLinkedNode* node, std::destroying_delete_t);

  // A parentless node of `kind` in `arena`, named by the shared (read-only) `sharedName`;
  // null when the arena has no memory left.
  static XmlLinkedNode* MakeInArena(XmlArena& arena, StringBuffer* sharedName, XmlNodeKind kind);
  // Stores the pairs of a parser's null-terminated list (name, value, ...) as shared texts of
  // `texts`, on a node built by MakeInArena that has no attributes yet; false when memory
  // runs out.
  bool ShareAttributes(XmlArena& arena, XmlSharedText& texts, const char* const* list);
  // Links the parentless `child` after `lastChild`, this node's current last child (null when
  // it has none), without counting an edit.
  void AppendBuiltChild(XmlLinkedNode* child, XmlLinkedNode* lastChild);
  // The parent as a node of this class (the builder's nodes have no other kind of parent).
  XmlLinkedNode* BuiltParent() const { return static_cast<XmlLinkedNode*>(parent); }
  // How many changes were made to nodes living in an arena since the program started. A tree
  // whose count did not move while it lived has only arena nodes that own nothing on the
  // heap, and can release its arena without visiting them.
  static uint64_t ArenaEdits() { return arenaEdits.load(std::memory_order_relaxed); }
  // The name of a heap node whose own buffer could not be had: empty and read-only.
  static StringBuffer* NoNameView();

  class AttributeList;
  // The attributes, read in one go: what GetAttributeName and GetAttributeValueAt give,
  // without finding the storage again for every one.
  AttributeList ReadAttributes();

  bool IsValid() override;
  XmlNode* GetParent() override { return parent; }
  XmlNode* GetFirstChild() override { return firstChild; }
  XmlNode* GetPrevSibling() override { return prevSibling; }
  XmlNode* GetNextSibling() override { return nextSibling; }
  XmlNode* GetNextInDocument(XmlNode* stop, int32_t* depth) override;
  XmlNode* GetPrevInDocument() override;
  XmlNode* GetFirstSibling() override;
  XmlNode* GetLastSibling() override;
  void SetParent(XmlNode* node) override;
  void SetFirstChild(XmlNode* node) override;
  void SetPrevSibling(XmlNode* node) override;
  void SetNextSibling(XmlNode* node) override;
  bool SwapWithSibling(XmlNode* other) override;
  bool MoveUnder(XmlNode* newParent) override;
  bool MakeLastSibling() override;
  bool MakeFirstSibling() override;
  bool Detach() override;
  bool DetachAndDelete() override;
  uint32_t GetChildCount() override;
  XmlNode* CreateChild(XmlNode* parent, const char* name, int32_t nameLength, XmlNodeKind kind,
                       int32_t* index, int32_t position) override;
  XmlNode* InsertUnder(XmlNode* parent, int32_t* index, int32_t position) override;
  uint32_t GetIndexInParent() override;
  bool Init(const char* name, int32_t nameLength, XmlNodeKind kind,
            const char* const* attributes) override;
  void SetIndentAlways(bool on) override;
  void SetNewlineAlways(bool on) override;
  void SetFromSource(bool on) override;
  bool GetIndentAlways() override { return Has(kIndentAlways); }
  bool GetNewlineAlways() override { return Has(kNewlineAlways); }
  bool IsFromSource() override { return Has(kFromSource); }
  XmlNodeKind GetKind() override { return static_cast<XmlNodeKind>(kind); }
  bool SetAttributes(const char* const* list) override;
  bool RemoveAllAttributes() override;
  uint32_t GetNameLength() override;
  StringBuffer* GetName() override;
  bool SetName(const char* text, int32_t length) override;
  uint32_t GetAttributeCount() override;
  bool GetAttributeNameLength(uint32_t index, uint32_t* out) override;
  StringBuffer* GetAttributeName(uint32_t index) override;
  bool GetAttributeValueLength(uint32_t index, uint32_t* out) override;
  bool GetFloatAttribute(const char* name, float* out) override;
  bool GetIntAttribute(const char* name, int32_t* out) override;
  bool GetAttributeText(const char* name, const char** out) override;
  bool GetIntAttributeAt(uint32_t index, int32_t* out) override;
  bool GetFloatAttributeAt(uint32_t index, float* out) override;
  StringBuffer* GetAttributeValueAt(uint32_t index) override;
  StringBuffer* GetAttributeValue(const char* name) override;
  bool SetFloatAttribute(const char* name, float value) override;
  bool SetIntAttribute(const char* name, int32_t value) override;
  bool SetAttribute(const char* name, const char* value) override;
  int32_t GetLine() override;
  void SetLine(int32_t line) override;

 private:
  // One attribute: its name and value buffers, shared read-only views or the node's own.
  struct Slot {
    StringBuffer* name;
    StringBuffer* value;
  };

  // The node's name pointer and its attributes, which follow the block. Two words, so that the
  // many elements of a large scene carry no padding.
  //
  // A built node's block (kHasBlock without kOwnsBlock) holds `names`, a list of attribute
  // names shared by the elements with the same names, whose count is the word before its first
  // entry (see XmlSharedText::ShareNames); the values follow the block. A block of the node's
  // own (kOwnsBlock) holds `count`; name/value pairs follow, with room for as many as its heap
  // size allows.
  struct Block {
    StringBuffer* nodeName;
    union {
      StringBuffer* const* names;
      uintptr_t count;
    };
    Slot* Slots() { return reinterpret_cast<Slot*>(this + 1); }
    StringBuffer** Values() { return reinterpret_cast<StringBuffer**>(this + 1); }
    // The number of entries of a shared name list.
    uint32_t SharedCount() const {
      return static_cast<uint32_t>(reinterpret_cast<const uintptr_t*>(names)[-1]);
    }
  };

  // Node flags.
  static constexpr uint8_t kNewlineAlways = 1;
  static constexpr uint8_t kIndentAlways = 2;
  static constexpr uint8_t kFromSource = 4;
  static constexpr uint8_t kValid = 8;
  static constexpr uint8_t kInArena = 16;
  static constexpr uint8_t kOwnsName = 32;    // the name buffer is this node's, on the heap
  static constexpr uint8_t kHasBlock = 64;    // `payload` is an attribute block
  static constexpr uint8_t kOwnsBlock = 128;  // the block and its buffers are this node's

  struct InArenaTag {};
  XmlLinkedNode(InArenaTag, StringBuffer* sharedName, XmlNodeKind kind);

  // The name buffer pointer, wherever it is kept (null for a heap node out of memory).
  StringBuffer*& NameRef();
  // The attribute block, or null.
  Block* AttributeBlock() const;
  // The name and value buffers of the attribute at `index`; both null when out of range.
  Slot AttributeAt(uint32_t index);
  // Index of the first attribute named `name`; the attribute count when there is none.
  uint32_t FindAttribute(const char* name);
  // Gives the node a heap block of its own with room for `capacity` attributes, copying
  // shared ones; false (nothing changed) when memory runs out.
  bool OwnAttributes(uint32_t capacity);
  // Appends a new attribute; false (nothing added) if it cannot be stored.
  bool AppendAttribute(const char* name, const char* value);
  // Links the previous and next siblings to each other, leaving this node's links alone.
  void UnlinkFromSiblings();
  // True when `node` is this node or lies in its subtree.
  bool Contains(XmlNode* node);
  // Counts a change to a node in an arena.
  void NoteEdit() {
    if ((flags & kInArena) != 0) arenaEdits.fetch_add(1, std::memory_order_relaxed);
  }
  bool Has(uint8_t flag) const { return (flags & flag) != 0; }
  void Put(uint8_t flag, bool on) { flags = on ? uint8_t(flags | flag) : uint8_t(flags & ~flag); }

  // Counted across threads: a tree may be edited on one thread and released on another.
  static std::atomic<uint64_t> arenaEdits;

  XmlNode* parent = nullptr;
  XmlNode* firstChild = nullptr;
  XmlNode* prevSibling = nullptr;
  XmlNode* nextSibling = nullptr;
  // The name buffer, or, once the node has attributes, the block that holds the name pointer
  // and the attributes: one pointer keeps the node small.
  union {
    StringBuffer* name;
    Block* block;
  } payload{nullptr};
  int32_t line = 0;
  int16_t kind = 0;
  uint8_t flags = 0;
};

// A node's attributes as they are stored: shared names with values, or pairs of the node's
// own. Valid while the node's attributes do not change.
class XmlLinkedNode::AttributeList {
 public:
  AttributeList() = default;
  AttributeList(StringBuffer* const* names, StringBuffer* const* values, uint32_t count)
      : names_(names), values_(values), count_(count) {}
  AttributeList(const Slot* slots, uint32_t count) : slots_(slots), count_(count) {}

  uint32_t Count() const { return count_; }
  // As GetAttributeName, for an index below Count.
  StringBuffer* Name(uint32_t index) const {
    StringBuffer* name = slots_ != nullptr ? slots_[index].name : names_[index];
    return name != nullptr ? name : XmlEmptySentinel();
  }
  // As GetAttributeValueAt, for an index below Count.
  StringBuffer* Value(uint32_t index) const {
    StringBuffer* value = slots_ != nullptr ? slots_[index].value : values_[index];
    return value != nullptr ? value : XmlErrorStrSentinel();
  }

 private:
  StringBuffer* const* names_ = nullptr;
  StringBuffer* const* values_ = nullptr;
  const Slot* slots_ = nullptr;
  uint32_t count_ = 0;
};

inline XmlLinkedNode::AttributeList XmlLinkedNode::ReadAttributes() {
  Block* current = AttributeBlock();
  if (current == nullptr) return AttributeList();
  if (!Has(kOwnsBlock))
    return AttributeList(current->names, current->Values(), current->SharedCount());
  return AttributeList(current->Slots(), static_cast<uint32_t>(current->count));
}

// The reads a writer makes for every node are defined here, so that calls through this
// final class compile to plain loads.
inline StringBuffer*& XmlLinkedNode::NameRef() {
  return Has(kHasBlock) ? payload.block->nodeName : payload.name;
}

inline XmlLinkedNode::Block* XmlLinkedNode::AttributeBlock() const {
  return Has(kHasBlock) ? payload.block : nullptr;
}

inline StringBuffer* XmlLinkedNode::GetName() {
  StringBuffer* current = NameRef();
  return current != nullptr ? current : NoNameView();
}

inline uint32_t XmlLinkedNode::GetAttributeCount() {
  Block* current = AttributeBlock();
  if (current == nullptr) return 0;
  return Has(kOwnsBlock) ? static_cast<uint32_t>(current->count) : current->SharedCount();
}

inline XmlLinkedNode::Slot XmlLinkedNode::AttributeAt(uint32_t index) {
  if (index >= GetAttributeCount()) return Slot{nullptr, nullptr};
  Block* current = AttributeBlock();
  if (!Has(kOwnsBlock)) return Slot{current->names[index], current->Values()[index]};
  return current->Slots()[index];
}

inline StringBuffer* XmlLinkedNode::GetAttributeName(uint32_t index) {
  const Slot attribute = AttributeAt(index);
  return attribute.name != nullptr ? attribute.name : XmlEmptySentinel();
}

inline StringBuffer* XmlLinkedNode::GetAttributeValueAt(uint32_t index) {
  const Slot attribute = AttributeAt(index);
  return attribute.value != nullptr ? attribute.value : XmlErrorStrSentinel();
}
