// Headless top-level windows: geometry, state, focus and painting.
#include <algorithm>

#include "platform/gui_window.h"
#include "platform/headless/headless_state.h"
#include "platform/headless/headless_surface.h"

namespace headless {

DesktopState& State() {
  static DesktopState state;
  return state;
}

Window* AsWindow(const void* handle) {
  if (!handle) return nullptr;
  for (Window* window : State().windows) {
    if (window == handle) return window;
  }
  return nullptr;
}

Window* TopLevelOf(Window* window) {
  while (window && window->isControl) window = window->owner;
  return window;
}

platform::Rect InsetsForStyle(uint32_t style) {
  if ((style & platform::kStyleCaption) == platform::kStyleCaption) {
    return {kBorderInset, kBorderInset + kCaptionHeight, kBorderInset, kBorderInset};
  }
  if (style & platform::kStyleBorder) return {kThinBorder, kThinBorder, kThinBorder, kThinBorder};
  return {0, 0, 0, 0};
}

void ClientOrigin(const Window* window, int* x, int* y) {
  if (window->isControl) {
    ClientOrigin(window->owner, x, y);
    *x += window->rect.left;
    *y += window->rect.top;
    return;
  }
  platform::Rect insets = InsetsForStyle(window->style);
  *x = window->rect.left + insets.left;
  *y = window->rect.top + insets.top;
}

namespace {

// Client size of a window: its rectangle less the frame (controls have none).
void ClientSize(const Window* window, int* width, int* height) {
  platform::Rect insets =
      window->isControl ? platform::Rect{0, 0, 0, 0} : InsetsForStyle(window->style);
  *width = std::max(0, window->rect.right - window->rect.left - insets.left - insets.right);
  *height = std::max(0, window->rect.bottom - window->rect.top - insets.top - insets.bottom);
}

void Unite(Window* window, const platform::Rect& rect) {
  if (rect.left >= rect.right || rect.top >= rect.bottom) return;
  if (!window->hasUpdate) {
    window->update = rect;
    window->hasUpdate = true;
    return;
  }
  window->update.left = std::min(window->update.left, rect.left);
  window->update.top = std::min(window->update.top, rect.top);
  window->update.right = std::max(window->update.right, rect.right);
  window->update.bottom = std::max(window->update.bottom, rect.bottom);
}

bool IsInside(const Window* window, const Window* ancestor) {
  for (const Window* w = window; w; w = w->owner) {
    if (w == ancestor) return true;
  }
  return false;
}

}  // namespace

void DestroySilently(Window* window) {
  DesktopState& state = State();
  // Owned windows and controls first, newest first.
  for (;;) {
    Window* child = nullptr;
    for (Window* candidate : state.windows) {
      if (candidate->owner == window) child = candidate;
    }
    if (!child) break;
    DestroySilently(child);
  }
  if (state.focus == window) state.focus = nullptr;
  if (state.foreground == window) state.foreground = nullptr;
  std::erase_if(state.queue, [window](const QueuedInput& item) {
    return item.target == window || item.control == window;
  });
  std::erase(state.windows, window);
  if (window->surface) DestroySurface(window->surface);
  delete window;
}

intptr_t Deliver(platform::PlatformEvent* event) {
  DesktopState& state = State();
  if (!state.handler) return 0;
  state.counters.eventsDelivered++;
  return state.handler(event);
}

void PaintIfNeeded(Window* window) {
  if (!window || !window->visible || !window->hasUpdate) return;
  platform::PlatformEvent event{};
  event.window = window;
  event.code = platform::kEventPaint;
  event.rawMessage = 0x000F;  // WM_PAINT
  FillModifiers(&event);
  Deliver(&event);
  // The default handling validates whatever the handler did not paint.
  if (Window* live = AsWindow(window)) live->hasUpdate = false;
}

}  // namespace headless

namespace platform {

using headless::AsWindow;
using headless::State;
using headless::Window;

void* CreateFrameWindow(void* owner, uint32_t style) {
  if (owner && !AsWindow(owner)) return nullptr;
  Window* window = new Window;
  window->owner = static_cast<Window*>(owner);
  window->style = style & ~kStyleVisible;
  window->surface = headless::CreateSurface(window, 0, 0);
  State().windows.push_back(window);
  return window;
}

bool DestroyNativeWindow(void* handle) {
  Window* window = AsWindow(handle);
  if (!window) return false;
  if (window->destroying) return true;
  window->destroying = true;
  // Owned top-level windows go first, each with its own destroy notice.
  for (;;) {
    Window* ownedWindow = nullptr;
    for (Window* candidate : State().windows) {
      if (!candidate->isControl && candidate->owner == window && !candidate->destroying) {
        ownedWindow = candidate;
      }
    }
    if (!ownedWindow) break;
    DestroyNativeWindow(ownedWindow);
  }
  if (!window->isControl) {
    // Windows sends WM_DESTROY, which the toolkit reads as a close request.
    PlatformEvent event{};
    event.window = window;
    event.code = kEventCloseRequest;
    event.rawMessage = 0x0002;  // WM_DESTROY
    headless::FillModifiers(&event);
    headless::Deliver(&event);
  }
  if (AsWindow(window)) headless::DestroySilently(window);
  return true;
}

bool IsNativeWindow(void* handle) {
  return AsWindow(handle) != nullptr;
}

uint32_t GetNativeWindowStyle(void* handle) {
  Window* window = AsWindow(handle);
  if (!window) return 0;
  return window->style | (window->visible ? kStyleVisible : 0);
}

bool GetOuterRect(void* handle, Rect* rect) {
  Window* window = AsWindow(handle);
  if (!window || !rect) return false;
  if (window->isControl) {
    int x = 0, y = 0;
    headless::ClientOrigin(window->owner, &x, &y);
    *rect = {window->rect.left + x, window->rect.top + y, window->rect.right + x,
             window->rect.bottom + y};
  } else {
    *rect = window->rect;
  }
  return true;
}

bool GetClientArea(void* handle, Rect* rect) {
  Window* window = AsWindow(handle);
  if (!window || !rect) return false;
  int width = 0, height = 0;
  headless::ClientSize(window, &width, &height);
  *rect = {0, 0, width, height};
  return true;
}

bool ClientToScreenPoint(void* handle, int* x, int* y) {
  Window* window = AsWindow(handle);
  if (!window || !x || !y) return false;
  int originX = 0, originY = 0;
  headless::ClientOrigin(window, &originX, &originY);
  *x += originX;
  *y += originY;
  return true;
}

bool ScreenToClientPoint(void* handle, int* x, int* y) {
  Window* window = AsWindow(handle);
  if (!window || !x || !y) return false;
  int originX = 0, originY = 0;
  headless::ClientOrigin(window, &originX, &originY);
  *x -= originX;
  *y -= originY;
  return true;
}

bool MoveNativeWindow(void* handle, int x, int y, int width, int height, bool repaint) {
  Window* window = AsWindow(handle);
  if (!window) return false;
  window->rect = {x, y, x + std::max(0, width), y + std::max(0, height)};
  if (!window->isControl) {
    int clientWidth = 0, clientHeight = 0;
    headless::ClientSize(window, &clientWidth, &clientHeight);
    if (window->surface) headless::ResizeSurface(window->surface, clientWidth, clientHeight);
    if (repaint) InvalidateNativeWindow(window, nullptr, true);
  }
  return true;
}

bool AdjustRectForStyle(uint32_t style, Rect* rect) {
  if (!rect) return false;
  Rect insets = headless::InsetsForStyle(style);
  rect->left -= insets.left;
  rect->top -= insets.top;
  rect->right += insets.right;
  rect->bottom += insets.bottom;
  return true;
}

bool SetNativeWindowTitle(void* handle, const char* title) {
  Window* window = AsWindow(handle);
  if (!window) return false;
  window->text = title ? title : "";
  return true;
}

bool ShowNativeWindow(void* handle, bool show) {
  Window* window = AsWindow(handle);
  if (!window) return false;
  window->visible = show;
  if (!show) {
    Window* focus = State().focus;
    if (focus && headless::IsInside(focus, window)) State().focus = nullptr;
  }
  return true;
}

bool IsNativeWindowVisible(void* handle) {
  Window* window = AsWindow(handle);
  return window && window->visible;
}

bool UpdateNativeWindow(void* handle) {
  Window* window = AsWindow(handle);
  if (!window) return false;
  if (!window->isControl) headless::PaintIfNeeded(window);
  return true;
}

bool BringToForeground(void* handle) {
  Window* window = AsWindow(handle);
  if (!window) return false;
  Window* top = headless::TopLevelOf(window);
  State().foreground = top;
  Window* focus = State().focus;
  if (!focus || !headless::IsInside(focus, top)) State().focus = top;
  return true;
}

void* GetFocusedWindow() {
  return State().focus;
}

bool FocusNativeWindow(void* handle) {
  Window* window = AsWindow(handle);
  if (!window || !window->enabled) return false;
  State().focus = window;
  return true;
}

bool EnableNativeWindow(void* handle, bool enable) {
  Window* window = AsWindow(handle);
  if (!window) return false;
  window->enabled = enable;
  if (!enable && State().focus == window) State().focus = nullptr;
  return true;
}

bool IsNativeWindowEnabled(void* handle) {
  Window* window = AsWindow(handle);
  return window && window->enabled;
}

bool InvalidateNativeWindow(void* handle, const Rect* rect, bool /*erase*/) {
  Window* window = AsWindow(handle);
  if (!window) return false;
  if (window->isControl) return true;  // controls paint themselves
  Rect client{};
  GetClientArea(window, &client);
  Rect area = rect ? *rect : client;
  area.left = std::max(area.left, client.left);
  area.top = std::max(area.top, client.top);
  area.right = std::min(area.right, client.right);
  area.bottom = std::min(area.bottom, client.bottom);
  headless::Unite(window, area);
  return true;
}

bool GetUpdateBounds(void* handle, Rect* bounds) {
  Window* window = AsWindow(handle);
  if (!window || !window->hasUpdate) return false;
  if (bounds) *bounds = window->update;
  return true;
}

void* BeginNativePaint(void* handle, Rect* paintRect) {
  Window* window = AsWindow(handle);
  if (!window || window->isControl) return nullptr;
  Rect area{};
  if (window->hasUpdate) {
    area = window->update;
  }
  window->hasUpdate = false;
  if (paintRect) *paintRect = area;
  return window->surface;
}

void EndNativePaint(void* /*handle*/, void* /*deviceContext*/) {}

bool AcceptDroppedFiles(void* handle, bool accept) {
  Window* window = AsWindow(handle);
  if (!window) return false;
  window->acceptsDrops = accept;
  return true;
}

}  // namespace platform
