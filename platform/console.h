// System seam: the standard streams of a command-line program.
//
// Streams are numbered as the C library numbers them: 0 standard input, 1 standard output,
// 2 standard error. Bytes pass unchanged in both directions (no line-end translation), so a page
// written to standard output is byte for byte the page written to a file. Implemented by the
// system backends (posix, win32).
#pragma once

#include <cstdint>

constexpr int kStandardInput = 0;
constexpr int kStandardOutput = 1;
constexpr int kStandardError = 2;

// True when the stream is a terminal (a console window on Windows); false for a file, a pipe,
// a closed stream or another number.
bool SysIsTerminal(int stream);

// Writes all count bytes to standard output or standard error, retrying short writes; false
// when the stream is closed or a write fails.
bool SysWriteStandard(int stream, const void* data, uint32_t count);

// Reads up to count bytes from standard input into buffer once and stores the number read in
// *done (0 at the end of the input); false when reading fails.
bool SysReadStandardInput(void* buffer, uint32_t count, uint32_t* done);
