// The menu widget through the headless desktop: colours per state, painting
// into the recorded operations and the RGB buffer, the pop-up list's
// placement, hover, the quick-click advance and disabled presses.
#include "ui/menu_widget.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gui_input.h"
#include "platform/gui_window.h"
#include "platform/headless/headless_desktop.h"
#include "platform/headless/headless_surface.h"
#include "ui/draw_context.h"
#include "ui/toolkit_runtime.h"
#include "ui/toolkit_window.h"
#include "ui/window_registry.h"

namespace {

using headless::DrawOp;
using headless::DrawOpKind;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kPressedFace = 0xBFBFBF;  // (128 + 255) / 2 = 191
constexpr int kLineHeight = 11;              // 8 points at 96 dpi

class MenuWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ToolkitStart(nullptr, false)) << "toolkit did not start";
    headless::ResetDesktop();
    ASSERT_TRUE(AcquireWindowRegistry());
    host = CreateToolkitWindow(nullptr, 0, 0, 400, 100, 4);  // the main window's frame
    ASSERT_NE(host, nullptr) << "host window";
    surface = headless::FindSurface(host);
    ASSERT_NE(surface, nullptr) << "host has a surface";
    widget = new MenuWidget;
    widget->kind = kWidgetMenu;
    widget->host = host;
    widget->bounds = {10, 10, 170, 30};
    ASSERT_TRUE(widget->SetItemCount(3));
    ASSERT_TRUE(widget->SetItem(0, "Alpha.html", true));
    ASSERT_TRUE(widget->SetItem(1, "Beta.html", true));
    ASSERT_TRUE(widget->SetItem(2, "Gamma.html", true));
  }
  void TearDown() override {
    delete widget;
    DestroyToolkitWindow(host);
    ReleaseWindowRegistry();
    EXPECT_EQ(GetWindowRegistry(), nullptr) << "the widget gave back its registry use";
    EXPECT_EQ(headless::OutstandingDrawContexts(), 0) << "a device context was not given back";
    ToolkitContext* context = GetToolkitContext();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->bytesInUse, 0) << "toolkit allocator still holds bytes";
    ToolkitStop();
  }

  // Screen position of a host client point.
  std::pair<int, int> Screen(int x, int y) const {
    platform::Rect client = headless::ClientRect(host);
    return {client.left + x, client.top + y};
  }

  // Presses the primary button at a host client point without releasing it.
  void PressAt(int x, int y) {
    auto [sx, sy] = Screen(x, y);
    headless::SetPointer(sx, sy);
    headless::SetButton(0, true);
  }

  std::vector<DrawOp> Ops(headless::Surface* s, DrawOpKind kind) const {
    std::vector<DrawOp> out;
    for (const DrawOp& op : headless::SurfaceOps(s)) {
      if (op.kind == kind) out.push_back(op);
    }
    return out;
  }

  void* host = nullptr;
  headless::Surface* surface = nullptr;
  MenuWidget* widget = nullptr;
};

TEST(WidgetColoursTest, ColoursPerState) {
  WidgetColours c = ColoursForState(kWidgetMenu, kStateNormal, 0x808080);
  EXPECT_EQ(c.face, 0x808080u);
  EXPECT_EQ(c.ink, 0x303030u) << "normal ink x * 3 / 8";
  c = ColoursForState(kWidgetMenu, kStateHighlighted, 0x808080);
  EXPECT_EQ(c.face, 0xDFDFDFu) << "(128 + 765) / 4 = 223";
  EXPECT_EQ(c.ink, 0u) << "highlighted ink is black";
  c = ColoursForState(kWidgetMenu, kStatePressed, 0x808080);
  EXPECT_EQ(c.face, kPressedFace) << "(128 + 255) / 2 = 191";
  EXPECT_EQ(c.ink, kWhite) << "pressed ink is white";
  c = ColoursForState(kWidgetButtonAlt, kStatePressed, 0x808080);
  EXPECT_EQ(c.ink, 0u) << "kinds 3 and 4 press with dark text";
  c = ColoursForState(kWidgetMenu, kStateDisabled, 0x808080);
  EXPECT_EQ(c.face, 0x606060u) << "x * 3 / 4";
  EXPECT_EQ(c.ink, 0x585858u) << "x * 176 / 256";
  c = ColoursForState(kWidgetMenu, kStateNormal, 0xFF4010);
  EXPECT_EQ(c.ink, 0x5F1806u) << "channels computed separately";
}

TEST_F(MenuWidgetTest, DefaultsAndItems) {
  MenuWidget fresh;
  EXPECT_EQ(fresh.kind, 0);
  EXPECT_EQ(fresh.colour, 0x808080u);
  EXPECT_EQ(fresh.state, kStateNormal);
  EXPECT_EQ(fresh.valueSlot, &fresh.value);
  EXPECT_FLOAT_EQ(fresh.maximum, 100.0f);
  EXPECT_FLOAT_EQ(fresh.step, 0.5f);
  EXPECT_EQ(fresh.swatchColour, 0xFFFFFFFFu);
  EXPECT_EQ(fresh.label, nullptr);
  EXPECT_TRUE(fresh.autoRepaint);
  EXPECT_EQ(fresh.itemTexts.flags & ToolkitArray::kGrowthStepMask, 16u) << "text list step";

  EXPECT_STREQ(widget->GetItem(1), "Beta.html");
  EXPECT_FALSE(widget->SetItem(3, "x", true)) << "index past the count";
  EXPECT_EQ(widget->GetItem(3), nullptr);
  int32_t before = GetToolkitContext()->bytesInUse;
  ASSERT_TRUE(widget->SetItemCount(1));
  EXPECT_LT(GetToolkitContext()->bytesInUse, before) << "shrinking frees the cut texts";
  EXPECT_EQ(widget->ItemCount(), 1u);
  ASSERT_TRUE(widget->SetItemCount(2));
  EXPECT_EQ(widget->GetItem(1), nullptr) << "a regrown item starts empty";
  EXPECT_FALSE(widget->IsItemEnabled(1));
  EXPECT_STREQ(widget->GetItem(0), "Alpha.html");

  EXPECT_TRUE(widget->SetLabel("Template", nullptr, widget->bounds));
  EXPECT_FALSE(widget->SetLabel("Template", nullptr, widget->bounds)) << "equal label unchanged";
  EXPECT_TRUE(widget->SetLabel(nullptr, nullptr, widget->bounds));
  EXPECT_EQ(widget->label, nullptr);

  EXPECT_TRUE(widget->SetIndex(1, nullptr, widget->bounds));
  EXPECT_FALSE(widget->SetIndex(1, nullptr, widget->bounds)) << "same index unchanged";
  EXPECT_FLOAT_EQ(widget->value, 1.0f);
}

TEST_F(MenuWidgetTest, PressedLookInOpsAndPixels) {
  widget->value = 1;
  headless::ClearSurfaceOps(surface);
  ASSERT_TRUE(widget->SetState(kStatePressed, surface, widget->bounds));
  auto fills = Ops(surface, DrawOpKind::kFillRect);
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills[0].colour, kPressedFace) << "pressed face fills the box";
  EXPECT_EQ(fills[0].left, 10);
  EXPECT_EQ(fills[0].bottom, 30);

  auto texts = Ops(surface, DrawOpKind::kText);
  ASSERT_EQ(texts.size(), 1u) << "only the selected item's text";
  EXPECT_EQ(texts[0].text, "Beta.html");
  EXPECT_EQ(texts[0].colour, kWhite) << "pressed text is white";
  EXPECT_EQ(texts[0].fontFace, "Arial");
  EXPECT_EQ(texts[0].fontWeight, 180);
  EXPECT_EQ(texts[0].fontHeight, -kLineHeight);
  EXPECT_EQ(texts[0].left, 17) << "bevelled text rectangle: left + 7";
  EXPECT_EQ(texts[0].top, 13) << "top + 1 + 2";
  EXPECT_EQ(texts[0].right, 163) << "right - 7";
  EXPECT_EQ(texts[0].bottom, 29) << "bottom - 1";
  EXPECT_EQ(texts[0].flags & platform::kTextRight, 0u) << "left-aligned without a label";

  auto lines = Ops(surface, DrawOpKind::kLine);
  ASSERT_EQ(lines.size(), 4u) << "two bevel edges of two lines each";
  EXPECT_EQ(lines[0].penWidth, 2);
  EXPECT_EQ(lines[0].colour, 0xCFCFCFu) << "light edge (3 x 191 + 255) / 4";
  EXPECT_EQ(lines[0].left, 11);
  EXPECT_EQ(lines[0].top, 29) << "from the inner bottom";
  EXPECT_EQ(lines[1].right, 169);
  EXPECT_EQ(lines[1].bottom, 11) << "along the inner top";
  EXPECT_EQ(lines[2].colour, 0xA7A7A7u) << "dark edge 191 x 225 / 256";
  EXPECT_EQ(lines[3].bottom, 28) << "along inner bottom - 1";

  // The buffer: face between the glyphs, white glyph pixels of "B".
  EXPECT_EQ(headless::SurfacePixel(surface, 100, 24), kPressedFace) << "face pixel";
  EXPECT_EQ(headless::SurfacePixel(surface, 19, 18), kWhite) << "glyph of 'B' in white";
  EXPECT_EQ(headless::SurfacePixel(surface, 169, 20), 0xA7A7A7u) << "dark right edge";

  size_t count = headless::SurfaceOps(surface).size();
  EXPECT_FALSE(widget->SetState(kStatePressed, surface, widget->bounds))
      << "state 2 on a pressed widget reports no change";
  EXPECT_EQ(headless::SurfaceOps(surface).size(), count) << "and does not repaint";
}

TEST_F(MenuWidgetTest, LabelDisabledAndFlat) {
  widget->value = 0;
  widget->SetLabel("Template:", nullptr, widget->bounds);
  widget->Paint(surface, widget->bounds);
  auto texts = Ops(surface, DrawOpKind::kText);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "Alpha.html");
  EXPECT_NE(texts[0].flags & platform::kTextRight, 0u) << "item right-aligned beside a label";
  EXPECT_EQ(texts[1].text, "Template:");
  EXPECT_EQ(texts[1].fontWeight, 500) << "label weight 0.5";
  EXPECT_EQ(texts[1].flags & platform::kTextRight, 0u) << "label left-aligned";
  EXPECT_EQ(texts[1].colour, 0x303030u) << "normal ink";

  headless::ClearSurfaceOps(surface);
  widget->SetLabel(nullptr, nullptr, widget->bounds);
  widget->state = kStateDisabled;
  widget->Paint(surface, widget->bounds);
  EXPECT_TRUE(Ops(surface, DrawOpKind::kText).empty()) << "disabled shows no item";
  auto lines = Ops(surface, DrawOpKind::kLine);
  ASSERT_EQ(lines.size(), 4u) << "outline instead of a bevel";
  EXPECT_EQ(lines[0].penWidth, 1);
  EXPECT_EQ(lines[0].colour, 0x585858u) << "outline in the disabled ink";
  EXPECT_EQ(lines[0].left, 11) << "rectangle shrunk by 1";
  EXPECT_EQ(lines[0].top, 11);
  EXPECT_FALSE(widget->SetState(kStatePressed, nullptr, widget->bounds))
      << "a disabled widget only goes back to normal";
  EXPECT_TRUE(widget->SetState(kStateNormal, nullptr, widget->bounds));

  headless::ClearSurfaceOps(surface);
  widget->flags = kWidgetFlat;
  widget->Paint(surface, widget->bounds);
  EXPECT_TRUE(Ops(surface, DrawOpKind::kLine).empty()) << "flat: no bevel, no outline";
  texts = Ops(surface, DrawOpKind::kText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].left, 17) << "flat keeps the full rectangle";
  EXPECT_EQ(texts[0].top, 12);

  headless::ClearSurfaceOps(surface);
  widget->marker = 1;
  widget->Paint(surface, widget->bounds);
  lines = Ops(surface, DrawOpKind::kLine);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].colour, 0xFF0000u) << "red marker outline";

  widget->Paint(nullptr, widget->bounds);  // a null context paints nothing
}

TEST_F(MenuWidgetTest, QuickClickAdvancesAndWraps) {
  widget->value = 1;
  PressAt(50, 20);
  headless::SetButton(0, false);  // released before the first drag step
  size_t windows = headless::TopLevelWindows().size();
  EXPECT_TRUE(widget->TrackPress()) << "a quick click is a change";
  EXPECT_FLOAT_EQ(widget->value, 2.0f) << "next item";
  EXPECT_EQ(widget->state, kStatePressed) << "the state stays pressed";
  EXPECT_EQ(headless::TopLevelWindows().size(), windows) << "no list opened";
  auto texts = Ops(surface, DrawOpKind::kText);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back().text, "Gamma.html") << "repainted with the new item";

  PressAt(50, 20);
  headless::SetButton(0, false);
  EXPECT_TRUE(widget->TrackPress());
  EXPECT_FLOAT_EQ(widget->value, 0.0f) << "wraps after the last item";
}

TEST_F(MenuWidgetTest, DisabledIgnoresPresses) {
  widget->value = 1;
  widget->state = kStateDisabled;
  PressAt(50, 20);
  headless::ScheduleButton(headless::Now() + 5, 0, false);
  headless::ClearSurfaceOps(surface);
  size_t windows = headless::TopLevelWindows().size();
  EXPECT_FALSE(widget->TrackPress());
  EXPECT_FLOAT_EQ(widget->value, 1.0f);
  EXPECT_EQ(widget->state, kStateDisabled);
  EXPECT_TRUE(headless::SurfaceOps(surface).empty()) << "nothing painted";
  EXPECT_EQ(headless::TopLevelWindows().size(), windows) << "no list opened";

  MenuWidget orphan;  // without a host there is nothing to track
  orphan.kind = kWidgetMenu;
  EXPECT_FALSE(orphan.TrackPress());
}

// What the test saw of the open list.
struct PopupSeen {
  bool open = false;
  uint32_t registered = 0;
  uint32_t style = 0;
  bool visible = false;
  void* window = nullptr;
  platform::Rect outer{};
  platform::Rect client{};
  std::pair<int, int> pointer{};
  std::vector<DrawOp> ops;
};

void LookAtPopup(MenuWidget* widget, PopupSeen* seen) {
  seen->open = widget->popup != nullptr && headless::IsLive(widget->popup);
  if (!seen->open) return;
  seen->window = widget->popup;
  seen->registered = GetWindowCount();
  seen->style = headless::WindowStyle(widget->popup);
  seen->visible = headless::IsVisible(widget->popup);
  seen->outer = headless::OuterRect(widget->popup);
  seen->client = headless::ClientRect(widget->popup);
  seen->pointer = headless::Pointer();
  headless::Surface* s = headless::FindSurface(widget->popup);
  if (s) seen->ops = headless::SurfaceOps(s);
}

TEST_F(MenuWidgetTest, PopupOpensWithSelectedRowUnderPointer) {
  widget->value = 2;
  PressAt(60, 80);
  auto [px, py] = headless::Pointer();
  uint32_t t0 = headless::Now();
  PopupSeen seen;
  headless::ScheduleAction(t0 + 5, [&] { LookAtPopup(widget, &seen); });
  headless::ScheduleButton(t0 + 6, 0, false);
  EXPECT_FALSE(widget->TrackPress()) << "no hover change, no reported change";

  ASSERT_TRUE(seen.open) << "the list was open while the button was held";
  EXPECT_EQ(seen.client.left, px + 10) << "10 px right of the pointer";
  EXPECT_EQ(seen.client.top, py - 50) << "20 x 2 + 10 above the pointer";
  EXPECT_EQ(seen.client.right - seen.client.left, 160);
  EXPECT_EQ(seen.client.bottom - seen.client.top, 60) << "20 px per item";
  EXPECT_EQ(seen.outer.left, seen.client.left) << "frame kind 0 has no border";
  EXPECT_EQ(seen.pointer, std::make_pair(px, py)) << "pointer untouched on screen";

  // Rows: blended colour BlendColour(white, grey, 128) = 191; the selected
  // row highlighted (face 239, black text), the others normal (ink 71).
  std::vector<DrawOp> fills, texts;
  for (const DrawOp& op : seen.ops) {
    if (op.kind == DrawOpKind::kFillRect) fills.push_back(op);
    if (op.kind == DrawOpKind::kText) texts.push_back(op);
  }
  ASSERT_EQ(fills.size(), 3u) << "one box per row";
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(fills[0].colour, 0xBFBFBFu) << "unselected row in the blended grey";
  EXPECT_EQ(fills[0].top, 0);
  EXPECT_EQ(fills[1].top, 20);
  EXPECT_EQ(fills[2].top, 40);
  EXPECT_EQ(fills[2].right, 160);
  EXPECT_EQ(fills[2].colour, 0xEFEFEFu) << "selected row lighter";
  EXPECT_EQ(texts[0].text, "Alpha.html");
  EXPECT_EQ(texts[0].colour, 0x474747u) << "dark grey text";
  EXPECT_EQ(texts[2].text, "Gamma.html");
  EXPECT_EQ(texts[2].colour, 0u) << "black text on the selected row";

  EXPECT_EQ(seen.registered, 0u) << "the list is not registered";
  EXPECT_EQ(seen.style & ~platform::kStyleVisible, 0x86000000u) << "frame kind 0, shown";
  EXPECT_TRUE(seen.visible) << "the list is shown";
  EXPECT_EQ(widget->popup, nullptr) << "the list closes on release";
  EXPECT_FALSE(headless::IsLive(seen.window)) << "and its window is destroyed";
  EXPECT_FLOAT_EQ(widget->value, 2.0f) << "index unchanged";
  EXPECT_EQ(widget->state, kStatePressed);
  EXPECT_EQ(widget->colour, 0x808080u) << "colour restored after painting the list";
}

TEST_F(MenuWidgetTest, PopupKeptOnScreenMovesPointer) {
  headless::SetScreenSize(640, 480);
  widget->value = 0;
  // Press at the host's client origin, then let the pointer sit near the
  // bottom-right corner of the screen when the list opens.
  PressAt(20, 20);
  uint32_t t0 = headless::Now();
  headless::ScheduleMove(t0 + 1, 600, 470);
  PopupSeen seen;
  headless::ScheduleAction(t0 + 4, [&] { LookAtPopup(widget, &seen); });
  headless::ScheduleButton(t0 + 5, 0, false);
  widget->TrackPress();

  ASSERT_TRUE(seen.open);
  EXPECT_EQ(seen.client.right, 640) << "moved left to the screen's edge";
  EXPECT_EQ(seen.client.bottom, 480) << "moved up to the screen's bottom";
  int shift = (470 - 10 + 60) - 480;  // bottom before the move minus the screen height
  EXPECT_EQ(seen.client.top, 460 - shift);
  EXPECT_EQ(seen.pointer, std::make_pair(600, 470 - shift))
      << "pointer moved up by the same amount, x kept";
}

TEST_F(MenuWidgetTest, PopupKeptOnScreenAtTopLeft) {
  widget->value = 2;
  PressAt(5, 5);
  uint32_t t0 = headless::Now();
  headless::ScheduleMove(t0 + 1, 0, 10);
  PopupSeen seen;
  headless::ScheduleAction(t0 + 4, [&] { LookAtPopup(widget, &seen); });
  headless::ScheduleButton(t0 + 5, 0, false);
  widget->TrackPress();
  ASSERT_TRUE(seen.open);
  EXPECT_EQ(seen.client.left, 10);
  EXPECT_EQ(seen.client.top, 0) << "moved down from above the screen";
  EXPECT_EQ(seen.pointer, std::make_pair(0, 10 + 40)) << "pointer moved down by 40";
}

TEST_F(MenuWidgetTest, HoverSelectsAndOutsideKeepsLastItem) {
  widget->value = 0;
  PressAt(60, 20);
  auto [px, py] = headless::Pointer();
  uint32_t t0 = headless::Now();
  // The list's top is py - 10; row 1 spans py + 10 to py + 30.
  headless::ScheduleMove(t0 + 3, px + 20, py + 15);
  PopupSeen afterHover;
  headless::ScheduleAction(t0 + 4, [&] { LookAtPopup(widget, &afterHover); });
  headless::ScheduleMove(t0 + 6, px + 400, py + 300);  // far outside the list
  headless::ScheduleButton(t0 + 9, 0, false);
  EXPECT_TRUE(widget->TrackPress()) << "the hover moved the selection";
  EXPECT_FLOAT_EQ(widget->value, 1.0f) << "outside the list the last item stays chosen";
  ASSERT_TRUE(afterHover.open);
  int highlighted = 0;
  for (const DrawOp& op : afterHover.ops) {
    if (op.kind == DrawOpKind::kText && op.colour == 0 && op.text == "Beta.html") ++highlighted;
  }
  EXPECT_GE(highlighted, 1) << "the list was repainted with Beta highlighted";
  EXPECT_EQ(widget->popup, nullptr);
}

TEST_F(MenuWidgetTest, SilentDragReportsNoChange) {
  widget->value = 0;
  widget->flags = kWidgetDragSilent;
  PressAt(60, 20);
  auto [px, py] = headless::Pointer();
  uint32_t t0 = headless::Now();
  headless::ScheduleMove(t0 + 3, px + 20, py + 35);  // row 2
  headless::ScheduleButton(t0 + 6, 0, false);
  EXPECT_FALSE(widget->TrackPress()) << "flag 0x08: a drag never reports a change";
  EXPECT_FLOAT_EQ(widget->value, 2.0f) << "but the selection still follows";
}

TEST_F(MenuWidgetTest, DisabledItemsAreNotListed) {
  widget->SetItem(1, "Beta.html", false);
  widget->value = 1;  // selected item not listed: item 0 is chosen
  PressAt(60, 20);
  uint32_t t0 = headless::Now();
  PopupSeen seen;
  headless::ScheduleAction(t0 + 4, [&] { LookAtPopup(widget, &seen); });
  headless::ScheduleButton(t0 + 5, 0, false);
  widget->TrackPress();
  ASSERT_TRUE(seen.open);
  EXPECT_EQ(seen.client.bottom - seen.client.top, 40) << "two listed items";
  EXPECT_FLOAT_EQ(widget->value, 0.0f);

  // No listed item at all: the list cannot open and nothing changes.
  widget->SetItem(0, "Alpha.html", false);
  widget->SetItem(2, "Gamma.html", false);
  widget->value = 2;
  PressAt(60, 20);
  headless::ScheduleMove(headless::Now() + 2, 300, 300);
  headless::ScheduleButton(headless::Now() + 5, 0, false);
  EXPECT_TRUE(widget->TrackPress()) << "no list opened: the quick-click rule applies";
  EXPECT_FLOAT_EQ(widget->value, 0.0f) << "2 advances and wraps to 0";
  EXPECT_EQ(widget->popup, nullptr);
}

TEST_F(MenuWidgetTest, SwitchAndButtonKinds) {
  widget->kind = kWidgetSwitch;
  widget->value = 0;
  PressAt(50, 20);
  std::vector<std::string> held;
  headless::ScheduleAction(headless::Now() + 3, [&] {
    for (const DrawOp& op : headless::SurfaceOps(surface)) {
      if (op.kind == DrawOpKind::kText) held.push_back(op.text);
    }
  });
  headless::ScheduleButton(headless::Now() + 4, 0, false);
  EXPECT_TRUE(widget->TrackPress()) << "a switch press toggles";
  EXPECT_FLOAT_EQ(widget->value, 1.0f);
  ASSERT_FALSE(held.empty());
  EXPECT_EQ(held.back(), "Off") << "the value changes on release";
  auto texts = Ops(surface, DrawOpKind::kText);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back().text, "On");
  EXPECT_EQ(widget->state, kStateNormal) << "pressed only while held";
  EXPECT_EQ(widget->popup, nullptr) << "no list for a switch";

  widget->kind = kWidgetButtonAlt;
  widget->SetLabel("Go", nullptr, widget->bounds);
  headless::ClearSurfaceOps(surface);
  PressAt(50, 20);
  headless::ScheduleButton(headless::Now() + 2, 0, false);
  EXPECT_FALSE(widget->TrackPress()) << "a button press changes no value";
  texts = Ops(surface, DrawOpKind::kText);
  ASSERT_EQ(texts.size(), 2u) << "pressed paint and released paint";
  EXPECT_EQ(texts[0].colour, 0u) << "kind 3 pressed: dark text";
  EXPECT_EQ(texts[0].fontFace, "Times");
  EXPECT_TRUE(texts[0].italic);
  EXPECT_EQ(texts[0].fontHeight, -12) << "9 points";

  widget->kind = kWidgetSlider;
  widget->value = 10;
  PressAt(50, 20);
  headless::SetButton(0, false);
  EXPECT_FALSE(widget->TrackPress()) << "sliders are not built";
  EXPECT_FLOAT_EQ(widget->value, 10.0f);
}

TEST_F(MenuWidgetTest, RepaintAndSetValue) {
  widget->value = 0;
  headless::ClearSurfaceOps(surface);
  widget->Repaint();
  auto texts = Ops(surface, DrawOpKind::kText);
  ASSERT_EQ(texts.size(), 1u) << "repaint draws into the host";
  EXPECT_EQ(texts[0].left, widget->bounds.left + 7) << "at the widget's bounds";

  headless::ClearSurfaceOps(surface);
  EXPECT_TRUE(widget->SetValue(2));
  texts = Ops(surface, DrawOpKind::kText);
  ASSERT_EQ(texts.size(), 1u) << "a changed value repaints";
  EXPECT_EQ(texts[0].text, "Gamma.html");
  headless::ClearSurfaceOps(surface);
  EXPECT_FALSE(widget->SetValue(2)) << "the same value is no change";
  EXPECT_TRUE(headless::SurfaceOps(surface).empty()) << "and paints nothing";

  widget->autoRepaint = false;
  widget->SetValue(1);
  EXPECT_TRUE(headless::SurfaceOps(surface).empty()) << "no repaint when switched off";
  EXPECT_FLOAT_EQ(widget->value, 1.0f);

  float elsewhere = 0;
  widget->valueSlot = &elsewhere;
  widget->SetValueRaw(2);
  EXPECT_FLOAT_EQ(elsewhere, 2.0f) << "the value lives where valueSlot points";
  EXPECT_FLOAT_EQ(widget->GetValue(), 2.0f);
  widget->valueSlot = &widget->value;
}

// Allocation hooks that can be told to fail.
bool failAllocations = false;
void* HookAlloc(uint32_t bytes, bool zero) {
  if (failAllocations) return nullptr;
  return zero ? calloc(1, bytes) : malloc(bytes);
}
void HookFree(void* block) {
  free(block);
}
void* HookRealloc(void* block, uint32_t bytes, bool) {
  if (failAllocations) return nullptr;
  return realloc(block, bytes);
}
uint32_t HookSize(void* block) {
  return static_cast<uint32_t>(malloc_usable_size(block));
}

TEST(MenuWidgetMemoryTest, FailedCopiesAreReported) {
  ToolkitOptions options{};
  options.memoryHooks = {HookAlloc, HookFree, HookRealloc, HookSize, true};
  ASSERT_TRUE(ToolkitStart(nullptr, false, &options));
  {
    MenuWidget widget;
    ASSERT_TRUE(widget.SetItemCount(2));
    ASSERT_TRUE(widget.SetItem(0, "kept", true));
    ASSERT_TRUE(widget.SetLabel("old", nullptr, widget.bounds));
    failAllocations = true;
    EXPECT_FALSE(widget.SetItem(0, "lost", true)) << "a failed copy fails SetItem";
    EXPECT_EQ(widget.GetItem(0), nullptr) << "and leaves the item empty";
    EXPECT_FALSE(widget.SetLabel("new", nullptr, widget.bounds)) << "a failed label copy";
    EXPECT_STREQ(widget.label, "old") << "keeps the old label";
    EXPECT_FALSE(widget.SetItemCount(40)) << "lists that cannot grow";
    EXPECT_EQ(widget.ItemCount(), 2u);

    int window = 0;
    headless::Surface* s = headless::CreateSurface(&window, 50, 50);
    DrawContext draw(s);
    EXPECT_FALSE(draw.SetColour(1, 2, 3)) << "no memory for the pen and brush";
    EXPECT_FALSE(draw.FillRectangle({0, 0, 5, 5})) << "no brush, nothing filled";
    failAllocations = false;
    draw.Release();
    headless::DestroySurface(s);
  }
  EXPECT_EQ(GetToolkitContext()->bytesInUse, 0) << "everything given back";
  ToolkitStop();
}

}  // namespace
