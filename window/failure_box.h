// Telling a conversion failure in the window program: the program's own message box.
#pragma once

#include "base/string_buffer.h"
#include "core/conversion_failure.h"

// Title of the message box in which the window tells a failure.
extern const char kFailureTitle[];

// Shows the failure's message in the program's own message box (owner may be null); false
// when there is no failure or it cannot be shown.
bool ShowFailure(void* owner, const ConversionFailure& failure);

// Tells "The path is too long: <path>" for a program-view path the user chose, or "File names
// with a backslash are not supported: <path>" for a native one the program cannot carry
// (NativePathHasBackslashName); nothing for an empty path.
void TellTooLong(void* window, const StringBuffer& path);
