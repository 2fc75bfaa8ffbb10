// Windows: ShellExecuteW "open" on the page, which starts the program the user chose for
// .html files. SHELL32 is loaded here, at the first use, so that the command's import table
// names no GUI library.
#include "platform/browser_open.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <new>

namespace {

using ShellExecuteWFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

}  // namespace

bool SysOpenInBrowser(const char* nativePath, char* reason, uint32_t reasonSize) {
  if (reasonSize != 0) reason[0] = '\0';
  if (nativePath == nullptr) return false;
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, nativePath, -1, nullptr, 0);
  std::unique_ptr<wchar_t[]> wide(wideLength > 0 ? new (std::nothrow) wchar_t[wideLength]
                                                 : nullptr);
  if (!wide || MultiByteToWideChar(CP_ACP, 0, nativePath, -1, wide.get(), wideLength) == 0) {
    std::snprintf(reason, reasonSize, "the path cannot be given to the shell");
    return false;
  }
  HMODULE shell = LoadLibraryW(L"shell32.dll");
  const auto execute =
      shell != nullptr
          ? reinterpret_cast<ShellExecuteWFunction>(GetProcAddress(shell, "ShellExecuteW"))
          : nullptr;
  if (execute == nullptr) {
    std::snprintf(reason, reasonSize, "SHELL32 cannot be loaded (error %lu)", GetLastError());
    if (shell != nullptr) FreeLibrary(shell);
    return false;
  }
  // Values above 32 mean success; smaller ones are error codes.
  const INT_PTR result =
      reinterpret_cast<INT_PTR>(execute(nullptr, L"open", wide.get(), nullptr, nullptr, SW_SHOW));
  FreeLibrary(shell);
  if (result > 32) return true;
  std::snprintf(reason, reasonSize, "ShellExecute failed (error %d)", int(result));
  return false;
}
