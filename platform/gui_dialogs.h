// GUI seam: the modal file dialog and the message box.
#pragma once

#include <cstdint>

namespace platform {

// File dialog flags, valued as Win32's OFN_* constants.
constexpr uint32_t kFileHideReadOnly = 0x00000004;   // OFN_HIDEREADONLY
constexpr uint32_t kFileEnableHook = 0x00000020;     // OFN_ENABLEHOOK (the centring hook)
constexpr uint32_t kFilePathMustExist = 0x00000800;  // OFN_PATHMUSTEXIST
constexpr uint32_t kFileFileMustExist = 0x00001000;  // OFN_FILEMUSTEXIST
constexpr uint32_t kFileExplorer = 0x00080000;       // OFN_EXPLORER

// Size of the in/out path buffer of a file dialog (MAX_PATH).
constexpr int kFileDialogPathSize = 260;

// One file dialog request. Paths are in the program's view (drive letter,
// '\' separators); the backend translates them at its boundary.
struct FileDialogRequest {
  void* owner;                   // owner window or null
  const char* title;             // dialog title or null
  const char* filter;            // NUL-separated (description, patterns) pairs ending in two
                                 // NULs, or null; patterns are ';'-separated and may carry
                                 // spaces, e.g. " *.krn; *.krq;"
  char* path;                    // kFileDialogPathSize bytes: in, the initial name; out, the
                                 // chosen file
  const char* defaultExtension;  // appended when the user types a name without one; may be
                                 // empty or null
  uint32_t flags;                // kFile* flags; in save mode kFileFileMustExist does not
                                 // stop a new name from being accepted
  bool save;                     // false: open dialog; true: save dialog
  char* longPath;                // optional (null): when the chosen file's path does not fit
                                 // `path`, the backend copies it here (program view, cut to
                                 // longPathSize bytes with its NUL) and returns false; a path
                                 // without a program view (Linux: a '\' in a name) comes in
                                 // its native form (NativePathHasBackslashName)
  uint32_t longPathSize;
};

// Shows the dialog modally; true when a file was chosen (written into
// `path`), false on cancel or any error (`path` may hold what the dialog left).
bool RunFileDialog(FileDialogRequest* request);

// Message box flags, valued as Win32's MB_* constants.
constexpr uint32_t kMessageOk = 0x00000000;               // MB_OK
constexpr uint32_t kMessageIconInformation = 0x00000040;  // MB_ICONINFORMATION
constexpr uint32_t kMessageIconError = 0x00000010;        // MB_ICONERROR

// Shows a modal message box (MessageBoxA argument order); returns the button
// pressed (1 = IDOK), 0 on failure.
int ShowMessageBox(void* owner, const char* text, const char* title, uint32_t flags);

}  // namespace platform
