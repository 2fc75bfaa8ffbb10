// The path by which a page refers to another file.
#pragma once

#include "base/string_buffer.h"

// Writes into out the path of target relative to base with '/' separators when both share a
// drive, else target unchanged; "ERROR: The path is too long!" for a target of 1035 characters
// or more. Out is left unchanged when it cannot reserve room. Only a drive's colon (the second
// character) is a separator; any other ':' is part of a name.
void MakeRelativePath(const StringBuffer& base, const StringBuffer& target, StringBuffer& out);
