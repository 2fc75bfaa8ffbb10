#include "ui/toolkit_window.h"

#include <utility>

#include "platform/gui_input.h"
#include "platform/gui_window.h"
#include "ui/window_registry.h"

namespace {

void Normalise(ToolkitRect* rect) {
  if (rect->left > rect->right) std::swap(rect->left, rect->right);
  if (rect->top > rect->bottom) std::swap(rect->top, rect->bottom);
}

// The client rectangle in screen coordinates.
bool ClientScreenRect(void* window, ToolkitRect* rect) {
  return platform::GetClientArea(window, rect) && ClientToScreenRect(window, rect);
}

}  // namespace

uint32_t FrameKindStyle(int kind) {
  return kind >= 0 && kind <= 6 ? kFrameKindStyles[kind] : 0;
}

void* CreateToolkitWindow(void* parent, int x, int y, int width, int height, int kind) {
  void* window = platform::CreateFrameWindow(parent, FrameKindStyle(kind));
  if (!window) return nullptr;
  MoveWindowTo(window, x, y);
  SetClientSize(window, width, height);
  return window;
}

bool DestroyToolkitWindow(void* window) {
  if (!window) return false;
  if (WindowRecord* record = FindWindowRecord(window)) {
    if (record->disableParent && record->parent) {
      platform::EnableNativeWindow(record->parent, true);
    }
  }
  return platform::DestroyNativeWindow(window);
}

bool GetWindowBounds(void* window, bool outer, ToolkitRect* rect) {
  if (!window || !rect) return false;
  if (!outer) return platform::GetClientArea(window, rect);
  return platform::GetOuterRect(window, rect) && ScreenToClientRect(window, rect);
}

bool ClientToScreenRect(void* window, ToolkitRect* rect) {
  if (!window || !rect) return false;
  if (!platform::ClientToScreenPoint(window, &rect->left, &rect->top) ||
      !platform::ClientToScreenPoint(window, &rect->right, &rect->bottom)) {
    return false;
  }
  Normalise(rect);
  return true;
}

bool ScreenToClientRect(void* window, ToolkitRect* rect) {
  if (!window || !rect) return false;
  if (!platform::ScreenToClientPoint(window, &rect->left, &rect->top) ||
      !platform::ScreenToClientPoint(window, &rect->right, &rect->bottom)) {
    return false;
  }
  Normalise(rect);
  return true;
}

bool MoveWindowTo(void* window, int x, int y) {
  ToolkitRect outer{};
  if (!window || !platform::GetOuterRect(window, &outer)) return false;
  return platform::MoveNativeWindow(window, x, y, outer.right - outer.left,
                                    outer.bottom - outer.top, true);
}

bool SetWindowRect(void* window, const ToolkitRect* rect) {
  if (!window || !rect) return false;
  return platform::MoveNativeWindow(window, rect->left, rect->top, rect->right - rect->left,
                                    rect->bottom - rect->top, true);
}

bool SetClientSize(void* window, int width, int height) {
  ToolkitRect outer{};
  if (!window || !platform::GetOuterRect(window, &outer)) return false;
  ToolkitRect frame{0, 0, 0, 0};
  if (!platform::AdjustRectForStyle(platform::GetNativeWindowStyle(window), &frame)) return false;
  return platform::MoveNativeWindow(window, outer.left, outer.top, width + frame.right - frame.left,
                                    height + frame.bottom - frame.top, true);
}

bool CenterWindow(void* window, void* other) {
  ToolkitRect own{};
  if (!window || !platform::GetOuterRect(window, &own)) return false;
  ToolkitRect over{0, 0, platform::GetScreenWidth(), platform::GetScreenHeight()};
  if (other && !platform::GetOuterRect(other, &over)) return false;
  int width = own.right - own.left;
  int height = own.bottom - own.top;
  int left = over.left + (over.right - over.left) / 2 - width / 2;
  int top = over.top + (over.bottom - over.top) / 2 - height / 2;
  return MoveWindowTo(window, left, top);
}

bool GetFrameInsets(void* window, ToolkitRect* insets) {
  ToolkitRect outer{}, client{};
  if (!window || !insets || !platform::GetOuterRect(window, &outer) ||
      !ClientScreenRect(window, &client)) {
    return false;
  }
  *insets = {client.left - outer.left, client.top - outer.top, outer.right - client.right,
             outer.bottom - client.bottom};
  return true;
}

bool InvalidateAll(void* window) {
  return window && platform::InvalidateNativeWindow(window, nullptr, true);
}

bool ShowToolkitWindow(void* window) {
  return window && platform::ShowNativeWindow(window, true);
}

bool UpdateToolkitWindow(void* window) {
  return window && platform::UpdateNativeWindow(window);
}

bool SetForegroundToolkitWindow(void* window) {
  return window && platform::BringToForeground(window);
}

void* GetFocusWindow() {
  return platform::GetFocusedWindow();
}

bool EnableToolkitWindow(void* window, bool enable) {
  return window && platform::EnableNativeWindow(window, enable);
}

bool IsToolkitWindowEnabled(void* window) {
  return window && platform::IsNativeWindowEnabled(window);
}

bool GetCursorPosition(void* window, int* x, int* y) {
  if (!x || !y || !platform::GetPointerPosition(x, y)) return false;
  return !window || platform::ScreenToClientPoint(window, x, y);
}

bool SetCursorPosition(void* window, int x, int y) {
  if (window && !platform::ClientToScreenPoint(window, &x, &y)) return false;
  return platform::SetPointerPosition(x, y);
}

bool IsMouseButtonDown(int button) {
  return platform::IsMouseButtonDown(button);
}
