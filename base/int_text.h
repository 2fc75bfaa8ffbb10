// A decimal number in a text, read as the 32-bit system's atol reads it.
#pragma once

#include <cstdint>

// The number at the start of text (not null): leading white space is skipped, one '+' or '-'
// is taken, then digits up to the first other character; no digit gives 0. A value beyond the
// signed 32-bit range is held at its nearest end (2147483647 or -2147483648), never cut.
int32_t IntOfText(const char* text);
