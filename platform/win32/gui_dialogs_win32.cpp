// The open and save dialogs with their centring hook, and the message box, over
// COMDLG32 and USER32.
#include <windows.h>
// Needs <windows.h> first.
#include <commdlg.h>

#include <cstddef>

#include "platform/gui_dialogs.h"
#include "platform/win32/file_dialog_flags.h"

namespace platform {

namespace {

// The OPENFILENAME layout of Windows 95 and NT 4 (without the fields added later): 76 bytes
// in a 32-bit program, 136 in a 64-bit one.
// (The value of OPENFILENAME_SIZE_VERSION_400A, whose macro is no constant expression.)
constexpr DWORD kOpenFileNameSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
static_assert(kOpenFileNameSize == (sizeof(void*) == 4 ? 76 : 136));

// Moves the window so that its outer rectangle is centred over `over` (screen coordinates).
void CentreOver(HWND window, const RECT& over) {
  RECT own;
  if (!GetWindowRect(window, &own)) return;
  int width = own.right - own.left;
  int height = own.bottom - own.top;
  POINT corner{over.left + (over.right - over.left) / 2 - width / 2,
               over.top + (over.bottom - over.top) / 2 - height / 2};
  // A child window is placed in its parent's client coordinates.
  HWND parent = GetParent(window);
  if (parent && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) ScreenToClient(parent, &corner);
  MoveWindow(window, corner.x, corner.y, width, height, TRUE);
}

// The file dialog's hook: centres its child dialog over the file dialog at
// start, and the file dialog itself on the screen once it is laid out.
UINT_PTR CALLBACK CentringHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    RECT parent;
    if (GetParent(dialog) && GetWindowRect(GetParent(dialog), &parent)) CentreOver(dialog, parent);
    return 1;
  }
  if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetParent(dialog)) CentreOver(GetParent(dialog), screen);
    return 1;
  }
  return 0;
}

}  // namespace

uint32_t win32::NativeFileDialogFlags(const FileDialogRequest& request) {
  uint32_t flags = request.flags;
  if (request.save) {
    // A save dialog that honoured "file must exist" would refuse a new name; "path must
    // exist" stays whenever the caller asked for either.
    if (flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) flags |= OFN_PATHMUSTEXIST;
    flags &= ~uint32_t(OFN_FILEMUSTEXIST);
  }
  return flags;
}

bool RunFileDialog(FileDialogRequest* request) {
  if (!request || !request->path) return false;
  OPENFILENAMEA dialog{};
  dialog.lStructSize = kOpenFileNameSize;
  dialog.hwndOwner = static_cast<HWND>(request->owner);
  dialog.lpstrFilter = request->filter;
  dialog.lpstrFile = request->path;
  dialog.nMaxFile = kFileDialogPathSize;
  dialog.lpstrTitle = request->title;
  dialog.Flags = win32::NativeFileDialogFlags(*request);
  dialog.lpstrDefExt = request->defaultExtension;
  if (request->flags & kFileEnableHook) dialog.lpfnHook = &CentringHook;
  BOOL chosen = request->save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (chosen == 1) return true;
  // A cancel and an error look the same to the caller.
  CommDlgExtendedError();
  return false;
}

int ShowMessageBox(void* owner, const char* text, const char* title, uint32_t flags) {
  if (!text || !title) return 0;
  return MessageBoxA(static_cast<HWND>(owner), text, title, flags);
}

}  // namespace platform
