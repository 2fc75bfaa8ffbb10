// A small X client for the end-to-end tests: looks at and pokes the windows
// of a running X display where xdotool has no command for it.
//
//   x_probe popups              mapped override-redirect top-level windows,
//                               one line each: id x y width height
//   x_probe close WINDOW        asks a window to close (WM_DELETE_WINDOW),
//                               as a window manager's close box does
//   x_probe text WINDOW NAME    prints the window's text property NAME
//   x_probe cover WINDOW MS     lays a red window over WINDOW for MS milliseconds,
//                               then takes it away (the program must repaint)
//
// Exits 0 on success, 1 on failure with the reason on stderr.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

int ListPopups(Display* d) {
  Window root, parent, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n)) return 1;
  for (unsigned int i = 0; i < n; ++i) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, children[i], &a)) continue;
    if (a.map_state != IsViewable || !a.override_redirect) continue;
    std::printf("%lu %d %d %d %d\n", children[i], a.x, a.y, a.width, a.height);
  }
  if (children) XFree(children);
  return 0;
}

int Close(Display* d, Window w) {
  XEvent e;
  std::memset(&e, 0, sizeof e);
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  if (!XSendEvent(d, w, False, NoEventMask, &e)) {
    std::fprintf(stderr, "x_probe: cannot send to window 0x%lx\n", w);
    return 1;
  }
  XSync(d, False);
  return 0;
}

int PrintText(Display* d, Window w, const char* name) {
  Atom property = XInternAtom(d, name, True);
  XTextProperty text;
  if (property == None || !XGetTextProperty(d, w, &text, property) || !text.value) {
    std::fprintf(stderr, "x_probe: window 0x%lx has no property %s\n", w, name);
    return 1;
  }
  std::fwrite(text.value, 1, text.nitems, stdout);
  std::fputc('\n', stdout);
  XFree(text.value);
  return 0;
}

int Cover(Display* d, Window w, long milliseconds) {
  XWindowAttributes a;
  Window child;
  int x = 0, y = 0;
  if (!XGetWindowAttributes(d, w, &a) ||
      !XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child)) {
    std::fprintf(stderr, "x_probe: no window 0x%lx\n", w);
    return 1;
  }
  XColor red, exact;
  XAllocNamedColor(d, DefaultColormap(d, DefaultScreen(d)), "red", &red, &exact);
  XSetWindowAttributes set{};
  set.override_redirect = True;
  set.background_pixel = red.pixel;
  Window cover = XCreateWindow(d, DefaultRootWindow(d), x, y, unsigned(a.width), unsigned(a.height),
                               0, CopyFromParent, InputOutput, CopyFromParent,
                               CWOverrideRedirect | CWBackPixel, &set);
  XMapRaised(d, cover);
  XSync(d, False);
  struct timespec pause = {milliseconds / 1000, (milliseconds % 1000) * 1000000};
  nanosleep(&pause, nullptr);
  XDestroyWindow(d, cover);
  XSync(d, False);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "x_probe: cannot open the display\n");
    return 1;
  }
  int status = 2;
  if (argc == 2 && !std::strcmp(argv[1], "popups")) {
    status = ListPopups(d);
  } else if (argc == 3 && !std::strcmp(argv[1], "close")) {
    status = Close(d, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
  } else if (argc == 4 && !std::strcmp(argv[1], "text")) {
    status = PrintText(d, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)), argv[3]);
  } else if (argc == 4 && !std::strcmp(argv[1], "cover")) {
    status = Cover(d, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)),
                   std::strtol(argv[3], nullptr, 10));
  } else {
    std::fprintf(stderr,
                 "usage: %s popups | close WINDOW | text WINDOW PROPERTY | cover WINDOW MS\n",
                 argv[0]);
  }
  XCloseDisplay(d);
  return status;
}
