// System seam: showing a page in the user's browser. On Linux xdg-open (which follows the
// desktop's choice and BROWSER), waited for so that its failure is known; on Windows
// ShellExecuteW "open", with SHELL32 loaded only when asked so that a command does not import
// it. Implemented by the system backends (posix, win32).
#pragma once

#include <cstdint>

// Opens the file nativePath (the system's own path form) in the user's browser. False when no
// browser could be started, with a short reason in reason (reasonSize bytes, NUL-terminated).
bool SysOpenInBrowser(const char* nativePath, char* reason, uint32_t reasonSize);
