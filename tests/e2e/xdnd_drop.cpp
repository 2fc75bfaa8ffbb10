// A small XDND drag source for the end-to-end tests: drops one or more files
// on a window of a running X display, as a file manager does.
//
//   xdnd_drop WINDOW X Y FILE...
//
// WINDOW is the X id (decimal or 0x hex) of a top-level window, X and Y the
// drop point in that window's coordinates. The files are offered as
// text/uri-list of file:// URIs (percent-encoded). Exits 0 when the target
// accepted the drop and reported it finished, 1 otherwise, with the reason on
// stderr.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Atoms {
  Atom aware, enter, position, status, drop, finished, selection, actionCopy, uriList, targets;
};

Atoms InternAtoms(Display* d) {
  Atoms a;
  a.aware = XInternAtom(d, "XdndAware", False);
  a.enter = XInternAtom(d, "XdndEnter", False);
  a.position = XInternAtom(d, "XdndPosition", False);
  a.status = XInternAtom(d, "XdndStatus", False);
  a.drop = XInternAtom(d, "XdndDrop", False);
  a.finished = XInternAtom(d, "XdndFinished", False);
  a.selection = XInternAtom(d, "XdndSelection", False);
  a.actionCopy = XInternAtom(d, "XdndActionCopy", False);
  a.uriList = XInternAtom(d, "text/uri-list", False);
  a.targets = XInternAtom(d, "TARGETS", False);
  return a;
}

// Percent-encodes everything outside the unreserved set and '/'.
std::string FileUri(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string uri = "file://";
  for (unsigned char c : path) {
    if (std::isalnum(c) || std::strchr("/-._~", c)) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += hex[c >> 4];
      uri += hex[c & 15];
    }
  }
  return uri;
}

// The XDND version the window announces, or -1 when it is not drop-aware.
long AwareVersion(Display* d, const Atoms& a, Window w) {
  Atom type;
  int format;
  unsigned long count, rest;
  unsigned char* data = nullptr;
  long version = -1;
  if (XGetWindowProperty(d, w, a.aware, 0, 1, False, AnyPropertyType, &type, &format, &count, &rest,
                         &data) == Success &&
      data && count == 1 && format == 32) {
    version = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
  }
  if (data) XFree(data);
  return version;
}

// The window itself or its first drop-aware descendant (a window manager may
// hand out its frame's id).
Window FindAware(Display* d, const Atoms& a, Window w, long* version) {
  *version = AwareVersion(d, a, w);
  if (*version >= 0) return w;
  Window root, parent, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &n)) return None;
  Window found = None;
  for (unsigned int i = 0; i < n && found == None; ++i)
    found = FindAware(d, a, children[i], version);
  if (children) XFree(children);
  return found;
}

void SendClient(Display* d, Window target, Atom type, long l0, long l1, long l2, long l3, long l4) {
  XEvent e;
  std::memset(&e, 0, sizeof e);
  e.xclient.type = ClientMessage;
  e.xclient.display = d;
  e.xclient.window = target;
  e.xclient.message_type = type;
  e.xclient.format = 32;
  e.xclient.data.l[0] = l0;
  e.xclient.data.l[1] = l1;
  e.xclient.data.l[2] = l2;
  e.xclient.data.l[3] = l3;
  e.xclient.data.l[4] = l4;
  XSendEvent(d, target, False, NoEventMask, &e);
  XFlush(d);
}

void AnswerSelection(Display* d, const Atoms& a, const XSelectionRequestEvent& req,
                     const std::string& uris) {
  XEvent reply;
  std::memset(&reply, 0, sizeof reply);
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = d;
  reply.xselection.requestor = req.requestor;
  reply.xselection.selection = req.selection;
  reply.xselection.target = req.target;
  reply.xselection.time = req.time;
  reply.xselection.property = None;
  Atom property = req.property != None ? req.property : req.target;
  if (req.target == a.uriList) {
    XChangeProperty(d, req.requestor, property, a.uriList, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(uris.data()),
                    static_cast<int>(uris.size()));
    reply.xselection.property = property;
  } else if (req.target == a.targets) {
    Atom offered[2] = {a.targets, a.uriList};
    XChangeProperty(d, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(offered), 2);
    reply.xselection.property = property;
  }
  XSendEvent(d, req.requestor, False, NoEventMask, &reply);
  XFlush(d);
}

// Waits for the next event up to the deadline; false on timeout.
bool NextEvent(Display* d, std::chrono::steady_clock::time_point deadline, XEvent* e) {
  while (!XPending(d)) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{ConnectionNumber(d), POLLIN, 0};
    poll(&p, 1, static_cast<int>(left.count()));
  }
  XNextEvent(d, e);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s WINDOW X Y FILE...\n", argv[0]);
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "xdnd_drop: cannot open the display\n");
    return 1;
  }
  Atoms a = InternAtoms(d);
  Window given = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
  int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
  std::string uris;
  for (int i = 4; i < argc; ++i) uris += FileUri(argv[i]) + "\r\n";

  long version = -1;
  Window target = FindAware(d, a, given, &version);
  if (target == None) {
    std::fprintf(stderr, "xdnd_drop: window 0x%lx is not drop-aware\n", given);
    return 1;
  }
  if (version > 5) version = 5;
  int rootX = 0, rootY = 0;
  Window child;
  XTranslateCoordinates(d, given, DefaultRootWindow(d), x, y, &rootX, &rootY, &child);

  Window source = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(d, a.selection, source, CurrentTime);
  if (XGetSelectionOwner(d, a.selection) != source) {
    std::fprintf(stderr, "xdnd_drop: cannot own XdndSelection\n");
    return 1;
  }
  const long src = static_cast<long>(source);
  SendClient(d, target, a.enter, src, version << 24, static_cast<long>(a.uriList), 0, 0);
  SendClient(d, target, a.position, src, 0, (rootX << 16) | (rootY & 0xFFFF), CurrentTime,
             static_cast<long>(a.actionCopy));

  // Some targets report XdndFinished before they have fetched the data, so
  // the source serves the selection until it has handed out the list and
  // then stays quiet for a moment.
  using Clock = std::chrono::steady_clock;
  auto deadline = Clock::now() + std::chrono::seconds(10);
  bool dropped = false, finished = false, served = false;
  XEvent e;
  for (;;) {
    if (finished && served)
      deadline = std::min(deadline, Clock::now() + std::chrono::milliseconds(300));
    if (!NextEvent(d, deadline, &e)) break;
    if (e.type == SelectionRequest) {
      AnswerSelection(d, a, e.xselectionrequest, uris);
      if (e.xselectionrequest.target == a.uriList) served = true;
    } else if (e.type == ClientMessage && e.xclient.message_type == a.status && !dropped) {
      if (!(e.xclient.data.l[1] & 1)) {
        std::fprintf(stderr, "xdnd_drop: the window refused the drop\n");
        return 1;
      }
      SendClient(d, target, a.drop, src, 0, CurrentTime, 0, 0);
      dropped = true;
    } else if (e.type == ClientMessage && e.xclient.message_type == a.finished) {
      finished = true;
    }
  }
  XCloseDisplay(d);
  if (finished && served) return 0;
  std::fprintf(stderr, "xdnd_drop: %s from window 0x%lx\n",
               !dropped  ? "no XdndStatus"
               : !served ? "the file list was never fetched"
                         : "no XdndFinished",
               target);
  return 1;
}
