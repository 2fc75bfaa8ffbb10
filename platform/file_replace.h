// System seam: writing a file whole through a temporary file beside it, and the system's
// reason for a failure.
//
// A file the program writes (a page, a settings file) is first written to a new temporary
// file in the target's folder and then moved over the target in one step, so the target is
// either replaced whole or left untouched. Paths are in the program's view (see
// native_path.h). Every call that fails leaves its reason in the thread's last system error
// (SysLastError). Implemented by platform/posix (rename) and platform/win32 (MoveFileExA).
#pragma once

#include <cstdint>

// The error a replacement is refused with when the target has other hard links: a new file
// would leave those names with the old page ("The file has other hard links"). Bit 29 marks
// it as the program's own code on Windows; no errno value comes near it.
constexpr uint32_t kSysErrorHardLinks = 0x20000001u;
// The error a write whose check was left to the commit ends with when the target turns out to
// need the look-up first (Linux: a symbolic link, a folder where the new file cannot be
// made, or a file system without unnamed files):
// the caller writes again with the check made first. Never a user's reason.
constexpr uint32_t kSysErrorLookUpFirst = 0x20000002u;

// On Linux a target that is a symbolic link stands for the file it leads to (through any
// number of links, a missing end included): that file is the one checked, replaced, and
// written beside, so the link stays and shows the new file.

// What SysMayReplaceFile found of a target, for SysCreateFileBeside and SysCommitFileBeside:
// the file to write (on Linux the end of the target's links), in the system's own form, looked
// up once for the three steps; and what the new file takes over from the old one.
struct FileReplacement {
  char file[4096];
  // The old file's permissions (mode bits on Linux, attributes on Windows; never 0), or 0
  // without an old file or when the check is left to the commit.
  uint32_t kept;
  // The target was not looked at: SysCommitFileBeside checks it, should the name be taken.
  bool checkAtCommit;
};

// False when target exists and the user may not write to it (a read-only file, or one the
// user has no write permission for; the error is then "permission denied"), when it exists as
// a folder, or when it has other hard links (kSysErrorHardLinks); true when it does not exist
// or may be written, with *replacement filled.
// With checkAtCommit the system may leave the target unlooked at (Linux, where new files are
// made unnamed): the new file is then written first, and SysCommitFileBeside makes the same
// checks of a target it finds there, with the same errors, or fails with kSysErrorLookUpFirst
// (as may SysCreateFileBeside) when the write must be made again with the check first. This
// spares a batch of new files the look-ups of names that do not exist yet.
bool SysMayReplaceFile(const char* target, FileReplacement* replacement,
                       bool checkAtCommit = false);
// Creates a new empty file in the folder of the replacement's file and opens it for writing;
// copies its path (program view) into tempPath (size bytes) and returns the handle (as
// SysOpenFile's), or null on failure. An empty tempPath: the file has no name yet (Linux,
// O_TMPFILE, for a replacement without an old file), and nothing of it remains unless
// SysCommitFileBeside names it. The new file has the kept permissions once SysCommitFileBeside
// has moved it (Linux gives them here, but for the set-id bits, which a write would clear;
// Windows when it moves the file). On Linux the new file also takes the old file's owner and
// group where the system allows it.
void* SysCreateFileBeside(const FileReplacement& replacement, char* tempPath, uint32_t size);
// Closes file, made by SysCreateFileBeside for the same replacement with tempPath, and moves
// it over the replacement's file in one step (rename, or for an unnamed file a link to the
// name; MoveFileExA with MOVEFILE_REPLACE_EXISTING on Windows), giving it the rest of the kept
// permissions first. The file is closed either way; false on failure (a named temporary file
// is then left where it was, for the caller to delete).
bool SysCommitFileBeside(void* file, const char* tempPath, const FileReplacement& replacement);
// Deletes a file; false on failure.
bool SysDeleteFile(const char* path);
// Creates a folder whose parent exists; true when it exists afterwards.
bool SysCreateFolder(const char* path);

// The thread's last system error code (errno on Linux, GetLastError on Windows).
uint32_t SysLastError();
// Sets the thread's last system error code.
void SysSetLastError(uint32_t code);
// The last system error code for "the disk is full".
uint32_t SysDiskFullError();
// Writes a short text for a system error code into out (size bytes): the same words on every
// system for the common cases ("Permission denied", "No such file or directory", "No space
// left on device"), the system's own text otherwise. False when out is null or size is 0.
bool SysErrorText(uint32_t code, char* out, uint32_t size);
