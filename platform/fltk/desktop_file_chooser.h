// The desktop's own file chooser: FLTK's Fl_Native_File_Chooser, which shows
// GTK's file chooser dialog when a GTK library is installed. The backend's own
// dialog (file_dialog_window.h) is the fallback where it is not.
#pragma once

#include <string>

#include "platform/fltk/file_dialog_window.h"

namespace fltk_backend {

// Whether the desktop's chooser can run: FLTK's option to use GTK choosers is
// on (a user can switch it off in FLTK's preferences) and a GTK library loads.
bool DesktopChooserAvailable();

// The GTK library the desktop chooser uses, or the empty text when none loads.
std::string DesktopChooserLibrary();

// Shows the desktop's chooser modally, centred on the screen, starting in
// `wanted.folder` with `wanted.name`.
// Returns the chosen file's native absolute path; the empty text on cancel or
// when the chooser failed (then `failed` is set).
std::string RunDesktopChooser(const FileDialogSpec& wanted, bool* failed);

}  // namespace fltk_backend
