// The desktop's chooser through FLTK's Fl_Native_File_Chooser (GTK), and its
// centring: GTK leaves the placement to the window manager, so the chooser's
// window is found among GTK's windows once it is shown and centred on the
// screen, as the program's own dialog and the Windows hook place theirs.
#include <FL/Fl.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/x.H>
#include <dlfcn.h>

#include <string>
#include <type_traits>

#include "platform/fltk/desktop_file_chooser.h"
#include "platform/fltk/file_filter.h"
#include "platform/fltk/verbose_log.h"

namespace fltk_backend {

namespace {

// The libraries FLTK looks for, in its order.
const char* const kGtkLibraries[] = {"libgtk-x11-2.0.so.0", "libgtk-x11-2.0.so", "libgtk-3.so.0",
                                     "libgtk-3.so"};

// The few GLib and GTK calls the centring needs, looked up in the GTK library
// that FLTK has loaded (the same in GTK 2 and 3); no GTK headers are needed.
struct GList {
  void* data;
  GList* next;
  GList* prev;
};
struct GtkCalls {
  unsigned (*timeoutAdd)(unsigned, int (*)(void*), void*) = nullptr;
  int (*sourceRemove)(unsigned) = nullptr;
  GList* (*listToplevels)() = nullptr;
  void (*listFree)(GList*) = nullptr;
  const char* (*windowTitle)(void*) = nullptr;
  void (*windowSetPosition)(void*, int) = nullptr;
  void (*windowSize)(void*, int*, int*) = nullptr;
  void (*windowMove)(void*, int, int) = nullptr;
  int (*widgetVisible)(void*) = nullptr;
  int (*screenWidth)() = nullptr;
  int (*screenHeight)() = nullptr;
};

bool LoadGtkCalls(GtkCalls* calls) {
  void* gtk = dlopen(DesktopChooserLibrary().c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (gtk == nullptr) return false;
  auto find = [gtk](auto& function, const char* name) {
    function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(gtk, name));
    return function != nullptr;
  };
  const bool found =
      find(calls->timeoutAdd, "g_timeout_add") && find(calls->sourceRemove, "g_source_remove") &&
      find(calls->listToplevels, "gtk_window_list_toplevels") &&
      find(calls->listFree, "g_list_free") && find(calls->windowTitle, "gtk_window_get_title") &&
      find(calls->windowSetPosition, "gtk_window_set_position") &&
      find(calls->windowSize, "gtk_window_get_size") &&
      find(calls->windowMove, "gtk_window_move") &&
      find(calls->widgetVisible, "gtk_widget_get_visible") &&
      find(calls->screenWidth, "gdk_screen_width") &&
      find(calls->screenHeight, "gdk_screen_height");
  dlclose(gtk);  // FLTK keeps the library loaded
  return found;
}

constexpr int kGtkCentreAlways = 3;  // GTK_WIN_POS_CENTER_ALWAYS

struct Centring {
  GtkCalls calls;
  std::string title;
  bool done = false;
};

// Runs inside GTK's loop while the chooser is open: centres the chooser's
// window on the screen once it is shown; true while it should run again.
int CentreWhenShown(void* data) {
  auto* centring = static_cast<Centring*>(data);
  const GtkCalls& gtk = centring->calls;
  GList* windows = gtk.listToplevels();
  for (GList* item = windows; item != nullptr; item = item->next) {
    const char* title = gtk.windowTitle(item->data);
    if (title == nullptr || centring->title != title || !gtk.widgetVisible(item->data)) continue;
    gtk.windowSetPosition(item->data, kGtkCentreAlways);
    int width = 0, height = 0;
    gtk.windowSize(item->data, &width, &height);
    const int x = gtk.screenWidth() / 2 - width / 2;
    const int y = gtk.screenHeight() / 2 - height / 2;
    gtk.windowMove(item->data, x < 0 ? 0 : x, y < 0 ? 0 : y);
    centring->done = true;
  }
  gtk.listFree(windows);
  return centring->done ? 0 : 1;
}

}  // namespace

std::string DesktopChooserLibrary() {
  static std::string library = [] {
    for (const char* name : kGtkLibraries) {
      if (void* handle = dlopen(name, RTLD_LAZY)) {
        dlclose(handle);
        return std::string(name);
      }
    }
    return std::string();
  }();
  return library;
}

bool DesktopChooserAvailable() {
  return Fl::option(Fl::OPTION_FNFC_USES_GTK) && !DesktopChooserLibrary().empty();
}

std::string RunDesktopChooser(const FileDialogSpec& wanted, bool* failed) {
  *failed = false;
  Fl_Native_File_Chooser chooser(wanted.save ? Fl_Native_File_Chooser::BROWSE_SAVE_FILE
                                             : Fl_Native_File_Chooser::BROWSE_FILE);
  chooser.title(wanted.title.c_str());
  const std::string filter = NativeChooserFilter(wanted.filter);
  if (!filter.empty()) chooser.filter(filter.c_str());
  chooser.directory(wanted.folder.c_str());
  if (!wanted.name.empty()) chooser.preset_file(wanted.name.c_str());
  // No overwrite question, as the Windows dialog asks none; new folders may be made.
  chooser.options(wanted.save ? Fl_Native_File_Chooser::NEW_FOLDER
                              : Fl_Native_File_Chooser::NO_OPTIONS);
  // FLTK has loaded GTK once the chooser exists; its loop runs the centring.
  Centring centring;
  centring.title = wanted.title;
  unsigned source = 0;
  if (LoadGtkCalls(&centring.calls)) {
    source = centring.calls.timeoutAdd(20, CentreWhenShown, &centring);
  } else {
    LogVerbose("desktop chooser: GTK's window calls not found; the dialog is not centred");
  }
  // GTK maps its window over its own connection: what FLTK still holds back
  // (such as raising the main window) must reach the server first, or it would
  // land on top of the chooser.
  Fl::flush();
  XSync(fl_display, False);
  const int answer = chooser.show();
  if (source != 0 && !centring.done) centring.calls.sourceRemove(source);
  if (answer < 0) {
    *failed = true;
    LogVerbose("desktop chooser failed: %s", chooser.errmsg() ? chooser.errmsg() : "");
    return std::string();
  }
  if (answer != 0 || chooser.filename() == nullptr) return std::string();
  return chooser.filename();
}

}  // namespace fltk_backend
