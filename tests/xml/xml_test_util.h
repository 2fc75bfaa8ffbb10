// Helpers shared by the XML tests: building nodes and describing trees as text.
#pragma once

#include <string>

#include "base/string_buffer.h"
#include "xml/xml_linked_node.h"
#include "xml/xml_node.h"

namespace xmltest {

// The buffer's text, "" when it has none.
inline std::string Str(StringBuffer* buffer) {
  const char* data = buffer->Data();
  return data != nullptr ? std::string(data) : std::string();
}

inline std::string Name(XmlNode* node) {
  return node != nullptr ? Str(node->GetName()) : "(null)";
}

// A new element named `name`, appended under `parent` when one is given.
inline XmlNode* MakeNode(XmlNode* parent, const char* name,
                         XmlNodeKind kind = XmlNodeKind::Element) {
  XmlLinkedNode* node = new XmlLinkedNode(parent);
  node->Init(name, -1, kind, nullptr);
  return node;
}

// The children's names, forward, separated by spaces. Checks every link on the way: parent
// links, the first child having no previous sibling, and the backward walk from the last
// child giving the same list reversed. A broken list yields a text starting with "BROKEN".
inline std::string Children(XmlNode* parent) {
  std::string forward;
  XmlNode* last = nullptr;
  XmlNode* first = parent->GetFirstChild();
  if (first != nullptr && first->GetPrevSibling() != nullptr) return "BROKEN: first has prev";
  int guard = 0;
  for (XmlNode* c = first; c != nullptr; c = c->GetNextSibling()) {
    if (++guard > 100000) return "BROKEN: cycle";
    if (c->GetParent() != parent) return "BROKEN: parent link of " + Name(c);
    if (!forward.empty()) forward += ' ';
    forward += Name(c);
    last = c;
  }
  std::string backward;
  for (XmlNode* c = last; c != nullptr; c = c->GetPrevSibling()) {
    if (--guard < 0) return "BROKEN: backward walk longer";
    backward = Name(c) + (backward.empty() ? "" : " ") + backward;
  }
  if (backward != forward) return "BROKEN: backward " + backward + " vs forward " + forward;
  return forward;
}

// Names in pre-order, visited by repeated GetNextInDocument(n, n, null) from `start`.
inline std::string PreOrder(XmlNode* start) {
  std::string out;
  int guard = 0;
  for (XmlNode* n = start; n != nullptr; n = n->GetNextInDocument(n, nullptr)) {
    if (++guard > 100000) return out + " BROKEN: endless walk";
    if (!out.empty()) out += ' ';
    out += Name(n);
  }
  return out;
}

}  // namespace xmltest
