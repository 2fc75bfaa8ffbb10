// The abstract XML node through which every caller works, and its kinds.
#pragma once

#include <cstdint>

class StringBuffer;

// Kind of a node, stored as a 32-bit integer in each node.
enum class XmlNodeKind : int32_t {
  Document = 0,  // a tree's root or one parsed document; the name is the document's name
  Text = 1,      // raw text chunk from the parser; the name is the text itself
  Element = 2,   // an element; the name is its tag name
  EndTag = 3,    // a closing tag made by callers (never by the parser); the name is the tag name
};

// A node of an XML tree. Children form a doubly linked list that starts at the parent's
// first-child link; a node owns its children and its attributes. The slot order of the
// operations below is binding; XmlLinkedNode implements all of them.
class XmlNode {
 public:
  // Destroys the node and its whole subtree after detaching it from its parent.
  virtual ~XmlNode() = default;

  // True once construction, including the optional attachment to a parent, succeeded.
  virtual bool IsValid() = 0;
  // The parent, or null for a tree root.
  virtual XmlNode* GetParent() = 0;
  // The first child, or null.
  virtual XmlNode* GetFirstChild() = 0;
  // The previous sibling, or null.
  virtual XmlNode* GetPrevSibling() = 0;
  // The next sibling, or null.
  virtual XmlNode* GetNextSibling() = 0;
  // Pre-order successor; the climb stops below `stop`; `depth` (optional) tracks the level
  // change relative to this node. Null at the end of the walk.
  virtual XmlNode* GetNextInDocument(XmlNode* stop, int32_t* depth) = 0;
  // Pre-order predecessor, or null for a root.
  virtual XmlNode* GetPrevInDocument() = 0;
  // The first of this node's siblings (the node itself when it is first).
  virtual XmlNode* GetFirstSibling() = 0;
  // The last of this node's siblings (the node itself when it is last).
  virtual XmlNode* GetLastSibling() = 0;
  // Stores the parent link only.
  virtual void SetParent(XmlNode* node) = 0;
  // Stores the first-child link only.
  virtual void SetFirstChild(XmlNode* node) = 0;
  // Stores the previous-sibling link only.
  virtual void SetPrevSibling(XmlNode* node) = 0;
  // Stores the next-sibling link only.
  virtual void SetNextSibling(XmlNode* node) = 0;
  // Exchanges the places of this node and `other` under their common parent; false if the
  // parents differ or either node has none.
  virtual bool SwapWithSibling(XmlNode* other) = 0;
  // Moves the node with its subtree to the end of `newParent`'s children; false, with
  // nothing changed, when the parent is null or lies inside this node's subtree.
  virtual bool MoveUnder(XmlNode* newParent) = 0;
  // Makes the node the last of its siblings; false if it already is.
  virtual bool MakeLastSibling() = 0;
  // Makes the node the first of its siblings; false if it already is.
  virtual bool MakeFirstSibling() = 0;
  // Unlinks the node from its parent and siblings, keeping its subtree; false without parent.
  virtual bool Detach() = 0;
  // Detaches and destroys the node and its subtree; false, destroying nothing, for a root.
  virtual bool DetachAndDelete() = 0;
  // Number of children.
  virtual uint32_t GetChildCount() = 0;
  // Creates a node (flags indent-always and newline-always set) and inserts it under
  // `parent` at `position` (see InsertUnder); the new node, or null on failure. Does not use
  // the node it is called on.
  virtual XmlNode* CreateChild(XmlNode* parent, const char* name, int32_t nameLength,
                               XmlNodeKind kind, int32_t* index, int32_t position) = 0;
  // Links this parentless node into `parent`'s children before child `position` (0 makes it
  // first; negative or past the end appends) and stores its index in `index` (optional).
  // Returns this node, or null, changing nothing, when the node already has a parent, the
  // parent is null, or the parent lies inside this node's subtree.
  virtual XmlNode* InsertUnder(XmlNode* parent, int32_t* index, int32_t position) = 0;
  // Number of siblings before the node.
  virtual uint32_t GetIndexInParent() = 0;
  // Sets the name, then the attributes when `attributes` is given, then the kind; false if
  // the name or attributes cannot be stored (the kind is then left unchanged).
  virtual bool Init(const char* name, int32_t nameLength, XmlNodeKind kind,
                    const char* const* attributes) = 0;
  // Sets the indent-always flag: the writer indents the node in every layout.
  virtual void SetIndentAlways(bool on) = 0;
  // Sets the newline-always flag: the writer ends the node's tag line in every layout.
  virtual void SetNewlineAlways(bool on) = 0;
  // Sets the from-source flag: the node was built from parsed text.
  virtual void SetFromSource(bool on) = 0;
  // The indent-always flag.
  virtual bool GetIndentAlways() = 0;
  // The newline-always flag.
  virtual bool GetNewlineAlways() = 0;
  // The from-source flag.
  virtual bool IsFromSource() = 0;
  // The node's kind (an XmlNodeKind value; 0 until set).
  virtual XmlNodeKind GetKind() = 0;
  // Replaces all attributes by the pairs of a null-terminated list name, value, name, value;
  // false on the first pair that cannot be stored (earlier pairs stay).
  virtual bool SetAttributes(const char* const* list) = 0;
  // Destroys all attributes, keeping the array's storage; always true.
  virtual bool RemoveAllAttributes() = 0;
  // Byte length of the name (0 when empty).
  virtual uint32_t GetNameLength() = 0;
  // The node's own name buffer, never null.
  virtual StringBuffer* GetName() = 0;
  // Replaces the name by the first `length` bytes of `text` (-1: up to its zero byte);
  // false if the buffer cannot take it.
  virtual bool SetName(const char* text, int32_t length) = 0;
  // Number of attributes.
  virtual uint32_t GetAttributeCount() = 0;
  // Stores the byte length of attribute `index`'s name; false if `out` is null or the index
  // is out of range.
  virtual bool GetAttributeNameLength(uint32_t index, uint32_t* out) = 0;
  // Name buffer of attribute `index`; the empty sentinel when out of range.
  virtual StringBuffer* GetAttributeName(uint32_t index) = 0;
  // Stores the byte length of attribute `index`'s value; false if `out` is null or the index
  // is out of range.
  virtual bool GetAttributeValueLength(uint32_t index, uint32_t* out) = 0;
  // atof of the named attribute's value into `out`; false if the attribute is missing or
  // its value is empty, or `out` is null.
  virtual bool GetFloatAttribute(const char* name, float* out) = 0;
  // The named attribute's value read as a 32-bit atol (IntOfText: held at the range's ends)
  // into `out`; false if the attribute is missing or its value is empty, or `out` is null.
  virtual bool GetIntAttribute(const char* name, int32_t* out) = 0;
  // Stores the value text of the first attribute named `name` (null when the value is
  // empty); false if there is none or `out` is null.
  virtual bool GetAttributeText(const char* name, const char** out) = 0;
  // Attribute `index`'s value read as GetIntAttribute reads it (the "ErrorStr" sentinel,
  // giving 0, when out of range); false if `out` is null or the value is empty.
  virtual bool GetIntAttributeAt(uint32_t index, int32_t* out) = 0;
  // atof of attribute `index`'s value (the "ErrorStr" sentinel, giving 0, when out of
  // range); false if `out` is null or the value is empty.
  virtual bool GetFloatAttributeAt(uint32_t index, float* out) = 0;
  // Value buffer of attribute `index`; the "ErrorStr" sentinel when out of range.
  virtual StringBuffer* GetAttributeValueAt(uint32_t index) = 0;
  // Value buffer of the first attribute named `name`; the empty sentinel if there is none.
  virtual StringBuffer* GetAttributeValue(const char* name) = 0;
  // Stores `value` as an integer text when it is whole, else "%.5f" without trailing
  // fraction zeros; false if formatting or storing fails.
  virtual bool SetFloatAttribute(const char* name, float value) = 0;
  // Stores `value` formatted with "%d"; false if formatting or storing fails.
  virtual bool SetIntAttribute(const char* name, int32_t value) = 0;
  // Replaces the value of the first attribute named `name` in place, or appends a new
  // attribute; false if it cannot be stored.
  virtual bool SetAttribute(const char* name, const char* value) = 0;
  // The source line where the parser met the node (0 when not parsed).
  virtual int32_t GetLine() = 0;
  // Sets the source line.
  virtual void SetLine(int32_t line) = 0;
};

// The process-wide empty buffer returned for missing attributes and attribute names; never
// written.
StringBuffer* XmlEmptySentinel();

// The process-wide read-only view of "ErrorStr" returned for attribute values by an
// out-of-range index; never written.
StringBuffer* XmlErrorStrSentinel();
