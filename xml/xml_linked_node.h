// The one concrete XML node: links to parent, first child and siblings, a name and an
// attribute list.
#pragma once

#include <cstdint>

#include "base/string_buffer.h"
#include "ui/toolkit_array.h"
#include "xml/xml_node.h"

class XmlAttribute;

// A node kept in a doubly linked child list without a last-child link. Owns its children
// (through the first-child link) and its attributes. Walks and destruction are iterative,
// so documents of any nesting depth are safe.
class XmlLinkedNode : public XmlNode {
 public:
  // Makes an empty node; with a parent, appends it as the parent's last child. IsValid
  // tells whether that succeeded.
  explicit XmlLinkedNode(XmlNode* parent = nullptr);
  XmlLinkedNode(const XmlLinkedNode&) = delete;
  XmlLinkedNode& operator=(const XmlLinkedNode&) = delete;
  // Destroys the attributes, detaches the node and destroys its subtree without recursion.
  ~XmlLinkedNode() override;

  bool IsValid() override;
  XmlNode* GetParent() override;
  XmlNode* GetFirstChild() override;
  XmlNode* GetPrevSibling() override;
  XmlNode* GetNextSibling() override;
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
  bool GetIndentAlways() override;
  bool GetNewlineAlways() override;
  bool IsFromSource() override;
  XmlNodeKind GetKind() override;
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
  // The attribute at `index`, or null when out of range.
  XmlAttribute* AttributeAt(uint32_t index);
  // First attribute named `name`, or null.
  XmlAttribute* FindAttribute(const char* name);
  // Appends a new attribute; false (nothing added) if it cannot be stored.
  bool AppendAttribute(const char* name, const char* value);
  // Links the previous and next siblings to each other, leaving this node's links alone.
  void UnlinkFromSiblings();
  // True when `node` is this node or lies in its subtree.
  bool Contains(XmlNode* node);

  XmlNode* parent = nullptr;
  XmlNode* firstChild = nullptr;
  XmlNode* prevSibling = nullptr;
  XmlNode* nextSibling = nullptr;
  XmlNodeKind kind = XmlNodeKind::Document;
  StringBuffer name;
  ToolkitArray attributes;  // of XmlAttribute*, owned
  bool newlineAlways = false;
  bool indentAlways = false;
  bool fromSource = false;
  int32_t line = 0;
  bool valid = false;
};
