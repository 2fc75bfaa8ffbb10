// System seam: the system's own 8-bit text as UTF-8.
//
// File names and typed text reach the program in the system's 8-bit encoding: UTF-8 on Linux,
// the ANSI code page on Windows. A page that declares UTF-8 gets its text in UTF-8.
// Implemented by the system backends: a copy on Linux, MultiByteToWideChar (CP_ACP) and
// WideCharToMultiByte (CP_UTF8) on Windows.
#pragma once

#include <cstdint>

// Writes text (system encoding, NUL-terminated) as UTF-8 with its NUL into out when it fits
// in size bytes. Returns the UTF-8 length without the NUL, so a caller can ask with size 0
// first; 0xFFFFFFFF for a null text or one the system cannot convert.
uint32_t SysUtf8FromSystemText(const char* text, char* out, uint32_t size);
