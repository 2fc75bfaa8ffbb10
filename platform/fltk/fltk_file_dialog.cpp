#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/filename.H>
#include <FL/fl_ask.H>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/fltk/file_dialog_window.h"
#include "platform/fltk/file_filter.h"

namespace fltk_backend {

namespace {

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::string ParentOf(const std::string& folder) {
  size_t slash = folder.find_last_of('/', folder.size() > 1 ? folder.size() - 2 : 0);
  if (slash == std::string::npos || slash == 0) return "/";
  return folder.substr(0, slash);
}

// Removes "." and ".." parts and doubled slashes of an absolute path.
std::string Normalise(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  return result.empty() ? "/" : result;
}

// Escapes the characters that Fl_Menu_::add reads as structure.
std::string MenuLabel(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '/' || c == '\\' || c == '&' || c == '_') out += '\\';
    out += c;
  }
  return out;
}

class FileDialog {
 public:
  explicit FileDialog(const FileDialogSpec& wanted)
      : spec_(wanted),
        filters_(ParseFilterList(wanted.filter)),
        window_(560, 400),
        folderField_(70, 10, 400, 26, "Folder:"),
        upButton_(480, 10, 70, 26, "Up"),
        files_(10, 46, 540, 238),
        filterChoice_(100, 294, 450, 26, "Files of type:"),
        nameField_(100, 328, 450, 26, "File name:"),
        okButton_(370, 364, 85, 28, wanted.save ? "Save" : "Open"),
        cancelButton_(465, 364, 85, 28, "Cancel") {
    window_.copy_label(wanted.title.c_str());
    window_.end();
    window_.set_modal();
    window_.callback(Cancel, this);
    folderField_.when(FL_WHEN_ENTER_KEY_ALWAYS);
    folderField_.callback(FolderEntered, this);
    upButton_.callback(Up, this);
    files_.type(FL_HOLD_BROWSER);
    files_.callback(FileClicked, this);
    if (filters_.empty()) filters_.push_back({"All Files (*.*)", "*"});
    for (const FilterEntry& entry : filters_)
      filterChoice_.add(MenuLabel(entry.description).c_str());
    filterChoice_.value(0);
    filterChoice_.callback(FilterChosen, this);
    nameField_.when(FL_WHEN_ENTER_KEY_ALWAYS);
    nameField_.callback(Accept, this);
    nameField_.value(wanted.name.c_str());
    okButton_.callback(Accept, this);
    cancelButton_.callback(Cancel, this);
    Open(IsFolder(wanted.folder) ? wanted.folder : std::string("/"));
  }

  std::string Run() {
    window_.position(std::max((Fl::w() - window_.w()) / 2, 0),
                     std::max((Fl::h() - window_.h()) / 2, 0));
    window_.show();
    nameField_.take_focus();
    nameField_.position(nameField_.size(), 0);  // the whole name selected, as on Windows
    while (window_.shown()) Fl::wait();
    return result_;
  }

 private:
  void Open(const std::string& folder) {
    folder_ = Normalise(folder);
    folderField_.value(folder_.c_str());
    files_.filter(filters_[size_t(std::max(filterChoice_.value(), 0))].pattern.c_str());
    files_.load((folder_ == "/" ? folder_ : folder_ + "/").c_str());
    // The list starts with "../" for going up; the Up button does that.
    for (int i = files_.size(); i >= 1; --i) {
      const char* text = files_.text(i);
      if (text && (!std::strcmp(text, "../") || !std::strcmp(text, "./"))) files_.remove(i);
    }
  }

  std::string FullPath(const std::string& name) const {
    if (!name.empty() && name[0] == '/') return Normalise(name);
    return Normalise(folder_ + "/" + name);
  }

  void Finish() {
    std::string name = nameField_.value();
    if (name.empty()) return;
    std::string path = FullPath(name);
    if (IsFolder(path)) {  // a folder typed or picked: go there
      Open(path);
      nameField_.value("");
      return;
    }
    size_t slash = path.rfind('/');
    bool folderExists = IsFolder(slash == 0 ? "/" : path.substr(0, slash));
    if (!folderExists || (!spec_.save && spec_.fileMustExist && !Exists(path))) {
      fl_beep();
      return;
    }
    result_ = path;
    window_.hide();
  }

  static void FolderEntered(Fl_Widget*, void* self) {
    auto* d = static_cast<FileDialog*>(self);
    std::string folder = d->FullPath(d->folderField_.value());
    if (IsFolder(folder)) {
      d->Open(folder);
    } else {
      fl_beep();
      d->folderField_.value(d->folder_.c_str());
    }
  }
  static void Up(Fl_Widget*, void* self) {
    auto* d = static_cast<FileDialog*>(self);
    d->Open(ParentOf(d->folder_ + "/"));
  }
  static void FilterChosen(Fl_Widget*, void* self) {
    auto* d = static_cast<FileDialog*>(self);
    d->Open(d->folder_);
  }
  static void FileClicked(Fl_Widget*, void* self) {
    auto* d = static_cast<FileDialog*>(self);
    int line = d->files_.value();
    if (line < 1) return;
    std::string text = d->files_.text(line);
    bool folder = !text.empty() && text.back() == '/';
    if (folder) {
      if (Fl::event_clicks()) d->Open(d->FullPath(text));
      return;
    }
    d->nameField_.value(text.c_str());
    if (Fl::event_clicks()) d->Finish();
  }
  static void Accept(Fl_Widget*, void* self) { static_cast<FileDialog*>(self)->Finish(); }
  static void Cancel(Fl_Widget*, void* self) {
    auto* d = static_cast<FileDialog*>(self);
    d->result_.clear();
    d->window_.hide();
  }

  FileDialogSpec spec_;
  std::vector<FilterEntry> filters_;
  std::string folder_;
  std::string result_;
  Fl_Double_Window window_;
  Fl_Input folderField_;
  Fl_Button upButton_;
  Fl_File_Browser files_;
  Fl_Choice filterChoice_;
  Fl_Input nameField_;
  Fl_Return_Button okButton_;
  Fl_Button cancelButton_;
};

}  // namespace

std::string RunFileDialogWindow(const FileDialogSpec& wanted) {
  Fl_Group::current(nullptr);
  FileDialog dialog(wanted);
  return dialog.Run();
}

}  // namespace fltk_backend
