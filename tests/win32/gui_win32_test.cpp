// The Win32 GUI backend against real USER32, GDI32 and SHELL32 (under Wine on a
// virtual display): frame windows from dialog templates, message translation,
// the pump, child controls and drawing.
#include <gtest/gtest.h>
#include <windows.h>
// Needs <windows.h> first.
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/drawing.h"
#include "platform/gui_controls.h"
#include "platform/gui_dialogs.h"
#include "platform/gui_events.h"
#include "platform/gui_window.h"
#include "platform/win32/file_dialog_flags.h"
#include "platform/win32/gui_display_dpi.h"

namespace {

constexpr uint32_t kMainStyle = 0x86CB0000;  // frame kind 4

// What the handler saw of one event (names copied out of the backend's buffers).
struct Seen {
  platform::PlatformEvent event;
  std::vector<std::string> names;
};

std::vector<Seen> gSeen;
intptr_t gAnswer = 0;
bool gPaintAsToolkit = false;
platform::Rect gNewSizing{};

intptr_t Record(platform::PlatformEvent* event) {
  Seen seen{*event, {}};
  for (int i = 0; i < event->dropCount; ++i) seen.names.push_back(event->dropNames[i]);
  gSeen.push_back(seen);
  if (event->code == platform::kEventSizing) event->sizing = gNewSizing;
  if (event->code == platform::kEventPaint && gPaintAsToolkit) {
    platform::Rect bounds;
    while (platform::GetUpdateBounds(event->window, &bounds)) {
      platform::Rect paint;
      void* dc = platform::BeginNativePaint(event->window, &paint);
      if (!dc) break;
      platform::EndNativePaint(event->window, dc);
    }
  }
  return gAnswer;
}

class GuiWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    gSeen.clear();
    gAnswer = 0;
    gPaintAsToolkit = false;
    platform::SetEventHandler(&Record);
    window_ = static_cast<HWND>(platform::CreateFrameWindow(nullptr, kMainStyle));
    ASSERT_NE(window_, nullptr)
        << "CreateDialogIndirectParamA refused the template (is there an X display?)";
    platform::MoveNativeWindow(window_, 10, 10, 400, 200, false);
    gSeen.clear();
  }
  void TearDown() override {
    platform::SetEventHandler(nullptr);
    if (IsWindow(window_)) DestroyWindow(window_);
    platform::PumpThreadMessages();
  }

  // Events of one code that the handler saw.
  std::vector<Seen> Of(int32_t code) const {
    std::vector<Seen> found;
    for (const Seen& seen : gSeen) {
      if (seen.event.code == code) found.push_back(seen);
    }
    return found;
  }

  HWND window_ = nullptr;
};

TEST_F(GuiWin32, FrameWindowIsAHiddenDialogWithTheKindsStyle) {
  // The dialog manager may add DS_3DLOOK (a dialog style bit in the low word).
  EXPECT_EQ(platform::GetNativeWindowStyle(window_) & 0xFFFF0000, kMainStyle)
      << "style not taken from the template";
  EXPECT_FALSE(platform::IsNativeWindowVisible(window_)) << "a new frame window must be hidden";
  char className[64] = {};
  GetClassNameA(window_, className, sizeof(className));
  EXPECT_STREQ(className, "#32770") << "not the default dialog class";
  EXPECT_EQ(GetWindowTextLengthA(window_), 0) << "the template carries no title";
  EXPECT_EQ(GetWindow(window_, GW_CHILD), nullptr) << "the template carries no items";
  EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE)),
            GetModuleHandleA(nullptr));

  HWND popup = static_cast<HWND>(platform::CreateFrameWindow(window_, 0x86000000));
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(GetWindow(popup, GW_OWNER), window_) << "owner not passed";
  EXPECT_EQ(platform::GetNativeWindowStyle(popup) & 0xFFFF0000, 0x86000000u);
  DestroyWindow(popup);

  platform::Rect frame{0, 0, 400, 100};
  ASSERT_TRUE(platform::AdjustRectForStyle(kMainStyle, &frame));
  EXPECT_LT(frame.left, 0);
  EXPECT_LT(frame.top, -10) << "a caption must add to the top";
  ASSERT_TRUE(platform::MoveNativeWindow(window_, 20, 30, frame.right - frame.left,
                                         frame.bottom - frame.top, true));
  platform::Rect client;
  ASSERT_TRUE(platform::GetClientArea(window_, &client));
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 100);
  platform::Rect outer;
  ASSERT_TRUE(platform::GetOuterRect(window_, &outer));
  EXPECT_EQ(outer.left, 20);
  EXPECT_EQ(outer.top, 30);
  int x = 0, y = 0;
  ASSERT_TRUE(platform::ClientToScreenPoint(window_, &x, &y));
  EXPECT_EQ(x, 20 - frame.left);
  EXPECT_EQ(y, 30 - frame.top);
  ASSERT_TRUE(platform::ScreenToClientPoint(window_, &x, &y));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);

  ASSERT_TRUE(platform::ShowNativeWindow(window_, true));
  EXPECT_TRUE(platform::IsNativeWindowVisible(window_));
  EXPECT_TRUE(platform::SetNativeWindowTitle(window_, "Title here"));
  char title[32];
  GetWindowTextA(window_, title, sizeof(title));
  EXPECT_STREQ(title, "Title here");
  EXPECT_TRUE(platform::EnableNativeWindow(window_, false));
  EXPECT_FALSE(platform::IsNativeWindowEnabled(window_));
  EXPECT_TRUE(platform::EnableNativeWindow(window_, true));
  EXPECT_TRUE(platform::IsNativeWindowEnabled(window_));
  EXPECT_TRUE(platform::AcceptDroppedFiles(window_, true));
  EXPECT_NE(GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0) << "drops not accepted";

  EXPECT_FALSE(platform::ShowNativeWindow(nullptr, true));
  EXPECT_EQ(platform::GetNativeWindowStyle(nullptr), 0u);
  EXPECT_TRUE(platform::DestroyNativeWindow(window_));
  EXPECT_FALSE(platform::IsNativeWindow(window_));
}

TEST_F(GuiWin32, BringToForegroundMakesTheWindowTheForegroundOne) {
  HWND other = static_cast<HWND>(platform::CreateFrameWindow(nullptr, kMainStyle));
  ASSERT_NE(other, nullptr);
  platform::ShowNativeWindow(window_, true);
  platform::ShowNativeWindow(other, true);
  ASSERT_TRUE(platform::BringToForeground(other)) << "SetForegroundWindow failed";
  EXPECT_EQ(GetForegroundWindow(), other);
  ASSERT_TRUE(platform::BringToForeground(window_)) << "SetForegroundWindow failed";
  EXPECT_EQ(GetForegroundWindow(), window_) << "the window did not come to the foreground";
  EXPECT_FALSE(platform::BringToForeground(nullptr)) << "a null window must fail";
  DestroyWindow(other);
}

TEST_F(GuiWin32, MouseKeyAndStateMessagesAreTranslated) {
  SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(40, 65000));
  SendMessageA(window_, WM_RBUTTONDBLCLK, MK_CONTROL, MAKELPARAM(3, 4));
  SendMessageA(window_, WM_MOUSEMOVE, 0, MAKELPARAM(7, 8));
  SendMessageA(window_, WM_KEYDOWN, 'A', 1 | (1 << 30));
  SendMessageA(window_, WM_SYSKEYDOWN, VK_F4, 1);
  SendMessageA(window_, WM_CHAR, 0xE9, 1 | (1 << 30));
  SendMessageA(window_, WM_KEYUP, 'A', 1 | (1u << 30) | (1u << 31));
  SendMessageA(window_, WM_ACTIVATE, WA_CLICKACTIVE, 0);
  SendMessageA(window_, WM_ACTIVATE, WA_INACTIVE, 0);
  SendMessageA(window_, WM_SIZE, SIZE_MAXIMIZED, 0);
  SendMessageA(window_, WM_SIZE, SIZE_MINIMIZED, 0);
  SendMessageA(window_, WM_SIZE, SIZE_RESTORED, 0);
  SendMessageA(window_, WM_VSCROLL, 0, 0);
  SendMessageA(window_, WM_USER + 5, 11, 22);

  auto down = Of(platform::kEventLeftDown);
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(down[0].event.x, 40);
  EXPECT_EQ(down[0].event.y, 65000) << "coordinates are unsigned 16-bit words";
  EXPECT_TRUE(down[0].event.shift) << "MK_SHIFT not read";
  EXPECT_FALSE(down[0].event.control);
  EXPECT_FALSE(down[0].event.doubleClick);
  EXPECT_EQ(down[0].event.window, window_);
  EXPECT_EQ(down[0].event.rawMessage, uintptr_t(WM_LBUTTONDOWN));

  auto right = Of(platform::kEventRightDown);
  ASSERT_EQ(right.size(), 1u);
  EXPECT_TRUE(right[0].event.doubleClick) << "a double click must set doubleClick";
  EXPECT_TRUE(right[0].event.control);
  EXPECT_EQ(Of(platform::kEventMouseMove).size(), 1u);

  auto keys = Of(platform::kEventKeyDown);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].event.key, uint32_t('A'));
  EXPECT_EQ(keys[0].event.character, 'A');
  EXPECT_TRUE(keys[0].event.repeat) << "bit 30 is the repeat flag";
  EXPECT_FALSE(keys[0].event.systemKey);
  EXPECT_TRUE(keys[1].event.systemKey) << "WM_SYSKEYDOWN must set systemKey";
  EXPECT_FALSE(keys[1].event.repeat);
  auto chars = Of(platform::kEventCharacter);
  ASSERT_EQ(chars.size(), 1u);
  EXPECT_EQ(chars[0].event.character, int32_t(int8_t(0xE9))) << "low byte, sign-extended";
  auto ups = Of(platform::kEventKeyUp);
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_FALSE(ups[0].event.repeat) << "key-up events clear repeat";

  EXPECT_EQ(Of(platform::kEventActivated).size(), 1u);
  EXPECT_EQ(Of(platform::kEventDeactivated).size(), 1u);
  EXPECT_EQ(Of(platform::kEventMaximised).size(), 1u);
  EXPECT_EQ(Of(platform::kEventMinimised).size(), 1u);
  EXPECT_EQ(Of(platform::kEventRestored).size(), 1u);
  EXPECT_EQ(Of(platform::kEventVerticalScroll).size(), 1u);

  bool sawOther = false;
  for (const Seen& seen : Of(platform::kEventOther)) {
    if (seen.event.rawMessage == WM_USER + 5) {
      sawOther = true;
      EXPECT_EQ(seen.event.rawWParam, 11u);
      EXPECT_EQ(seen.event.rawLParam, 22u);
    }
  }
  EXPECT_TRUE(sawOther) << "an unnamed message must arrive as code 0 with its raw fields";
}

TEST_F(GuiWin32, SizingAnswerIsWrittenBack) {
  RECT proposed{100, 100, 300, 250};
  gNewSizing = {100, 100, 320, 260};
  gAnswer = 0;
  SendMessageA(window_, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
  auto sizing = Of(platform::kEventSizing);
  ASSERT_EQ(sizing.size(), 1u);
  EXPECT_EQ(sizing[0].event.sizing.right, 300) << "proposed rectangle not handed over";
  EXPECT_EQ(proposed.right, 300) << "an answer of 0 must leave the rectangle alone";

  gAnswer = 1;
  SendMessageA(window_, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposed));
  EXPECT_EQ(proposed.right, 320) << "an accepted change was not written back";
  EXPECT_EQ(proposed.bottom, 260);
}

TEST_F(GuiWin32, CloseIsTheHandlersDecisionAndNeverACancelCommand) {
  HWND reset = static_cast<HWND>(platform::CreateChildControl(
      window_, platform::ControlClass::kButton, 0x50810000, {0, 0, 50, 20}, "Reset"));
  ASSERT_NE(reset, nullptr);
  ASSERT_TRUE(platform::SetControlId(reset, 2));  // IDCANCEL's value

  gAnswer = 0;
  SendMessageA(window_, WM_CLOSE, 0, 0);
  platform::PumpWindowMessages(window_, true);
  platform::PumpThreadMessages();
  EXPECT_EQ(Of(platform::kEventCloseRequest).size(), 1u);
  EXPECT_TRUE(Of(platform::kEventCommand).empty())
      << "closing produced a command with id 2, which the main window reads as Reset Defaults";
  EXPECT_TRUE(IsWindow(window_)) << "the backend itself must not destroy the window";

  // Escape through dialog handling would press id 2 as well.
  ShowWindow(window_, SW_SHOW);
  SetFocus(reset);
  PostMessageA(reset, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageA(reset, WM_KEYUP, VK_ESCAPE, 1 | (1u << 30) | (1u << 31));
  platform::PumpWindowMessages(window_, true);
  EXPECT_TRUE(Of(platform::kEventCommand).empty()) << "Escape pressed the control with id 2";

  gSeen.clear();
  DestroyWindow(window_);
  EXPECT_EQ(Of(platform::kEventCloseRequest).size(), 1u)
      << "a window being destroyed must send one close request";
}

TEST_F(GuiWin32, CommandsAndTabNavigationThroughThePump) {
  HWND first = static_cast<HWND>(platform::CreateChildControl(
      window_, platform::ControlClass::kEdit, 0x50810080, {0, 0, 100, 20}, nullptr));
  HWND second = static_cast<HWND>(platform::CreateChildControl(
      window_, platform::ControlClass::kButton, 0x50810000, {0, 30, 100, 50}, "Go"));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  ASSERT_TRUE(platform::SetControlId(second, 7));
  ShowWindow(window_, SW_SHOW);
  ASSERT_TRUE(platform::FocusNativeWindow(first));

  PostMessageA(first, WM_KEYDOWN, VK_TAB, 1);
  platform::PumpWindowMessages(window_, true);
  EXPECT_EQ(GetFocus(), second) << "Tab did not move the focus to the next tab stop";

  SendMessageA(second, BM_CLICK, 0, 0);
  platform::PumpWindowMessages(window_, true);
  auto commands = Of(platform::kEventCommand);
  ASSERT_FALSE(commands.empty()) << "a click reached no handler";
  EXPECT_EQ(commands.back().event.commandId, 7);
  EXPECT_EQ(commands.back().event.notification, 0);
  EXPECT_EQ(commands.back().event.sender, second);

  SendMessageA(window_, WM_COMMAND, MAKEWPARAM(7, BN_DOUBLECLICKED),
               reinterpret_cast<LPARAM>(second));
  EXPECT_EQ(Of(platform::kEventCommand).back().event.notification, 5);

  // Without dialog handling a Tab goes to the control like any key.
  PostMessageA(second, WM_KEYDOWN, VK_TAB, 1);
  platform::PumpWindowMessages(window_, false);
  EXPECT_EQ(GetFocus(), second) << "Tab navigated without dialog handling";
  EXPECT_FALSE(platform::PumpWindowMessages(nullptr, true));
}

TEST_F(GuiWin32, PaintLoopEmptiesTheUpdateRegion) {
  ShowWindow(window_, SW_SHOW);
  platform::PumpThreadMessages();
  gSeen.clear();
  gPaintAsToolkit = true;
  ASSERT_TRUE(platform::InvalidateNativeWindow(window_, nullptr, true));
  platform::Rect bounds;
  EXPECT_TRUE(platform::GetUpdateBounds(window_, &bounds)) << "no update region after invalidate";
  ASSERT_TRUE(platform::UpdateNativeWindow(window_));
  EXPECT_GE(Of(platform::kEventPaint).size(), 1u) << "UpdateWindow delivered no paint event";
  EXPECT_FALSE(platform::GetUpdateBounds(window_, &bounds)) << "painting left an update region";
  EXPECT_FALSE(platform::HasPendingMessages() && GetQueueStatus(QS_PAINT) & QS_PAINT)
      << "a paint is still pending";
}

TEST_F(GuiWin32, DroppedFilesArriveWithTheirPointAndFullNames) {
  std::string longName = "C:\\" + std::string(300, 'd') + ".krn";
  std::string names = std::string("C:\\web\\a.krn") + '\0' + longName + '\0' + '\0';
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
  ASSERT_NE(memory, nullptr);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = {12, 34};
  drop->fWide = FALSE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size());
  GlobalUnlock(memory);

  SendMessageA(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  auto drops = Of(platform::kEventFilesDropped);
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].event.x, 12);
  EXPECT_EQ(drops[0].event.y, 34);
  ASSERT_EQ(drops[0].names.size(), 2u);
  EXPECT_EQ(drops[0].names[0], "C:\\web\\a.krn");
  EXPECT_EQ(drops[0].names[1], longName) << "the backend must hand over long names whole";
}

TEST_F(GuiWin32, WaitReturnsForAMessageOrAtTheTimeout) {
  platform::PumpThreadMessages();
  PostMessageA(window_, WM_USER, 0, 0);
  EXPECT_TRUE(platform::HasPendingMessages());
  // With a message waiting the wait must not block (a hang fails by CTest's timeout).
  platform::WaitForMessages(platform::kWaitForever);
  platform::PumpWindowMessages(window_, true);
  EXPECT_FALSE(platform::HasPendingMessages());
  // With nothing queued a finite wait ends by itself.
  platform::WaitForMessages(20);
  SUCCEED();
}

TEST_F(GuiWin32, PostsFromAnotherThreadWakeTheWaitAndArriveInOrder) {
  platform::PumpThreadMessages();
  gSeen.clear();
  constexpr uintptr_t kCount = 300;
  std::atomic<bool> waiting{false};
  HWND target = window_;
  std::thread poster([&] {
    while (!waiting.load()) std::this_thread::yield();
    for (uintptr_t i = 1; i <= kCount; ++i) {
      EXPECT_TRUE(platform::PostWindowEvent(target, i, i + 1000));
    }
  });
  waiting.store(true);
  // Only the other thread's posts can end this wait (a hang fails by CTest's timeout).
  platform::WaitForMessages(platform::kWaitForever);
  poster.join();
  platform::PumpWindowMessages(window_, true);
  platform::PumpThreadMessages();
  std::vector<Seen> posted = Of(platform::kEventPosted);
  ASSERT_EQ(posted.size(), kCount);
  for (uintptr_t i = 0; i < kCount; ++i) {
    EXPECT_EQ(posted[i].event.window, window_);
    EXPECT_EQ(posted[i].event.rawWParam, i + 1);
    EXPECT_EQ(posted[i].event.rawLParam, i + 1001);
  }
  EXPECT_FALSE(platform::PostWindowEvent(nullptr, 1, 0));
  HWND gone = static_cast<HWND>(platform::CreateFrameWindow(nullptr, kMainStyle));
  ASSERT_NE(gone, nullptr);
  DestroyWindow(gone);
  EXPECT_FALSE(platform::PostWindowEvent(gone, 1, 0)) << "a destroyed window takes no post";
}

TEST_F(GuiWin32, ControlsHoldClassStyleIdAndText) {
  HWND label = static_cast<HWND>(platform::CreateChildControl(
      window_, platform::ControlClass::kStatic, 0x50800100, {5, 6, 105, 30}, "Name"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(uint32_t(GetWindowLongA(label, GWL_STYLE)) & 0xFFFF0FFF, 0x50800100u & 0xFFFF0FFF);
  EXPECT_EQ(GetParent(label), window_);
  RECT r;
  GetWindowRect(label, &r);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 24);
  char name[16];
  ASSERT_TRUE(platform::GetControlClassName(label, name, sizeof(name)));
  EXPECT_STREQ(name, "STATIC");
  EXPECT_FALSE(platform::GetControlClassName(label, name, 6)) << "a cut class name was reported";

  EXPECT_EQ(platform::GetControlId(label), 0);
  EXPECT_TRUE(platform::SetControlId(label, 0)) << "setting id 0 over id 0 is a success";
  EXPECT_TRUE(platform::SetControlId(label, 1002));
  EXPECT_EQ(platform::GetControlId(label), 1002);

  std::string longText(2000, 'x');
  ASSERT_TRUE(platform::SetControlText(label, longText.c_str()));
  EXPECT_EQ(platform::GetControlTextLength(label), 2000);
  char buffer[1024];
  EXPECT_EQ(platform::GetControlText(label, buffer, sizeof(buffer)), 1023);
  EXPECT_EQ(std::strlen(buffer), 1023u) << "the copy must stop at size - 1 with its NUL";
  ASSERT_TRUE(platform::SetControlText(label, nullptr));
  EXPECT_EQ(platform::GetControlTextLength(label), 0);

  HWND edit = static_cast<HWND>(platform::CreateChildControl(window_, platform::ControlClass::kEdit,
                                                             0x50810080, {0, 0, 10, 10}, nullptr));
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(platform::GetControlClassName(edit, name, sizeof(name)));
  EXPECT_STREQ(name, "EDIT");
  EXPECT_NE(GetWindowLongA(edit, GWL_STYLE) & ES_AUTOHSCROLL, 0);
  EXPECT_EQ(platform::CreateChildControl(nullptr, platform::ControlClass::kButton, 0x50810000,
                                         {0, 0, 1, 1}, "x"),
            nullptr);
}

TEST_F(GuiWin32, DrawingObjectsAndText) {
  ShowWindow(window_, SW_SHOW);
  platform::DeviceContext dc = platform::GetWindowDrawContext(window_);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(platform::WindowFromDrawContext(dc), window_);
  EXPECT_GT(platform::GetDrawCaps(dc, platform::kCapsLogPixelsY), 0);

  EXPECT_EQ(platform::CreateDrawPen(7, 1, 0), nullptr) << "an unknown pen style was accepted";
  platform::DrawObject pen = platform::CreateDrawPen(platform::kPenDash, 1, RGB(255, 0, 0));
  platform::DrawObject brush = platform::CreateDrawBrush(RGB(0, 0, 255));
  platform::FontSpec wanted{};
  wanted.height = -12;
  wanted.weight = 500;
  wanted.face = "Arial";
  platform::DrawObject font = platform::CreateDrawFont(wanted);
  ASSERT_NE(pen, nullptr);
  ASSERT_NE(brush, nullptr);
  ASSERT_NE(font, nullptr);
  LOGFONTA logical{};
  ASSERT_GT(GetObjectA(font, sizeof(logical), &logical), 0);
  EXPECT_EQ(logical.lfWeight, 500);
  EXPECT_EQ(logical.lfCharSet, ANSI_CHARSET);
  EXPECT_EQ(logical.lfOutPrecision, OUT_TT_ONLY_PRECIS);
  EXPECT_EQ(logical.lfQuality, PROOF_QUALITY);
  EXPECT_EQ(logical.lfPitchAndFamily & 3, VARIABLE_PITCH);
  EXPECT_STREQ(logical.lfFaceName, "Arial");

  platform::DrawObject oldPen = platform::SelectDrawObject(dc, pen);
  platform::DrawObject oldFont = platform::SelectDrawObject(dc, font);
  EXPECT_NE(oldPen, nullptr);
  EXPECT_TRUE(platform::SetDrawTransparent(dc));
  EXPECT_EQ(GetBkMode(static_cast<HDC>(dc)), TRANSPARENT);
  EXPECT_TRUE(platform::SetDrawTextColour(dc, RGB(1, 2, 3)));
  EXPECT_EQ(GetTextColor(static_cast<HDC>(dc)), RGB(1, 2, 3));
  EXPECT_TRUE(platform::DrawMoveTo(dc, 1, 1));
  EXPECT_TRUE(platform::DrawLineTo(dc, 50, 1));
  EXPECT_TRUE(platform::DrawFillRect(dc, {0, 10, 20, 20}, brush));
  EXPECT_TRUE(platform::DrawEllipse(dc, {30, 10, 60, 40}));

  const char* text = "one two three four five six";
  int fit = 0, width = 0, height = 0;
  ASSERT_TRUE(
      platform::MeasureDrawText(dc, text, int(std::strlen(text)), 40, &fit, &width, &height));
  EXPECT_GT(fit, 0);
  EXPECT_LT(fit, int(std::strlen(text))) << "40 pixels cannot hold the whole text";
  EXPECT_GT(width, 40);
  EXPECT_GT(height, 0);
  EXPECT_GT(platform::DrawTextInRect(dc, text, -1, {0, 0, 60, 100},
                                     platform::kTextWordBreak | platform::kTextNoPrefix),
            height)
      << "word-broken text in a narrow rectangle takes more than one line";

  platform::SelectDrawObject(dc, oldFont);
  platform::SelectDrawObject(dc, oldPen);
  EXPECT_TRUE(platform::DeleteDrawObject(pen));
  EXPECT_TRUE(platform::DeleteDrawObject(brush));
  EXPECT_TRUE(platform::DeleteDrawObject(font));
  EXPECT_EQ(platform::GetStockDrawObject(99), nullptr);
  EXPECT_EQ(platform::GetStockDrawObject(platform::kStockNullBrush), GetStockObject(NULL_BRUSH));
  platform::ReleaseWindowDrawContext(window_, dc);

  platform::DeviceContext screen = platform::GetScreenDrawContext();
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(platform::WindowFromDrawContext(screen), nullptr);
  platform::ReleaseScreenDrawContext(screen);
}

// What the timer saw of the modal file dialog before answering it.
struct DialogVisit {
  const char* title;
  bool ok;  // answer with OK (true) or Cancel (false)
  HWND found;
  RECT outer;
};
DialogVisit gVisit;

void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowA(nullptr, gVisit.title);
  if (!dialog) return;
  KillTimer(nullptr, timer);
  gVisit.found = dialog;
  GetWindowRect(dialog, &gVisit.outer);
  PostMessageA(dialog, WM_COMMAND, gVisit.ok ? IDOK : IDCANCEL, 0);
}

// Runs the dialog while a thread timer finds it by title and answers it.
bool RunAnswered(platform::FileDialogRequest* request, bool ok) {
  gVisit = {request->title, ok, nullptr, {}};
  SetTimer(nullptr, 0, 100, &AnswerDialog);
  return platform::RunFileDialog(request);
}

}  // namespace

TEST_F(GuiWin32, UnitsMapToThePixelsOfAScaledContext) {
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  HDC dc = GetDC(window_);
  ASSERT_NE(dc, nullptr);
  // 200 %: the mapping a window at 192 DPI gets.
  platform::win32::MapUnitsToPixels(dc, 192);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT units{10, 10, 20, 20};
  FillRect(dc, &units, red);
  platform::win32::MapUnitsToPixels(dc, 96);  // leaves the scaled mapping alone
  struct Case {
    int x, y;
    bool red;
    const char* why;
  };
  const Case cases[] = {
      {20, 20, true, "unit 10 starts at pixel 20"}, {39, 39, true, "unit 19 ends at pixel 39"},
      {19, 25, false, "left of the rectangle"},     {40, 25, false, "right is exclusive"},
      {25, 19, false, "above the rectangle"},       {25, 40, false, "bottom is exclusive"},
  };
  SetMapMode(dc, MM_TEXT);
  for (const Case& c : cases) {
    EXPECT_EQ(GetPixel(dc, c.x, c.y) == RGB(255, 0, 0), c.red) << c.why;
  }
  DeleteObject(red);
  ReleaseDC(window_, dc);
}

TEST_F(GuiWin32, MovingToAnotherDpiTakesTheProposedRectangleAndRescalesTheControls) {
  void* edit = platform::CreateChildControl(window_, platform::ControlClass::kEdit,
                                            WS_CHILD | WS_VISIBLE, {10, 10, 110, 30}, "text");
  ASSERT_NE(edit, nullptr);
  HWND control = static_cast<HWND>(edit);
  auto placeInParent = [&] {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  // The message as the system sends it when the window reaches a 200 % monitor.
  RECT proposed{30, 40, 830, 440};
  SendMessageA(window_, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&proposed));
  RECT outer;
  GetWindowRect(window_, &outer);
  EXPECT_EQ(outer.left, 30) << "the window takes the proposed rectangle";
  EXPECT_EQ(outer.top, 40);
  EXPECT_EQ(outer.right, 830);
  EXPECT_EQ(outer.bottom, 440);
  RECT r = placeInParent();
  EXPECT_EQ(r.left, 20) << "the control's rectangle doubles";
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 220);
  EXPECT_EQ(r.bottom, 60);
  HFONT scaled = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  LOGFONTA font{}, stock{};
  ASSERT_NE(scaled, nullptr) << "the control gets a font for its new DPI";
  ASSERT_GT(GetObjectA(scaled, sizeof font, &font), 0);
  ASSERT_GT(GetObjectA(GetStockObject(SYSTEM_FONT), sizeof stock, &stock), 0);
  EXPECT_EQ(font.lfHeight, MulDiv(stock.lfHeight, 192, platform::win32::SystemDpi()));

  // And back to 100 %: the controls' first rectangle and the system font.
  SendMessageA(window_, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&proposed));
  r = placeInParent();
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right, 110);
  EXPECT_EQ(r.bottom, 30);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)),
            GetStockObject(SYSTEM_FONT));
}

TEST(GuiWin32Dpi, RectanglesBetweenUnitsAndPixels) {
  using platform::Rect;
  struct Case {
    Rect units;
    int dpi;
    Rect pixels;
  };
  const Case cases[] = {
      {{151, 25, 347, 50}, 96, {151, 25, 347, 50}},
      {{151, 25, 347, 50}, 144, {227, 38, 521, 75}},
      {{151, 25, 347, 50}, 192, {302, 50, 694, 100}},
  };
  for (const Case& c : cases) {
    Rect pixels = platform::win32::PixelsRect(c.units, c.dpi);
    EXPECT_EQ(pixels.left, c.pixels.left) << c.dpi;
    EXPECT_EQ(pixels.top, c.pixels.top) << c.dpi;
    EXPECT_EQ(pixels.right, c.pixels.right) << c.dpi;
    EXPECT_EQ(pixels.bottom, c.pixels.bottom) << c.dpi;
    Rect back = platform::win32::UnitsRect(pixels, c.dpi);
    EXPECT_EQ(back.left, c.units.left) << "units read back at " << c.dpi;
    EXPECT_EQ(back.top, c.units.top) << c.dpi;
    EXPECT_EQ(back.right, c.units.right) << c.dpi;
    EXPECT_EQ(back.bottom, c.units.bottom) << c.dpi;
  }
  EXPECT_GE(platform::win32::SystemDpi(), 48);
  EXPECT_EQ(platform::win32::WindowDpi(nullptr), platform::win32::SystemDpi())
      << "no window: the system's DPI";
}

TEST(GuiWin32Dialogs, SaveDialogKeepsPathMustExistOnly) {
  struct Case {
    uint32_t requested;
    bool save;
    uint32_t expected;
  } cases[] = {
      {0x81824, true, 0x80824},   // ChooseFile for a page: path must exist, any file name
      {0x81824, false, 0x81824},  // the open dialog keeps both
      {0x80824, true, 0x80824},
      {0x80024, true, 0x80024},  // neither asked for, neither given
  };
  for (const Case& c : cases) {
    platform::FileDialogRequest request{};
    request.flags = c.requested;
    request.save = c.save;
    const uint32_t flags = platform::win32::NativeFileDialogFlags(request);
    EXPECT_EQ(flags, c.expected) << std::hex << c.requested << (c.save ? " save" : " open");
    if (c.save && (c.requested & OFN_PATHMUSTEXIST)) {
      EXPECT_NE(flags & OFN_PATHMUSTEXIST, 0u) << "a page goes into an existing folder";
      EXPECT_EQ(flags & OFN_FILEMUSTEXIST, 0u) << "a page may be a new file";
    }
  }
}

TEST(GuiWin32Dialogs, FileDialogsAreCentredAndAnswerTheirPath) {
  char folder[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
  std::string scene = std::string(folder) + "krn_dialog_test.krn";
  HANDLE file = CreateFileA(scene.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  char path[platform::kFileDialogPathSize] = {};
  std::strcpy(path, scene.c_str());
  const char filter[] = "KRN/KRQ File (*.krn; *.krq)\0 *.krn; *.krq;\0\0";
  platform::FileDialogRequest request{};
  request.title = "Pick a scene";
  request.filter = filter;
  request.path = path;
  request.defaultExtension = "krn";
  request.flags = 0x81824;  // explorer, hook, hide read-only, path and file must exist
  request.save = false;
  EXPECT_TRUE(RunAnswered(&request, true)) << "OK on an existing file must succeed";
  ASSERT_NE(gVisit.found, nullptr) << "no dialog with the request's title appeared";
  EXPECT_EQ(_stricmp(path, scene.c_str()), 0) << "the chosen path was not written back: " << path;
  int width = gVisit.outer.right - gVisit.outer.left;
  int height = gVisit.outer.bottom - gVisit.outer.top;
  EXPECT_EQ(gVisit.outer.left, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2)
      << "the hook did not centre the dialog on the screen";
  EXPECT_EQ(gVisit.outer.top, GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2);

  EXPECT_FALSE(RunAnswered(&request, false)) << "a cancel must report false";
  ASSERT_NE(gVisit.found, nullptr);

  // A save dialog with "file must exist" still accepts a new name.
  std::string fresh = std::string(folder) + "krn_dialog_new_page.html";
  DeleteFileA(fresh.c_str());
  std::strcpy(path, fresh.c_str());
  request.title = "Save a page";
  request.save = true;
  EXPECT_TRUE(RunAnswered(&request, true)) << "the save dialog refused a new name";
  EXPECT_EQ(_stricmp(path, fresh.c_str()), 0) << path;

  EXPECT_FALSE(platform::RunFileDialog(nullptr));
  DeleteFileA(scene.c_str());
}
