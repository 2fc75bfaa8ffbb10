// System seam: the program's view of a path versus the system's own.
//
// The program sees Windows paths everywhere (a drive, '\' separators). On Linux the system's
// absolute path /home/ann/a.krn is the program's Z:\home\ann\a.krn: going out, a leading "Z:"
// before a separator is stripped and every '\' becomes '/' (a '/' already in a program path is
// kept); coming in, an absolute path gains "Z:" and every '/' becomes '\'. A Linux name that
// holds a '\' has no program view (the view writes '\' as its separator): such a path is refused,
// never taken for another. On Windows both directions are identity copies. Implemented by the
// system backends (posix, win32).
#pragma once

#include <cstdint>

// Writes the native form of programPath into out (size bytes, NUL included); false (out holds
// an empty text when size is not 0) for a null argument or when it does not fit.
bool NativePathFromProgram(const char* programPath, char* out, uint32_t size);
// Writes the program's view of nativePath into out (size bytes, NUL included); false (out holds
// an empty text when size is not 0) for a null argument, a path with a backslash in a name
// (Linux) or when it does not fit.
bool ProgramPathFromNative(const char* nativePath, char* out, uint32_t size);

// True when path is a native path whose names hold a '\', which the program cannot carry:
// on Linux a text that starts with '/' (no program path does) and holds a '\'. Always false on
// Windows. Backends hand such a path over in its native form where a refused path is told.
bool NativePathHasBackslashName(const char* path);

// How a path the user typed entered the program's view.
enum class UserPathOutcome {
  kDone,             // out holds the program's view
  kTooLong,          // it does not fit out (or an argument is null); out is empty
  kNoCurrentFolder,  // a relative path without a folder to start from; out is empty
  kBackslashName,    // a name holds a '\' (Linux); out holds the native full path, or is empty
                     // when that does not fit
};

// Writes into out (size bytes) the program's view of userPath, a path as the user typed it on a
// command line; a relative one starts from currentFolder (as CurrentFolderForUserPaths gives
// it; empty or null when unknown). Linux: a relative path is joined to the folder natively,
// before it enters the view, so "a:b/s.krn" is the folder "a:b", never a drive. Windows: a copy,
// relative paths left to MakeFullPath.
UserPathOutcome ProgramPathFromUser(const char* userPath, const char* currentFolder, char* out,
                                    uint32_t size);
// Copies the process's current folder into out (size bytes): its program view or, when it has
// none (Linux: a '\' in a name), its native form, from which ProgramPathFromUser tells relative
// paths as kBackslashName. Returns its length, or 0 on failure or when it does not fit.
uint32_t CurrentFolderForUserPaths(char* out, uint32_t size);
