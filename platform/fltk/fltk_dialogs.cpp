// The file dialog (the desktop's chooser, else the backend's own, see
// desktop_file_chooser.h and file_dialog_window.h) and the information box of
// platform/gui_dialogs.h.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/fltk/desktop_file_chooser.h"
#include "platform/fltk/dialog_start_folders.h"
#include "platform/fltk/file_dialog_window.h"
#include "platform/fltk/fltk_state.h"
#include "platform/fltk/fltk_window.h"
#include "platform/fltk/verbose_log.h"
#include "platform/gui_dialogs.h"
#include "platform/native_path.h"

namespace fltk_backend {

namespace {

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  if (!getcwd(buffer.data(), buffer.size())) return "/";
  return buffer.data();
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

void CentreOnScreen(Fl_Window* window) {
  window->position(std::max((Fl::w() - window->w()) / 2, 0),
                   std::max((Fl::h() - window->h()) / 2, 0));
}

// Lets assistive tools (and the end-to-end tests) read a box's text, which
// X does not otherwise expose because FLTK draws it.
void PublishText(Fl_Window* window, const char* text) {
  if (!window->shown()) return;
  Atom property = XInternAtom(fl_display, "_KRN_MESSAGE_TEXT", False);
  Atom utf8 = XInternAtom(fl_display, "UTF8_STRING", False);
  XChangeProperty(fl_display, fl_xid(window), property, utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(text), int(std::strlen(text)));
  XFlush(fl_display);
}

void CloseBox(Fl_Widget* widget, void*) {
  widget->window()->hide();
}

}  // namespace

}  // namespace fltk_backend

namespace platform {

bool RunFileDialog(FileDialogRequest* request) {
  if (!request || !request->path || !fltk_backend::EnsureDisplay()) return false;
  // The initial name, and its folder when the caller gave one.
  std::vector<char> native(4096);
  std::string initial;
  if (request->path[0] &&
      NativePathFromProgram(request->path, native.data(), uint32_t(native.size()))) {
    initial = native.data();
  }
  static fltk_backend::DialogStartFolders startFolders;
  fltk_backend::FileDialogSpec wanted;
  wanted.title = request->title ? request->title : "";
  wanted.filter = request->filter;
  wanted.folder = startFolders.StartFolder(request->save, initial, fltk_backend::UserHomeFolder());
  wanted.name = initial.substr(initial.rfind('/') + 1);
  wanted.save = request->save;
  wanted.fileMustExist = (request->flags & kFileFileMustExist) != 0;

  // GTK's chooser lists the current directory among its places: it is the
  // start folder while a dialog is open, never the program's folder.
  const std::string current = fltk_backend::CurrentDirectory();
  const bool moved = chdir(wanted.folder.c_str()) == 0;
  std::string chosen;
  bool failed = true;
  if (fltk_backend::DesktopChooserAvailable()) {
    fltk_backend::LogVerbose("file dialog \"%s\": the desktop's chooser (FLTK native, %s)",
                             wanted.title.c_str(), fltk_backend::DesktopChooserLibrary().c_str());
    chosen = fltk_backend::RunDesktopChooser(wanted, &failed);
  }
  if (failed) {
    fltk_backend::LogVerbose("file dialog \"%s\": the program's own dialog", wanted.title.c_str());
    chosen = fltk_backend::RunFileDialogWindow(wanted);
  }
  if (moved && chdir(current.c_str()) != 0) {
    fltk_backend::LogVerbose("could not return to the folder %s", current.c_str());
  }
  if (chosen.empty()) return false;
  std::string path = chosen;
  if (path[0] != '/') path = wanted.folder + "/" + path;
  if (fltk_backend::IsDirectory(path)) return false;
  // A typed name without an extension gets the default one, as on Windows.
  std::string base = path.substr(path.rfind('/') + 1);
  if (request->defaultExtension && request->defaultExtension[0] &&
      base.find('.') == std::string::npos) {
    path += std::string(".") + request->defaultExtension;
  }
  // No file can be opened or saved in a folder that does not exist.
  if (!fltk_backend::IsDirectory(fltk_backend::FolderOf(path))) return false;
  // A save dialog takes new names; only an open dialog insists on an existing file.
  if (!request->save && (request->flags & kFileFileMustExist) && !fltk_backend::Exists(path)) {
    return false;
  }
  std::vector<char> program(kFileDialogPathSize);
  if (!ProgramPathFromNative(path.c_str(), program.data(), uint32_t(program.size()))) {
    // Too long for the program's paths, or a name with a '\' that the program's view cannot
    // carry (handed over in its native form): handed back whole where the caller wants it.
    if (request->longPath != nullptr && request->longPathSize > 0) {
      request->longPath[0] = '\0';
      if (!NativePathHasBackslashName(path.c_str())) {
        ProgramPathFromNative(path.c_str(), request->longPath, request->longPathSize);
      } else if (path.size() < request->longPathSize) {
        std::memcpy(request->longPath, path.c_str(), path.size() + 1);
      }
    }
    return false;
  }
  std::copy(program.begin(), program.end(), request->path);
  startFolders.Remember(request->save, path);
  fltk_backend::LogVerbose("file dialog \"%s\": chose %s", wanted.title.c_str(), path.c_str());
  return true;
}

int ShowMessageBox(void* owner, const char* text, const char* title, uint32_t flags) {
  if (!fltk_backend::EnsureDisplay()) return 0;
  std::string body = text ? text : "";
  std::string label;
  for (char c : body) {
    label += c;
    if (c == '@') label += '@';  // not an FLTK symbol
  }
  // Size the box to its text: wrapped at 400 units. The box is drawn at the
  // desktop's scale like the program's windows.
  using fltk_backend::Px;
  fl_font(FL_HELVETICA, Px(14));
  int textW = Px(400), textH = 0;
  fl_measure(label.c_str(), textW, textH, 0);
  // The box draws its label inset by a few pixels on each side.
  textW = std::clamp(textW, Px(160), Px(400)) + Px(10);
  textH = std::max(textH, Px(40));
  const int boxW = textW + Px(90), boxH = textH + Px(70);

  Fl_Group::current(nullptr);
  Fl_Window box(boxW, boxH);
  box.copy_label(title ? title : "");
  // The information icon (a blue "i") or, for a failure, the error icon (a red "X").
  const bool error = (flags & kMessageIconError) != 0;
  Fl_Box icon(Px(15), Px(15), Px(44), Px(44), error ? "X" : "i");
  icon.box(FL_OVAL_BOX);
  icon.color(error ? fl_rgb_color(200, 40, 40) : fl_rgb_color(40, 90, 190));
  icon.labelcolor(FL_WHITE);
  icon.labelfont(error ? FL_HELVETICA_BOLD : FL_TIMES_BOLD_ITALIC);
  icon.labelsize(Px(error ? 26 : 30));
  Fl_Box message(Px(72), Px(15), textW, textH);
  message.copy_label(label.c_str());
  message.labelsize(Px(14));
  message.align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  Fl_Return_Button ok(boxW - Px(95), boxH - Px(40), Px(80), Px(28), "OK");
  ok.labelsize(Px(FL_NORMAL_SIZE));
  ok.callback(fltk_backend::CloseBox);
  box.end();
  box.set_modal();
  fltk_backend::NativeWindow* parent = fltk_backend::AsWindow(owner);
  if (parent && !parent->isControl && parent->window->shown()) {
    Fl_Window* p = parent->window;
    box.position(p->x() + (p->w() - boxW) / 2, p->y() + (p->h() - boxH) / 2);
  } else {
    fltk_backend::CentreOnScreen(&box);
  }
  box.show();
  fltk_backend::PublishText(&box, body.c_str());
  while (box.shown()) Fl::wait();
  return 1;  // IDOK, also for Escape and the close box, as for an OK-only box
}

}  // namespace platform
