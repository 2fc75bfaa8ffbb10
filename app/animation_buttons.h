// Animation buttons: reads a scene file and appends one HTML push-button line
// (or a start/stop pair) per listed animation to the button block.
#pragma once

#include "base/path_buffer.h"
#include "base/string_buffer.h"

// Appends to out the trigger line for an animation name (escaped for HTML and
// for the script call). Returns false when out cannot grow.
bool AppendTriggerLine(StringBuffer& out, const char* name);
// Appends the start and then the stop line for an animation name; false when out
// cannot grow.
bool AppendStartStopLines(StringBuffer& out, const char* name);

// How reading a scene for its buttons ended.
enum class ButtonsOutcome {
  Listed,             // the block holds the scene's buttons
  NotScanned,         // the path names no XML scene; block unchanged
  NotParsed,          // not well-formed (the parse error was shown) or empty; block unchanged
  Unreadable,         // missing, or cannot be opened or read; block unchanged
  OutOfMemory,        // the tree or the block could not be had; block empty
  TooManyAnimations,  // the block would pass a StringBuffer's largest capacity; block empty
};

// Reads the scene file at path and fills buttonBlock with its animation buttons. The walk
// stops at the first line that cannot be added, and the block is then emptied: it is never
// left partial.
ButtonsOutcome CollectButtons(const PathBuffer& path);

// Reads the scene file at path and fills buttonBlock with its animation buttons.
// False for a missing or unreadable file, a tree that cannot be made or no memory
// (block unchanged). True without reading for a path that names no XML scene
// (no ".xml", ".XML", ".krn" or ".KRN" in it), and true with the block unchanged
// after a parse error, which the tree builder has already shown. CollectButtons, as a bool.
bool CollectAnimationButtons(const PathBuffer& path);
