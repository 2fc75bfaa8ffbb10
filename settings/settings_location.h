// Where the settings and templates are found: one decision for the window program and the
// command-line converter alike.
//
// The program folder's "Defaults" holds the settings when it is there and the user may write
// in it (an unpacked zip, a build folder, a portable copy). An installed program has none, so
// its settings live in the user's own folder
// (SysGetUserSettingsFolder: ~/.config/krn2html, %APPDATA%\krn2html), under the same file
// names, created on the first save for the user alone. A "Defaults" the user may not write is
// shared: read, never written, for each file the user has not saved yet. Templates are the
// program's "HTML Support" plus the user's own "templates" folder beside the user's settings, whose
// files win over shipped ones of the same name.
#pragma once

#include <memory>

#include "base/path_buffer.h"
#include "core/conversion_failure.h"

// Relative name of the settings folder inside the program folder.
extern const char kDefaultsFolder[];
// Relative name of the templates folder inside the program folder.
extern const char kTemplatesFolder[];
// Relative name of the user's templates folder inside the user's settings folder.
extern const char kUserTemplatesFolder[];

// True when the settings live in the program folder: its "Defaults" exists and the user may
// write there; also when the user's folder is unknown (there is no other place).
bool SettingsInProgramFolder();

// Sets path to a settings file given by its relative name in the program folder
// ("\Defaults\defaulttemplate.txt"): that file, or the same file name in the user's settings
// folder. False when the result does not fit (path left empty).
bool SetSettingsPath(PathBuffer& path, const char* relativeName);

// Creates the folder that SetSettingsPath puts files in when it is missing (the user's one
// for the user alone); true when it exists afterwards.
bool PrepareSettingsFolder();

// Reads a settings file whole, like ReadWholeFile: the one where SetSettingsPath puts it or,
// when the settings live in the user's folder and the user has no such file yet, the same file
// of the program's "Defaults" (shared, never written). A file that belongs to another user (for
// the shared one: neither the user nor the administrator) is not read: null, and `foreign`
// (when given) holds a kSettingsForeign failure naming it.
std::unique_ptr<char[]> ReadSettingsFile(const char* relativeName, unsigned& count,
                                         ConversionFailure* foreign);

// Sets folder to the user's templates folder (ending with '\'); false when the user's folder
// is unknown or the result does not fit.
bool SetUserTemplatesFolder(PathBuffer& folder);

// Sets path to the template file named name: the user's own when it exists, else the one of
// "HTML Support". False when the result does not fit.
bool SetTemplatePath(PathBuffer& path, const char* name);
