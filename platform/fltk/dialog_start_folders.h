// Where the Linux file dialogs start: the folder last used for the same kind of
// dialog (open or save) in this session, else the user's home folder, never the
// program's folder or whatever the current directory happens to be.
#pragma once

#include <string>

namespace fltk_backend {

class DialogStartFolders {
 public:
  // The folder a dialog starts in: the folder of `initialPath` when the caller
  // gave a path with a folder that exists, else the folder of the file last
  // chosen in a dialog of the same kind, else `home`, else "/". Only existing
  // folders are returned.
  std::string StartFolder(bool save, const std::string& initialPath, const std::string& home) const;

  // Notes the folder of a file chosen in a dialog of that kind (a native
  // absolute path); other paths are ignored.
  void Remember(bool save, const std::string& chosenFile);

 private:
  std::string lastFolder_[2];  // [0] open, [1] save
};

// The user's home folder: $HOME when it is an absolute path, else the home of
// the user's account entry; empty when neither is known.
std::string UserHomeFolder();

}  // namespace fltk_backend
