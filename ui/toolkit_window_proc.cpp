// ToolkitWindowProc: the one entry point through which every backend hands
// its window events to the toolkit.
#include <cctype>
#include <cstring>

#include "base/path_buffer.h"
#include "platform/gui_controls.h"
#include "platform/gui_window.h"
#include "platform/native_path.h"
#include "ui/toolkit_event.h"
#include "ui/toolkit_runtime.h"
#include "ui/toolkit_window.h"
#include "ui/window_registry.h"

namespace {

constexpr size_t kMaxPathLength = 259;

bool IsMouseCode(int32_t code) {
  return code >= platform::kEventLeftDown && code <= platform::kEventMouseMove;
}

// A command's notification is a double-click when the sending control's class
// says so: BUTTON 5, COMBOBOX or LISTBOX 2, STATIC 1.
bool IsDoubleClickNotification(void* sender, int32_t notification) {
  char name[64] = {};
  if (!sender || !platform::GetControlClassName(sender, name, sizeof name)) return false;
  for (char* c = name; *c; ++c) *c = char(std::toupper(static_cast<unsigned char>(*c)));
  if (std::strcmp(name, "BUTTON") == 0) return notification == 5;
  if (std::strcmp(name, "COMBOBOX") == 0 || std::strcmp(name, "LISTBOX") == 0) {
    return notification == 2;
  }
  if (std::strcmp(name, "STATIC") == 0) return notification == 1;
  return false;
}

ToolkitEvent Translate(const platform::PlatformEvent& in, const WindowRecord& record) {
  ToolkitEvent event{};
  event.window = in.window;
  event.source = in.window;
  event.code = in.code;
  event.userData = record.userData;
  event.x = in.x;
  event.y = in.y;
  event.character = in.character;
  event.key = in.key;
  event.shift = in.shift;
  event.control = in.control;
  event.alt = in.alt;
  event.capsLock = in.capsLock;
  event.commandKey = in.control;
  event.systemKey = in.systemKey;
  event.repeat =
      (in.code == platform::kEventKeyDown || in.code == platform::kEventCharacter) && in.repeat;
  if (IsMouseCode(in.code)) event.doubleClick = in.doubleClick;
  if (in.code == platform::kEventCommand) {
    event.commandId = in.commandId;
    event.notification = in.notification;
    event.doubleClick = IsDoubleClickNotification(in.sender, in.notification);
  }
  event.rawWindow = in.rawWindow;
  event.rawMessage = in.rawMessage;
  event.rawWParam = in.rawWParam;
  event.rawLParam = in.rawLParam;
  return event;
}

// Proposed outer rectangle (screen) -> proposed client rectangle (client
// coordinates); delivered; an accepted answer is written back as an outer rectangle.
uint8_t DeliverSizing(platform::PlatformEvent* in, WindowRecord* record, ToolkitEvent* event) {
  ToolkitRect insets{};
  GetFrameInsets(in->window, &insets);
  ToolkitRect rect = in->sizing;
  ScreenToClientRect(in->window, &rect);
  rect.left += insets.left;
  rect.top += insets.top;
  rect.right -= insets.right;
  rect.bottom -= insets.bottom;
  event->rect = rect;
  uint8_t answer = DeliverEvent(record, event);
  if (answer) {
    rect = event->rect;
    rect.left -= insets.left;
    rect.top -= insets.top;
    rect.right += insets.right;
    rect.bottom += insets.bottom;
    if (platform::IsNativeWindow(in->window)) ClientToScreenRect(in->window, &rect);
    in->sizing = rect;
  }
  return answer;
}

// Delivers paint events while the window has an update region.
uint8_t DeliverPaint(void* window, const ToolkitEvent& base) {
  uint8_t answer = 0;
  ToolkitRect bounds{};
  while (platform::GetUpdateBounds(window, &bounds)) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record || !record->active || record->closing) break;
    ToolkitEvent event = base;
    event.deviceContext = platform::BeginNativePaint(window, &event.rect);
    if (!event.deviceContext) break;
    answer = DeliverEvent(record, &event);
    platform::EndNativePaint(window, event.deviceContext);
  }
  return answer;
}

// Builds the DropInfo (names that do not fit a PathBuffer, and native paths that have no program
// view, stay empty) and delivers it.
uint8_t DeliverDrop(const platform::PlatformEvent& in, WindowRecord* record, ToolkitEvent* event) {
  uint32_t count = in.dropCount > 0 && in.dropNames ? uint32_t(in.dropCount) : 0;
  DropInfo* info = CreateDropInfo(count);
  if (!info) return 0;
  for (uint32_t i = 0; i < count; ++i) {
    const char* name = in.dropNames[i];
    if (name && std::strlen(name) <= kMaxPathLength && !NativePathHasBackslashName(name)) {
      std::memcpy(info->files[i].path, name, std::strlen(name) + 1);
    }
  }
  info->names = count > 0 ? in.dropNames : nullptr;
  event->dropInfo = info;
  uint8_t answer = DeliverEvent(record, event);
  FreeDropInfo(info);
  return answer;
}

}  // namespace

intptr_t ToolkitWindowProc(platform::PlatformEvent* in) {
  if (!in || !GetWindowRegistry()) return 0;
  WindowRecord* record = FindWindowRecord(in->window);
  if (!record || !record->active || record->closing) return 0;
  if (in->displayChanged) RefreshBitsPerPixel();

  ToolkitEvent event = Translate(*in, *record);
  uint8_t answer;
  switch (in->code) {
    case platform::kEventSizing:
      answer = DeliverSizing(in, record, &event);
      break;
    case platform::kEventPaint:
      answer = DeliverPaint(in->window, event);
      break;
    case platform::kEventFilesDropped:
      answer = DeliverDrop(*in, record, &event);
      break;
    default:
      answer = DeliverEvent(record, &event);
      break;
  }
  if (in->code == platform::kEventCloseRequest && answer == 0) DetachWindow(in->window);
  return answer;
}
