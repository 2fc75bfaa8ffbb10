// A tree of XML documents built from text with the expat parser, and its owner.
#pragma once

#include <cstdint>

#include "xml/xml_arena.h"
#include "xml/xml_shared_text.h"

class FileHandle;
class PathBuffer;
class XmlNode;

// How a parse ended.
enum class XmlParseOutcome {
  Parsed,       // the whole document is in the tree
  SyntaxError,  // not well-formed; the "XML Error" box was shown
  Empty,        // no text to parse (nothing shown)
  OutOfMemory,  // a node, a text or the parser's buffer could not be had (nothing shown)
  ReadFailed,   // the file could not be read (nothing shown)
  NotReady,     // the tree has no root
  Stopped,      // the element watch stopped the building part way; the rest of the text was
                // checked and is well-formed, and the tree keeps the nodes built before
  Cancelled,    // the block handler asked to stop; the tree keeps the nodes built before
};

// Told, during a parse, of each element whose attributes the tree keeps (see
// XmlTree::KeepAttributesOnlyOf) as it starts and as it ends, before its node is built.
class XmlElementWatch {
 public:
  // The element `name` starts with expat's attribute list (name, value, ..., null). False
  // stops the building: no later node is made, and the parse only checks the rest of the
  // text, so that a syntax error there is still told.
  virtual bool OnStart(const char* name, const char* const* attributes) = 0;
  virtual void OnEnd(const char* name) = 0;

 protected:
  ~XmlElementWatch() = default;
};

// Owns a root node "rootOfAllTrees" (kind Document) under which every parsed document
// hangs as one more Document node. The parser exists only inside one Parse call.
// The nodes the tree builds, their names and attribute lists live in the tree's arena and
// go with it at once; node pointers are valid for the tree's lifetime only.
class XmlTree {
 public:
  // Told a syntax error instead of the "XML Error" box: expat's message and the line.
  using ParseErrorHandler = void (*)(void* context, const char* message, int32_t line);
  // Called between the blocks of a long parse (a file or text above 1 MiB, every MiB) with
  // its context and the bytes handed to the parser so far; false stops the parse (Cancelled).
  using BlockHandler = bool (*)(void* context, uint64_t bytesRead);

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
  // or truncated, as it is made, in blocks; false if the file cannot be opened, the text
  // cannot be made or a write or the close fails (the file is then left empty).
  virtual bool WriteToFile(const PathBuffer& path, XmlNode* top, int32_t layout);
  // Destroys the root and every node of the tree.
  virtual ~XmlTree();
  // Sends later syntax errors to handler with context; a null handler brings the box back.
  void SetParseErrorHandler(ParseErrorHandler handler, void* context) {
    errorHandler = handler;
    errorContext = context;
  }

  // Whether later parses give their nodes the source line (XmlNode::GetLine); on at first.
  // Off, nodes keep line 0 and expat never counts lines but for a syntax error, a pass over
  // the text that a caller who never asks for lines is spared.
  void SetRecordLines(bool record) { recordLines = record; }
  // Later parses keep the attributes of the elements named `elementName` only (null: of
  // every element, as at first); other elements come without any, which spares copying them
  // for a caller that reads no others. The name must stay valid while it is set.
  void KeepAttributesOnlyOf(const char* elementName) { attributesOf = elementName; }
  // Whether later parses make nodes of what is not an element (text, comments, instructions,
  // references); on at first. Off, only elements make nodes; the rest is still checked by the
  // parser as before (references stay unexpanded), which spares copying it for a caller that
  // reads elements only.
  void SetKeepText(bool keep) { keepText = keep; }
  // Later parses tell `watch` of the elements whose attributes are kept (null: none). The
  // watch must outlive the parses.
  void SetElementWatch(XmlElementWatch* watch) { elementWatch = watch; }
  // Later parses call `handler` with `context` between blocks (null: nothing).
  void SetBlockHandler(BlockHandler handler, void* context) {
    blockHandler = handler;
    blockContext = context;
  }

  // Parses the rest of the open `file` as Parse does a text, reading it in blocks straight
  // into the parser's buffer, so no copy of the whole file is ever held. The chunks of text
  // are the ones a single buffer gives: a block ends after a line break or before a '<'. A
  // file of any size is read; what does not fit in memory ends in OutOfMemory.
  XmlParseOutcome ParseFile(FileHandle& file, const char* name, int32_t mode);
  // Reads up to room bytes into `into` and stores how many in *got (0 at the end of the text);
  // false when the read failed.
  using BlockReader = bool (*)(void* context, char* into, uint32_t room, uint32_t* got);
  // Parses the text that `read` gives (with `context`) block by block, as ParseFile does a
  // file: standard input, for one, is never held whole.
  XmlParseOutcome ParseBlocks(BlockReader read, void* context, const char* name, int32_t mode);
  // Parse, telling how it ended.
  XmlParseOutcome ParseText(const char* text, int32_t length, const char* name, int32_t mode);

  // Where the text of one parse comes from; defined in xml_tree.cpp.
  struct Feed;

 private:
  // The shared steps of Parse and ParseFile around one feed.
  XmlParseOutcome ParseFed(Feed& feed, const char* name, int32_t mode);

  XmlNode* root = nullptr;
  void* parser = nullptr;  // XML_Parser of the running Parse call
  bool ready = false;
  XmlArena arena;
  XmlSharedText texts{arena};
  uint64_t editsAtStart = 0;  // XmlLinkedNode::ArenaEdits when the tree was made
  bool recordLines = true;
  bool keepText = true;
  const char* attributesOf = nullptr;  // the one element name whose attributes are kept
  XmlElementWatch* elementWatch = nullptr;
  BlockHandler blockHandler = nullptr;
  void* blockContext = nullptr;
  ParseErrorHandler errorHandler = nullptr;
  void* errorContext = nullptr;
};

// Shows the message box "XML Error" with "Parse Error: <message> at line <line>"; false,
// showing nothing, if the text cannot be formatted.
bool ShowParseError(const char* message, int32_t line);
