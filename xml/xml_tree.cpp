#include "xml/xml_tree.h"

#include <expat.h>

#include <cstring>
#include <new>

#include "base/file_handle.h"
#include "base/path_buffer.h"
#include "base/string_buffer.h"
#include "ui/message_box.h"
#include "xml/xml_linked_node.h"
#include "xml/xml_writer.h"

namespace {

constexpr char kRootName[] = "rootOfAllTrees";

// Where the callbacks of one Parse call attach new nodes. `lastChild` is the current
// node's last child, kept so that appending costs no walk along the child list.
struct ParseCursor {
  XmlNode* current = nullptr;
  XmlNode* lastChild = nullptr;
  // Nesting depth inside an element whose node could not be built: everything in it is
  // left out, and the end tags still balance.
  uint32_t skipDepth = 0;
  // A node could not be built; the parse then reports failure.
  bool lostNodes = false;
};

// The user data handed to expat.
struct ParseContext {
  XML_Parser parser = nullptr;
  ParseCursor* cursor = nullptr;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int32_t CurrentLine(XML_Parser parser) {
  return static_cast<int32_t>(XML_GetCurrentLineNumber(parser));
}

// Links a fresh parentless node as the cursor's last child.
void AppendToCurrent(ParseCursor& cursor, XmlNode* node) {
  node->SetParent(cursor.current);
  if (cursor.lastChild == nullptr) {
    cursor.current->SetFirstChild(node);
  } else {
    node->SetPrevSibling(cursor.lastChild);
    cursor.lastChild->SetNextSibling(node);
  }
  cursor.lastChild = node;
}

void XMLCALL OnStartElement(void* userData, const XML_Char* name, const XML_Char** attributes) {
  ParseContext* context = static_cast<ParseContext*>(userData);
  ParseCursor& cursor = *context->cursor;
  if (cursor.skipDepth > 0) {
    ++cursor.skipDepth;
    return;
  }
  XmlLinkedNode* node = new (std::nothrow) XmlLinkedNode();
  if (node == nullptr || !node->Init(name, static_cast<int32_t>(std::strlen(name)),
                                     XmlNodeKind::Element, attributes)) {
    delete node;
    cursor.lostNodes = true;
    cursor.skipDepth = 1;
    return;
  }
  node->SetFromSource(true);
  AppendToCurrent(cursor, node);
  cursor.current = node;
  cursor.lastChild = nullptr;
  node->SetLine(CurrentLine(context->parser));
}

void XMLCALL OnEndElement(void* userData, const XML_Char* /*name*/) {
  ParseCursor& cursor = *static_cast<ParseContext*>(userData)->cursor;
  if (cursor.skipDepth > 0) {
    --cursor.skipDepth;
    return;
  }
  // expat enforces the nesting, so the current node is an element below the document.
  cursor.lastChild = cursor.current;
  cursor.current = cursor.current->GetParent();
}

void AddText(ParseContext* context, const XML_Char* text, int length) {
  ParseCursor& cursor = *context->cursor;
  if (cursor.skipDepth > 0) return;
  XmlLinkedNode* node = new (std::nothrow) XmlLinkedNode();
  if (node == nullptr || !node->Init(text, length, XmlNodeKind::Text, nullptr)) {
    delete node;
    cursor.lostNodes = true;
    return;
  }
  node->SetFromSource(true);
  AppendToCurrent(cursor, node);
  node->SetLine(CurrentLine(context->parser));
}

// Every part of the document that is not a tag arrives here raw, references unexpanded.
void XMLCALL OnText(void* userData, const XML_Char* text, int length) {
  AddText(static_cast<ParseContext*>(userData), text, length);
}

// Mode 1: chunks made only of blanks (the layout between tags) make no node. A chunk that
// starts with blanks but holds other text is kept whole, so no content is lost.
void XMLCALL OnTextSkippingBlank(void* userData, const XML_Char* text, int length) {
  int i = 0;
  while (i < length && IsBlank(text[i])) ++i;
  if (i == length) return;
  AddText(static_cast<ParseContext*>(userData), text, length);
}

}  // namespace

bool ShowParseError(const char* message, int32_t line) {
  StringBuffer text;
  if (!text.Format("Parse Error: %s at line %d", message != nullptr ? message : "",
                   static_cast<int>(line))) {
    text.Reset();
    return false;
  }
  ShowMessage(nullptr, "XML Error", text.Data());
  text.Reset();
  return true;
}

XmlTree::XmlTree() {
  XmlLinkedNode* node = new (std::nothrow) XmlLinkedNode();
  if (node == nullptr) return;
  root = node;
  ready = root->Init(kRootName, static_cast<int32_t>(sizeof(kRootName) - 1), XmlNodeKind::Document,
                     nullptr);
}

XmlTree::~XmlTree() {
  ready = false;
  delete root;
  root = nullptr;
}

bool XmlTree::IsReady() {
  return ready;
}

XmlNode* XmlTree::GetRoot() {
  return root;
}

bool XmlTree::Parse(const char* text, int32_t length, const char* name, int32_t mode) {
  if (!ready || root == nullptr) return false;
  XML_Parser xmlParser = XML_ParserCreate(nullptr);
  if (xmlParser == nullptr) return false;
  parser = xmlParser;
  auto fail = [&] {
    XML_ParserFree(xmlParser);
    parser = nullptr;
    return false;
  };
  XML_SetElementHandler(xmlParser, OnStartElement, OnEndElement);

  XmlLinkedNode* document = new (std::nothrow) XmlLinkedNode(root);
  if (document == nullptr) {
    ready = false;
    return fail();
  }
  if (!document->IsValid()) {
    delete document;
    return fail();
  }
  const int32_t nameLength = name != nullptr ? static_cast<int32_t>(std::strlen(name)) : 0;
  if (!document->Init(name, nameLength, XmlNodeKind::Document, nullptr)) return fail();
  XML_SetDefaultHandler(xmlParser, mode == 1 ? OnTextSkippingBlank : OnText);

  ParseCursor cursor;
  cursor.current = document;
  ParseContext context;
  context.parser = xmlParser;
  context.cursor = &cursor;
  XML_SetUserData(xmlParser, &context);

  // A missing text has nothing to parse: fail silently. An empty one is a document without
  // an element, which expat reports like any other syntax error.
  if (text == nullptr || length < 0) return fail();
  XML_Status status;
  if (length == 0) {
    status = XML_Parse(xmlParser, "", 0, 1);
  } else {
    void* buffer = XML_GetBuffer(xmlParser, length);
    if (buffer == nullptr) return fail();
    std::memcpy(buffer, text, static_cast<size_t>(length));
    status = XML_ParseBuffer(xmlParser, length, 1);
  }
  if (status == XML_STATUS_ERROR) {
    const int32_t line = CurrentLine(xmlParser);
    const char* message = XML_ErrorString(XML_GetErrorCode(xmlParser));
    if (errorHandler != nullptr) {
      errorHandler(errorContext, message, line);
    } else {
      ShowParseError(message, line);
    }
    return fail();
  }
  XML_ParserFree(xmlParser);
  parser = nullptr;
  return !cursor.lostNodes;
}

bool XmlTree::WriteToFile(const PathBuffer& path, XmlNode* top, int32_t layout) {
  FileHandle file(path);
  if (!file.Open(2)) return false;
  StringBuffer text;
  uint32_t length = 0;
  bool ok = BuildXmlText(top, layout, &text, &length);
  if (ok && length > 0) {
    uint32_t written = 0;
    ok = file.Write(text.Data(), length, &written) && written == length;
  }
  ok = file.Close() && ok;
  text.Reset();
  return ok;
}
