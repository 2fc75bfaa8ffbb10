// System seam: a file's version resource, shaped like the Windows VERSION API.
//
// Windows answers from the VERSIONINFO resource; Linux from the version block that each program
// of the project carries in its ELF section ".krn_version". Queries: "\VarFileInfo\Translation"
// gives the first translation (16-bit language, then 16-bit code page, little-endian, as on
// Windows); "\StringFileInfo\<lang><codepage>\ProductVersion" (eight upper-case hex digits)
// gives the NUL-terminated ProductVersion text. Paths are in the program's view.
#pragma once

#include <cstdint>

// Size in bytes of the version block of the file at path; 0 when the file has none.
uint32_t SysGetFileVersionInfoSize(const char* path);
// Copies the file's version block (at most size bytes) into block; false when the file has none
// or the block is larger than size.
bool SysGetFileVersionInfo(const char* path, uint32_t size, void* block);
// Finds the value of subBlock in a block read by SysGetFileVersionInfo: *value points into the
// block and *length is its size in bytes (a text's NUL included); false when it is missing.
bool SysVerQueryValue(const void* block, const char* subBlock, const void** value,
                      uint32_t* length);
