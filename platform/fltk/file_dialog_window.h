// The backend's own modal file dialog: a folder field, the folder's
// contents filtered by the chosen entry of the program's filter list, and a
// file-name field that takes a name or a whole path.
#pragma once

#include <string>

namespace fltk_backend {

// What a file dialog is asked.
struct FileDialogSpec {
  std::string title;
  const char* filter = nullptr;  // Windows-style filter list, or null
  std::string folder;            // native folder to start in
  std::string name;              // initial file name (no folder)
  bool save = false;             // a save dialog takes names of files that do not exist yet
  bool fileMustExist = false;    // an open dialog insists on an existing file
};

// Shows the dialog centred on the screen and returns the chosen file's
// native absolute path, or the empty text when the user cancelled.
std::string RunFileDialogWindow(const FileDialogSpec& wanted);

}  // namespace fltk_backend
