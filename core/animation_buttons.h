// Animation buttons: reads a scene file and appends one HTML push-button line
// (or a start/stop pair) per listed animation to the button block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/path_buffer.h"
#include "base/string_buffer.h"
#include "xml/xml_tree.h"

struct ConversionFailure;

// Appends to out the trigger line for an animation name (escaped for HTML and
// for the script call). Returns false when out cannot grow.
bool AppendTriggerLine(StringBuffer& out, const char* name);
// Appends the start and then the stop line for an animation name; false when out
// cannot grow.
bool AppendStartStopLines(StringBuffer& out, const char* name);

// True when path names a scene that is read as XML: ".xml", ".XML", ".krn" or ".KRN" anywhere
// in it (a plain substring test, not only at the end).
bool NamesXmlScene(const char* path);

// How reading a scene for its buttons ended.
enum class ButtonsOutcome {
  Listed,             // the block holds the scene's buttons
  NotScanned,         // the path names no XML scene; block unchanged
  NotParsed,          // not well-formed (the parse error was shown) or empty; block unchanged
  Unreadable,         // missing, or cannot be opened or read; block unchanged
  OutOfMemory,        // the tree or the block could not be had; block empty
  TooManyAnimations,  // the block would pass a StringBuffer's largest capacity; block empty
  Cancelled,          // the read was stopped by its block handler; block empty
};

// Measures the button block of a scene while its tree is built, as the tree's element watch:
// the lines of the listed animations in document order. Once the block would reach `limit`
// bytes it stops the building, so a scene whose buttons cannot be held costs no more memory
// and no more time than it takes to see that (and to check the rest of its text).
class ButtonBlockMeasure final : public XmlElementWatch {
 public:
  explicit ButtonBlockMeasure(uint64_t limit = StringBuffer::kMaxCapacity);
  bool OnStart(const char* name, const char* const* attributes) override;
  void OnEnd(const char* name) override;
  // The block's length so far; at least the limit once the building was stopped.
  uint64_t Length() const { return length_; }

 private:
  uint64_t limit_;
  uint64_t length_ = 0;
  size_t count_ = 0;  // listed animations so far
  // Animations open inside a listed one, counting it; 0 outside.
  uint32_t depthInListed_ = 0;
};

// Reads the scene file at path and fills buttonBlock with its animation buttons. The walk
// stops at the first line that cannot be added, and the block is then emptied: it is never
// left partial. A parse error goes to parseErrorHandler with parseErrorContext (null: the
// "XML Error" box). `whileReading` (may be null) is called with `whileReadingContext` between
// the blocks of a long read; when it answers false the read stops (Cancelled).
ButtonsOutcome CollectButtons(const PathBuffer& path,
                              XmlTree::ParseErrorHandler parseErrorHandler = nullptr,
                              void* parseErrorContext = nullptr,
                              XmlTree::BlockHandler whileReading = nullptr,
                              void* whileReadingContext = nullptr);

// Reads the scene file at path and fills buttonBlock with its animation buttons.
// False for a missing or unreadable file (block unchanged), no memory or too many
// animations (block empty). True without reading for a path that names no XML scene
// (no ".xml", ".XML", ".krn" or ".KRN" in it), and true with the block unchanged
// after a parse error, which the tree builder has already shown. CollectButtons, as a bool.
bool CollectAnimationButtons(const PathBuffer& path);

// The same, telling a parse error to parseErrorHandler with parseErrorContext (null: the
// "XML Error" box). A failure that must stop the page is recorded in failure (when given)
// with a false result: kNoMemoryForScene, kTooManyAnimations or kCancelled. A scene that cannot be
// read or parsed is no such failure. `whileReading` as for CollectButtons.
bool CollectAnimationButtons(const PathBuffer& path, XmlTree::ParseErrorHandler parseErrorHandler,
                             void* parseErrorContext, ConversionFailure* failure,
                             XmlTree::BlockHandler whileReading = nullptr,
                             void* whileReadingContext = nullptr);

// The same for a scene read block by block through `read` (standard input, say; name is the
// document's name), always read as XML and never held whole: Unreadable when a read failed
// (the reader's system error is left as the last one).
ButtonsOutcome CollectButtonsFromReader(XmlTree::BlockReader read, void* context, const char* name,
                                        XmlTree::ParseErrorHandler parseErrorHandler,
                                        void* parseErrorContext);

// Turns an outcome into CollectAnimationButtons's result: false with failure (when given)
// recorded for OutOfMemory (kNoMemoryForScene) and TooManyAnimations, false without one for
// Unreadable, true otherwise. path names the scene in the failure.
bool ButtonsOutcomeResult(ButtonsOutcome outcome, const char* path, ConversionFailure* failure);

// The same for a scene held in memory (length bytes, no terminating zero needed; name is the
// document's name), always read as XML: false, with failure recorded as for a file, when
// memory runs out or there are too many animations (block empty); true with the block
// unchanged after a parse error.
bool CollectAnimationButtonsFromText(const char* text, uint32_t length, const char* name,
                                     XmlTree::ParseErrorHandler parseErrorHandler,
                                     void* parseErrorContext, ConversionFailure* failure = nullptr);
