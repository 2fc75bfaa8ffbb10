// ChooseFile: the platform's open and save dialogs.
#pragma once

struct PathBuffer;
class StringBuffer;

// Flags of the file dialog: explorer style, centring hook, no read-only box.
constexpr unsigned kChooseFileFlags = 0x80024;

// Added when the chosen file must exist: path and file must exist.
constexpr unsigned kChooseFileMustExistFlags = 0x1800;

// Shows the open (mode 0) or save (mode 1) dialog starting with the name in
// `path` and writes the chosen file back into it; `filter` is a list of
// NUL-separated (description, patterns) pairs ending in two NULs. False for a
// null path, any other mode, a cancel or a dialog error (no message is shown).
bool ChooseFile(void* owner, const char* title, const char* filter, PathBuffer* path, int mode,
                bool mustExist);

// The same; when the user chose a file whose path is too long for `path`, that
// path is put into tooLong (when given) and the result is false. tooLong is
// emptied otherwise.
bool ChooseFile(void* owner, const char* title, const char* filter, PathBuffer* path, int mode,
                bool mustExist, StringBuffer* tooLong);
