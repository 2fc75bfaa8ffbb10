#include "xml/xml_tree.h"

#include <expat.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <random>

#include "base/file_handle.h"
#include "base/path_buffer.h"
#include "base/string_buffer.h"
#include "base/thread_slot.h"
#include "platform/large_block.h"
#include "ui/message_box.h"
#include "xml/xml_linked_node.h"
#include "xml/xml_writer.h"

// The source of one parse's text: it hands the text to the parser and parses it.
struct XmlTree::Feed {
  // Parsed, SyntaxError when expat stops (the caller tells an error from an abort), or the
  // failure that kept the text from the parser.
  virtual XmlParseOutcome Run(XML_Parser parser) = 0;

  // The largest buffer asked of the parser, which keeps it until freed.
  uint64_t largestBuffer = 0;
  // Called between blocks; may be null.
  XmlTree::BlockHandler betweenBlocks = nullptr;
  void* blockContext = nullptr;

 protected:
  ~Feed() = default;
};

namespace {

constexpr char kRootName[] = "rootOfAllTrees";

// Where the callbacks of one Parse call attach new nodes. `lastChild` is the current
// node's last child, kept so that appending costs no walk along the child list.
struct ParseCursor {
  XmlLinkedNode* current = nullptr;
  XmlLinkedNode* lastChild = nullptr;
  // A node could not be built: the parser was stopped.
  bool outOfMemory = false;
  // The element watch stopped the building; the parser goes on without building.
  bool stopped = false;
};

// The user data handed to expat.
struct ParseContext {
  XML_Parser parser = nullptr;
  ParseCursor* cursor = nullptr;
  XmlArena* arena = nullptr;
  XmlSharedText* texts = nullptr;
  // Nodes get their source line.
  bool lines = true;
  // Only elements of this name (of `attributesOfLength` bytes) keep their attributes; null:
  // every element.
  const char* attributesOf = nullptr;
  size_t attributesOfLength = 0;
  // Told of the elements that keep their attributes; may be null.
  XmlElementWatch* watch = nullptr;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int32_t CurrentLine(XML_Parser parser) {
  return static_cast<int32_t>(XML_GetCurrentLineNumber(parser));
}

// A random salt for expat's hash tables, drawn once per thread; 0 (expat then draws one for
// each parser) when the system gives none.
unsigned long HashSalt() {
  thread_local const unsigned long salt = [] {
    try {
      std::random_device source;
      return (static_cast<unsigned long>(source()) << 1) | 1u;
    } catch (...) {
      return 0ul;
    }
  }();
  return salt;
}

// expat's memory. The input buffer of a parse fed in blocks (a block and what is carried over:
// 2 MiB) is placed for large pages, as the tree's chunks are, so it costs one page fault, not
// hundreds.
void* ParserAllocate(size_t bytes) {
  return bytes >= kLargeBlockBytes ? SysAllocLarge(bytes) : std::malloc(bytes);
}
void* ParserReallocate(void* block, size_t bytes) {
  return std::realloc(block, bytes);
}
void ParserFree(void* block) {
  std::free(block);
}
const XML_Memory_Handling_Suite kParserMemory = {ParserAllocate, ParserReallocate, ParserFree};

// The parser of the last finished parse on this thread, kept for the next one: resetting a
// parser keeps its buffers and tables, which creating one allocates anew.
class IdleParser {
 public:
  IdleParser() = default;
  IdleParser(const IdleParser&) = delete;
  IdleParser& operator=(const IdleParser&) = delete;
  ~IdleParser() {
    if (parser_ != nullptr) XML_ParserFree(parser_);
  }

  // A parser ready for a new document, with this thread's salt; null when memory runs out.
  XML_Parser Take() {
    XML_Parser parser = parser_;
    parser_ = nullptr;
    if (parser != nullptr && !XML_ParserReset(parser, nullptr)) {
      XML_ParserFree(parser);
      parser = nullptr;
    }
    if (parser == nullptr) parser = XML_ParserCreate_MM(nullptr, &kParserMemory, nullptr);
    const unsigned long salt = HashSalt();
    if (parser != nullptr && salt != 0) XML_SetHashSalt(parser, salt);
    return parser;
  }
  // Keeps a parser that Take gave for the next Take, unless it holds a buffer of more than
  // kKeptBuffer bytes (a large scene's memory is not kept) or a parser is kept already (a
  // parse within a parse).
  void Give(XML_Parser parser, uint64_t largestBuffer) {
    if (parser_ == nullptr && largestBuffer <= kKeptBuffer) {
      parser_ = parser;
    } else {
      XML_ParserFree(parser);
    }
  }

 private:
  static constexpr uint64_t kKeptBuffer = 256u * 1024u;
  XML_Parser parser_ = nullptr;
};

// One idle parser per thread, freed when the thread ends.
ThreadSlot<IdleParser> idleParsers;

// Stops the parse at once: memory ran out.
void StopOutOfMemory(ParseContext* context) {
  context->cursor->outOfMemory = true;
  XML_StopParser(context->parser, XML_FALSE);
}

// Links a built node as the cursor's last child.
void AppendToCurrent(ParseCursor& cursor, XmlLinkedNode* node) {
  cursor.current->AppendBuiltChild(node, cursor.lastChild);
  cursor.lastChild = node;
}

// True when the element `name` of `length` bytes keeps its attributes.
bool KeepsAttributes(const ParseContext* context, const XML_Char* name, size_t length) {
  return context->attributesOf == nullptr ||
         (length == context->attributesOfLength &&
          std::memcmp(name, context->attributesOf, length) == 0);
}

// Builds no more nodes: the rest of the text goes through the parser only to be checked,
// with no handler left to call. Entity references are still not expanded (expat keeps that
// choice when the default handler is set to none), so the text is checked as before the stop.
void StopBuilding(ParseContext* context) {
  context->cursor->stopped = true;
  XML_SetElementHandler(context->parser, nullptr, nullptr);
  XML_SetDefaultHandler(context->parser, nullptr);
}

void XMLCALL OnStartElement(void* userData, const XML_Char* name, const XML_Char** attributes) {
  ParseContext* context = static_cast<ParseContext*>(userData);
  ParseCursor& cursor = *context->cursor;
  const size_t length = std::strlen(name);
  const bool keepAttributes = KeepsAttributes(context, name, length);
  if (keepAttributes && context->watch != nullptr && !context->watch->OnStart(name, attributes)) {
    StopBuilding(context);
    return;
  }
  StringBuffer* sharedName = context->texts->Share(name, static_cast<uint32_t>(length));
  XmlLinkedNode* node =
      sharedName != nullptr
          ? XmlLinkedNode::MakeInArena(*context->arena, sharedName, XmlNodeKind::Element)
          : nullptr;
  if (node == nullptr ||
      (keepAttributes && !node->ShareAttributes(*context->arena, *context->texts, attributes))) {
    StopOutOfMemory(context);
    return;
  }
  node->SetFromSource(true);
  AppendToCurrent(cursor, node);
  cursor.current = node;
  cursor.lastChild = nullptr;
  if (context->lines) node->SetLine(CurrentLine(context->parser));
}

void XMLCALL OnEndElement(void* userData, const XML_Char* /*name*/) {
  ParseCursor& cursor = *static_cast<ParseContext*>(userData)->cursor;
  // expat enforces the nesting, so the current node is an element below the document.
  cursor.lastChild = cursor.current;
  cursor.current = cursor.current->BuiltParent();
}

// The end of an element while a watch is set.
void XMLCALL OnEndElementWatched(void* userData, const XML_Char* name) {
  ParseContext* context = static_cast<ParseContext*>(userData);
  // Most elements differ from the watched name in their first byte.
  const char* watched = context->attributesOf;
  if (watched == nullptr || (name[0] == watched[0] && std::strcmp(name, watched) == 0)) {
    context->watch->OnEnd(name);
  }
  OnEndElement(userData, name);
}

void AddText(ParseContext* context, const XML_Char* text, int length) {
  ParseCursor& cursor = *context->cursor;
  StringBuffer* sharedText = context->texts->Share(text, static_cast<uint32_t>(length));
  XmlLinkedNode* node = sharedText != nullptr ? XmlLinkedNode::MakeInArena(
                                                    *context->arena, sharedText, XmlNodeKind::Text)
                                              : nullptr;
  if (node == nullptr) {
    StopOutOfMemory(context);
    return;
  }
  node->SetFromSource(true);
  AppendToCurrent(cursor, node);
  if (context->lines) node->SetLine(CurrentLine(context->parser));
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

// Text, comments and the rest when only elements make nodes: nothing to build. Being the
// default handler still keeps references unexpanded.
void XMLCALL OnTextIgnored(void* /*userData*/, const XML_Char* /*text*/, int /*length*/) {}

// Ends a parse that got no bytes at all: expat tells "no element found".
XmlParseOutcome EndOfText(XML_Parser parser) {
  return XML_Parse(parser, "", 0, 1) == XML_STATUS_ERROR ? XmlParseOutcome::SyntaxError
                                                         : XmlParseOutcome::Parsed;
}

// Bytes handed to the parser per block.
constexpr uint32_t kBlock = 1u << 20;
// expat's buffer grows by doubling from 1 KiB in an int: it cannot reach 1 GiB (kept clear by
// a block, for the bytes it keeps before the parse position).
constexpr uint32_t kLargestBuffer = (1u << 30) - kBlock;
// The most a parser's buffer is asked for when fed in blocks: a carry and a block.
constexpr uint64_t kBlocksBuffer = 2ull * kBlock;

// Where a block of `length` bytes may end so that expat delivers the same text chunks as it
// would from one buffer: after the last line break (expat ends every text chunk at one), or
// else before the last '<' (which ends character data). A block with neither is handed over
// whole.
uint32_t SafeBlockEnd(const char* block, uint32_t length) {
  for (uint32_t i = length; i > 0; --i) {
    if (block[i - 1] == '\n') return i;
  }
  for (uint32_t i = length; i > 1; --i) {
    if (block[i - 1] == '<') return i - 1;
  }
  return length;
}

// Hands the bytes that `read(into, room, &got)` gives (false: a read failed; 0 bytes: the end)
// to the parser block by block, straight into its own buffer, so the whole text is never held
// twice and no buffer has to grow to its size (expat's cannot reach 1 GiB). A block that is
// not the last ends at its safe end; the bytes after it wait in a carry for the next block.
// The last block is handed over whole. `block` is the most bytes read at once;
// `betweenBlocks` (may be null) is called after each block but the last, with `context` and
// the bytes read so far; its false ends the feed as Cancelled.
template <typename Read>
XmlParseOutcome FeedBlocks(XML_Parser parser, uint32_t block, XmlTree::BlockHandler betweenBlocks,
                           void* context, Read read) {
  uint64_t bytesRead = 0;
  std::unique_ptr<char[]> carry(new (std::nothrow) char[block]);
  if (!carry) return XmlParseOutcome::OutOfMemory;
  uint32_t carried = 0;
  bool anyBytes = false;
  for (;;) {
    char* buffer = static_cast<char*>(XML_GetBuffer(parser, static_cast<int>(carried + block)));
    if (buffer == nullptr) return XmlParseOutcome::OutOfMemory;
    std::memcpy(buffer, carry.get(), carried);
    // The block is filled until it is full or the text ends.
    uint32_t got = 0;
    bool atEnd = false;
    while (got < block && !atEnd) {
      uint32_t more = 0;
      if (!read(buffer + carried + got, block - got, &more)) return XmlParseOutcome::ReadFailed;
      atEnd = more == 0;
      got += more;
    }
    bytesRead += got;
    const uint32_t length = carried + got;
    if (atEnd) {
      if (!anyBytes && length == 0) return EndOfText(parser);
      return XML_ParseBuffer(parser, static_cast<int>(length), 1) == XML_STATUS_ERROR
                 ? XmlParseOutcome::SyntaxError
                 : XmlParseOutcome::Parsed;
    }
    anyBytes = true;
    const uint32_t end = SafeBlockEnd(buffer, length);
    carried = length - end;
    std::memcpy(carry.get(), buffer + end, carried);
    if (XML_ParseBuffer(parser, static_cast<int>(end), 0) == XML_STATUS_ERROR) {
      return XmlParseOutcome::SyntaxError;
    }
    if (betweenBlocks != nullptr && !betweenBlocks(context, bytesRead)) {
      return XmlParseOutcome::Cancelled;
    }
  }
}

// A text in memory: handed over whole in one final call while expat's buffer can hold it
// (below 1 GiB), else block by block as a file is.
struct TextFeed final : XmlTree::Feed {
  TextFeed(const char* t, int32_t n) : text(t), length(n) {}
  XmlParseOutcome Run(XML_Parser parser) override {
    // A missing text has nothing to parse. An empty one is a document without an element,
    // which expat reports like any other syntax error.
    if (text == nullptr || length < 0) return XmlParseOutcome::Empty;
    if (length == 0) return EndOfText(parser);
    const uint32_t total = static_cast<uint32_t>(length);
    if (total < kLargestBuffer) {
      largestBuffer = total;
      void* buffer = XML_GetBuffer(parser, length);
      if (buffer == nullptr) return XmlParseOutcome::OutOfMemory;
      std::memcpy(buffer, text, total);
      return XML_ParseBuffer(parser, length, 1) == XML_STATUS_ERROR ? XmlParseOutcome::SyntaxError
                                                                    : XmlParseOutcome::Parsed;
    }
    uint32_t done = 0;
    largestBuffer = kBlocksBuffer;
    return FeedBlocks(parser, kBlock, betweenBlocks, blockContext,
                      [&](char* into, uint32_t room, uint32_t* got) {
                        *got = total - done < room ? total - done : room;
                        std::memcpy(into, text + done, *got);
                        done += *got;
                        return true;
                      });
  }
  const char* text;
  int32_t length;
};

// An open file, read block by block.
struct FileFeed final : XmlTree::Feed {
  explicit FileFeed(FileHandle& f) : file(f) {}
  XmlParseOutcome Run(XML_Parser parser) override {
    // A file smaller than a block is read in one block of its size and a byte (which shows its
    // end): the parser's buffer stays small enough to be kept for the next parse, and a run
    // over many small scenes allocates nothing per scene. A file that grows meanwhile is still
    // read whole, block by block.
    uint32_t size = 0;
    const uint32_t block = file.GetSize(&size) && size < kBlock ? size + 1 : kBlock;
    largestBuffer = 2ull * block;
    return FeedBlocks(
        parser, block, betweenBlocks, blockContext,
        [&](char* into, uint32_t room, uint32_t* got) { return file.Read(into, room, got); });
  }
  FileHandle& file;
};

struct ReaderFeed final : XmlTree::Feed {
  ReaderFeed(XmlTree::BlockReader r, void* c) : read(r), context(c) {}
  XmlParseOutcome Run(XML_Parser parser) override {
    largestBuffer = kBlocksBuffer;
    return FeedBlocks(
        parser, kBlock, betweenBlocks, blockContext,
        [&](char* into, uint32_t room, uint32_t* got) { return read(context, into, room, got); });
  }
  XmlTree::BlockReader read;
  void* context;
};

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

XmlTree::XmlTree() : editsAtStart(XmlLinkedNode::ArenaEdits()) {
  StringBuffer* name = texts.Share(kRootName, static_cast<uint32_t>(sizeof(kRootName) - 1));
  if (name == nullptr) return;
  root = XmlLinkedNode::MakeInArena(arena, name, XmlNodeKind::Document);
  ready = root != nullptr;
}

XmlTree::~XmlTree() {
  ready = false;
  // While no node in any arena was changed, every node of this tree lives in its arena and
  // owns nothing: releasing the arena is the whole destruction. Otherwise some node may own
  // heap memory or be a heap node linked in, and the tree is destroyed node by node first.
  if (root != nullptr && XmlLinkedNode::ArenaEdits() != editsAtStart) delete root;
  root = nullptr;
  arena.Release();
}

bool XmlTree::IsReady() {
  return ready;
}

XmlNode* XmlTree::GetRoot() {
  return root;
}

bool XmlTree::Parse(const char* text, int32_t length, const char* name, int32_t mode) {
  return ParseText(text, length, name, mode) == XmlParseOutcome::Parsed;
}

XmlParseOutcome XmlTree::ParseText(const char* text, int32_t length, const char* name,
                                   int32_t mode) {
  TextFeed feed(text, length);
  return ParseFed(feed, name, mode);
}

XmlParseOutcome XmlTree::ParseFile(FileHandle& file, const char* name, int32_t mode) {
  FileFeed feed(file);
  return ParseFed(feed, name, mode);
}

XmlParseOutcome XmlTree::ParseBlocks(BlockReader read, void* context, const char* name,
                                     int32_t mode) {
  if (read == nullptr) return XmlParseOutcome::ReadFailed;
  ReaderFeed feed(read, context);
  return ParseFed(feed, name, mode);
}

XmlParseOutcome XmlTree::ParseFed(Feed& feed, const char* name, int32_t mode) {
  if (!ready || root == nullptr) return XmlParseOutcome::NotReady;
  IdleParser* idle = idleParsers.Get();
  XML_Parser xmlParser = idle != nullptr ? idle->Take() : nullptr;
  if (xmlParser == nullptr) return XmlParseOutcome::OutOfMemory;
  parser = xmlParser;
  auto finish = [&](XmlParseOutcome outcome) {
    idle->Give(xmlParser, feed.largestBuffer);
    parser = nullptr;
    return outcome;
  };
  XML_SetElementHandler(xmlParser, OnStartElement,
                        elementWatch != nullptr ? OnEndElementWatched : OnEndElement);

  const char* documentName = name != nullptr ? name : "";
  StringBuffer* sharedName =
      texts.Share(documentName, static_cast<uint32_t>(std::strlen(documentName)));
  XmlLinkedNode* document =
      sharedName != nullptr ? XmlLinkedNode::MakeInArena(arena, sharedName, XmlNodeKind::Document)
                            : nullptr;
  if (document == nullptr) {
    ready = false;
    return finish(XmlParseOutcome::OutOfMemory);
  }
  // The document node goes after the root's last child. The root's children are the tree's
  // own documents, unless a caller linked a node of another class there.
  XmlNode* last = root->GetFirstChild();
  while (last != nullptr && last->GetNextSibling() != nullptr) last = last->GetNextSibling();
  XmlLinkedNode* lastBuilt = dynamic_cast<XmlLinkedNode*>(last);
  if (last == nullptr || lastBuilt != nullptr) {
    static_cast<XmlLinkedNode*>(root)->AppendBuiltChild(document, lastBuilt);
  } else if (document->InsertUnder(root, nullptr, -1) == nullptr) {
    return finish(XmlParseOutcome::OutOfMemory);
  }
  XML_SetDefaultHandler(xmlParser, !keepText   ? OnTextIgnored
                                   : mode == 1 ? OnTextSkippingBlank
                                               : OnText);

  ParseCursor cursor;
  cursor.current = document;
  ParseContext context;
  context.parser = xmlParser;
  context.cursor = &cursor;
  context.arena = &arena;
  context.texts = &texts;
  context.lines = recordLines;
  context.attributesOf = attributesOf;
  context.attributesOfLength = attributesOf != nullptr ? std::strlen(attributesOf) : 0;
  context.watch = elementWatch;
  // expat keeps one address per attribute name for the life of this parser only.
  texts.ForgetStable();
  XML_SetUserData(xmlParser, &context);

  feed.betweenBlocks = blockHandler;
  feed.blockContext = blockContext;
  XmlParseOutcome outcome = feed.Run(xmlParser);
  if (cursor.outOfMemory) return finish(XmlParseOutcome::OutOfMemory);
  if (cursor.stopped && outcome == XmlParseOutcome::Parsed) outcome = XmlParseOutcome::Stopped;
  if (outcome == XmlParseOutcome::SyntaxError) {
    const int32_t line = CurrentLine(xmlParser);
    const char* message = XML_ErrorString(XML_GetErrorCode(xmlParser));
    if (errorHandler != nullptr) {
      errorHandler(errorContext, message, line);
    } else {
      ShowParseError(message, line);
    }
  }
  return finish(outcome);
}

bool XmlTree::WriteToFile(const PathBuffer& path, XmlNode* top, int32_t layout) {
  FileHandle file(path);
  if (!file.Open(2)) return false;
  bool ok = WriteXmlFile(top, layout, file);
  ok = file.Close() && ok;
  // The text goes out while it is made: a failure leaves the file empty again, as it is when
  // nothing could be written.
  if (!ok && file.Open(2)) file.Close();
  return ok;
}
