// The product version from a file's version resource, packed into 32 bits.
#pragma once

#include <cstdint>

#include "base/path_record.h"

// Packed version of the file at path: first number in the top byte, fourth in the lowest; 0 when
// the file has no version resource, no translation or no ProductVersion text.
uint32_t ReadProductVersion(const PathRecord& path);

// Packs a ProductVersion text such as "1, 0, 3, 12" (at most four comma-separated decimal
// fields; a field wider than 5 characters ends the parse; a number above 255 spills into the
// next byte up); null gives 0.
uint32_t ParseProductVersion(const char* text);

// Value 0-255 of two hexadecimal digits, high nibble first; a character other than 'A'-'F' and
// 'a'-'f' counts as its code minus the code of '0'.
int HexPairValue(const char* digits);

// Upper-case hexadecimal digit of the low 4 bits of value.
char HexDigit(unsigned value);
