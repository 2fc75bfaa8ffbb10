// A small helper of the Windows end-to-end tests, run under Wine beside the
// program: reads what the Win32 API says about the program's windows, in
// pixels (DPI-aware) whatever the display's DPI.
//
//   win_probe find TITLE        prints the handle of the visible top-level window titled TITLE
//   win_probe info HANDLE       prints "style left top right bottom clientWidth clientHeight"
//   win_probe text HANDLE       prints the message text of a message box
//   win_probe close HANDLE      posts WM_CLOSE to the window
//   win_probe children HANDLE   prints "class id left top right bottom" (screen) per child
//   win_probe popups -          prints "handle left top right bottom" per visible
//                               top-level window without a caption (pop-up lists)
//   win_probe dpi HANDLE        prints the window's DPI (GetDpiForWindow, else the system's)
//   win_probe version PATH      prints ReadProductVersion of the file as 0x%08X
//
// Exits 0 on success, 1 with the reason on stderr.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/path_record.h"
#include "base/version_info.h"

namespace {

HWND ParseHandle(const char* text) {
  return reinterpret_cast<HWND>(std::strtoul(text, nullptr, 0));
}

struct Search {
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  char title[512];
  if (IsWindowVisible(window) && GetWindowTextA(window, title, sizeof(title)) > 0 &&
      std::strcmp(title, search->title) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The message box's text is its static control with id 0xFFFF.
BOOL CALLBACK FindMessageText(HWND child, LPARAM data) {
  auto* text = reinterpret_cast<std::string*>(data);
  char className[32];
  GetClassNameA(child, className, sizeof(className));
  if (_stricmp(className, "Static") == 0 && GetDlgCtrlID(child) == 0xFFFF) {
    char buffer[1024];
    GetWindowTextA(child, buffer, sizeof(buffer));
    *text = buffer;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK PrintPopup(HWND window, LPARAM) {
  LONG style = GetWindowLongA(window, GWL_STYLE);
  RECT r;
  if (IsWindowVisible(window) && (style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION &&
      GetWindowRect(window, &r)) {
    std::printf("%lu %ld %ld %ld %ld\n",
                static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)), r.left, r.top,
                r.right, r.bottom);
  }
  return TRUE;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  char className[32];
  RECT r;
  GetClassNameA(child, className, sizeof(className));
  GetWindowRect(child, &r);
  std::printf("%s %d %ld %ld %ld %ld\n", className, GetDlgCtrlID(child), r.left, r.top, r.right,
              r.bottom);
  return TRUE;
}

int Fail(const char* why) {
  std::fprintf(stderr, "win_probe: %s\n", why);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  // Pixels, not coordinates scaled for a 96-DPI program.
  SetProcessDPIAware();
  if (argc != 3) return Fail("usage: win_probe find|info|text|close|children|dpi|version ARGUMENT");
  std::string command = argv[1];
  if (command == "find") {
    Search search{argv[2], nullptr};
    EnumWindows(&MatchTitle, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return Fail("no such window");
    std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(search.found)));
    return 0;
  }
  if (command == "version") {
    PathRecord path;
    path.SetPath(argv[2]);
    std::printf("0x%08X\n", static_cast<unsigned>(ReadProductVersion(path)));
    return 0;
  }
  if (command == "popups") {
    EnumWindows(&PrintPopup, 0);
    return 0;
  }
  HWND window = ParseHandle(argv[2]);
  if (!IsWindow(window)) return Fail("not a window");
  if (command == "info") {
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    std::printf("0x%08lX %ld %ld %ld %ld %ld %ld\n",
                static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)), outer.left,
                outer.top, outer.right, outer.bottom, client.right, client.bottom);
    return 0;
  }
  if (command == "text") {
    std::string text;
    EnumChildWindows(window, &FindMessageText, reinterpret_cast<LPARAM>(&text));
    if (text.empty()) return Fail("no message text");
    std::printf("%s\n", text.c_str());
    return 0;
  }
  if (command == "children") {
    EnumChildWindows(window, &PrintChild, 0);
    return 0;
  }
  if (command == "dpi") {
    using Call = UINT(WINAPI*)(HWND);
    auto call = reinterpret_cast<Call>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    HDC screen = GetDC(nullptr);
    int dpi = call ? int(call(window)) : GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    std::printf("%d\n", dpi);
    return 0;
  }
  if (command == "close") {
    return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : Fail("PostMessage failed");
  }
  return Fail("unknown command");
}
