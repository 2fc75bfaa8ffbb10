// System seam: the program's view of a path versus the system's own.
//
// The program sees Windows paths everywhere (a drive, '\' separators). On Linux the system's
// absolute path /home/ann/a.krn is the program's Z:\home\ann\a.krn: going out, a leading "Z:" is
// stripped and every '\' becomes '/' (a '/' already in a program path is kept); coming in, an
// absolute path gains "Z:" and every '/' becomes '\'. On Windows both are identity copies.
// Implemented by the system backends (posix, win32).
#pragma once

#include <cstdint>

// Writes the native form of programPath into out (size bytes, NUL included); false (out holds
// an empty text when size is not 0) for a null argument or when it does not fit.
bool NativePathFromProgram(const char* programPath, char* out, uint32_t size);
// Writes the program's view of nativePath into out (size bytes, NUL included); false (out holds
// an empty text when size is not 0) for a null argument or when it does not fit.
bool ProgramPathFromNative(const char* nativePath, char* out, uint32_t size);
