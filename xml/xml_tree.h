// A tree of XML documents built from text with the expat parser, and its owner.
#pragma once

#include <cstdint>

class PathBuffer;
class XmlNode;

// Owns a root node "rootOfAllTrees" (kind Document) under which every parsed document
// hangs as one more Document node. The parser exists only inside one Parse call.
class XmlTree {
 public:
  // Told a syntax error instead of the "XML Error" box: expat's message and the line.
  using ParseErrorHandler = void (*)(void* context, const char* message, int32_t line);

  // Creates the root; IsReady tells whether that succeeded.
  XmlTree();
  XmlTree(const XmlTree&) = delete;
  XmlTree& operator=(const XmlTree&) = delete;

  // True when the root was created and named.
  virtual bool IsReady();
  // The "rootOfAllTrees" node, or null when the tree is not ready.
  virtual XmlNode* GetRoot();
  // Parses `length` bytes of `text` (no terminating zero needed) into a new Document node
  // named `name` under the root. Mode 1 drops text chunks made only of blanks; any other
  // mode keeps every chunk. A syntax error (an empty text included: "no element found")
  // shows the "XML Error" message box, or goes to the handler set by SetParseErrorHandler,
  // and returns false; other failures (no text, no memory, a tree that is not ready) return
  // false silently. Nodes built before a failure stay in the tree.
  virtual bool Parse(const char* text, int32_t length, const char* name, int32_t mode);
  // Writes `top`'s subtree in `layout` (see BuildXmlText) to the file at `path`, created
  // or truncated, in one write; false if the file cannot be opened, the text cannot be
  // built (the file is then left empty) or the write or close fails.
  virtual bool WriteToFile(const PathBuffer& path, XmlNode* top, int32_t layout);
  // Destroys the root and every node of the tree.
  virtual ~XmlTree();
  // Sends later syntax errors to handler with context; a null handler brings the box back.
  void SetParseErrorHandler(ParseErrorHandler handler, void* context) {
    errorHandler = handler;
    errorContext = context;
  }

 private:
  XmlNode* root = nullptr;
  void* parser = nullptr;  // XML_Parser of the running Parse call
  bool ready = false;
  ParseErrorHandler errorHandler = nullptr;
  void* errorContext = nullptr;
};

// Shows the message box "XML Error" with "Parse Error: <message> at line <line>"; false,
// showing nothing, if the text cannot be formatted.
bool ShowParseError(const char* message, int32_t line);
