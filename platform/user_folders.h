// System seam: the user's own settings folder and the checks that decide
// whether the program folder or that folder holds the settings.
//
// Paths are in the program's view (see native_path.h). Implemented by
// platform/posix and platform/win32.
#pragma once

#include <cstdint>

// Copies the program's folder among the user's own settings into out (size bytes), without a
// trailing '\': $XDG_CONFIG_HOME\krn2html when that variable holds an absolute path, else
// $HOME\.config\krn2html (the account's home when HOME is unset) on Linux; %APPDATA%\krn2html
// on Windows. Returns its length, or 0 when it is unknown or does not fit. The folder may not
// exist yet.
uint32_t SysGetUserSettingsFolder(char* out, uint32_t size);

// Whether the user may create and replace files in the existing folder at path; false when it
// is missing or is no folder.
bool SysFolderWritable(const char* path);

// Creates the folder at path and its missing parents, the new ones readable and writable by
// the user alone (mode 0700 on Linux); true when the folder exists afterwards.
bool SysCreatePrivateFolder(const char* path);

// Whether the existing file at path belongs to the user running the program. Always true on
// Windows, whose settings live in the user's own profile; false when the file is missing.
bool SysOwnedByUser(const char* path);

// Whether the existing file at path belongs to the system's administrator (root on Linux), who
// keeps the shared settings of an installation. Always true on Windows, as SysOwnedByUser;
// false when the file is missing.
bool SysOwnedByAdministrator(const char* path);
