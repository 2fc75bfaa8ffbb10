// The full form of a path given relative to a current folder, as a command line gives paths.
#pragma once

#include "base/path_buffer.h"

// Writes into out the full program-view path of path: a path with a drive and a root ("C:\x") or
// a network path ("\\server\x") is taken as it is, a rooted path ("\x") gets the drive of
// currentFolder, a drive without a root ("C:x") gets that drive's root, and any other path is
// taken below currentFolder. '/' counts as '\'; empty and "." parts are dropped and ".." removes
// the part before it (never the root). False (out emptied) for a null or empty path, a relative
// path without a full currentFolder, or a result longer than 259 characters.
bool MakeFullPath(const char* path, const char* currentFolder, PathBuffer& out);
