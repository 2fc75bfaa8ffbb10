// Animation buttons: reads a scene file and appends one HTML push-button line
// (or a start/stop pair) per listed animation to the button block.
#pragma once

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

// Reads the scene file at path and fills buttonBlock with its animation buttons.
// False for a missing or unreadable file, a tree that cannot be made or no memory
// (block unchanged). True without reading for a path that names no XML scene
// (no ".xml", ".XML", ".krn" or ".KRN" in it), and true with the block unchanged
// after a parse error, which the tree builder has already shown.
bool CollectAnimationButtons(const PathBuffer& path);

// The same, telling a parse error to parseErrorHandler with parseErrorContext (null: the
// "XML Error" box). A failure that must stop the page is recorded in failure (when given)
// with a false result; a scene that cannot be read or parsed is no such failure.
bool CollectAnimationButtons(const PathBuffer& path, XmlTree::ParseErrorHandler parseErrorHandler,
                             void* parseErrorContext, ConversionFailure* failure);

// The same for a scene held in memory (length bytes, no terminating zero needed; name is the
// document's name), always read as XML: false when the tree cannot be made or memory runs out
// (block unchanged), true with the block unchanged after a parse error.
bool CollectAnimationButtonsFromText(const char* text, uint32_t length, const char* name,
                                     XmlTree::ParseErrorHandler parseErrorHandler,
                                     void* parseErrorContext);
