#!/usr/bin/env bash
# The main window: its title, its frame style, its outer size from the layout
# rule (a = 150 for field names of up to 11 characters) and its centred place.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/fields.html"
start_program
win=$(wait_handle "$MAIN_TITLE")
sleep 0.5
window_info "$win"
# Kind 4 (caption, system menu, minimise and maximise boxes), shown.
[ $((STYLE & 0xFFFF0000)) -eq $((0x96CB0000)) ] || fail "style is $STYLE"
# Two fields (TITLE, AUTHOR): outer 150 + 331 = 481 wide, 25 * 2 + 75 = 125 high.
[ $((RIGHT - LEFT)) -eq 481 ] && [ $((BOTTOM - TOP)) -eq 125 ] ||
  fail "outer size is $((RIGHT - LEFT))x$((BOTTOM - TOP)), expected 481x125"
# Created with a 400 x 100 client area and centred on the screen with integer
# halves; the layout then keeps the client area's top-left corner as the new
# outer corner, so the window moves by the left and top frame widths.
fw=$((RIGHT - LEFT - CLIENT_W)); fh=$((BOTTOM - TOP - CLIENT_H))
left0=$((SCREEN_W / 2 - (400 + fw) / 2)); top0=$((SCREEN_H / 2 - (100 + fh) / 2))
[ "$LEFT" -eq $((left0 + fw / 2)) ] && [ "$TOP" -eq $((top0 + fh - fw / 2)) ] ||
  fail "window at $LEFT,$TOP; expected $((left0 + fw / 2)),$((top0 + fh - fw / 2))"
xid=$(wait_xid "$MAIN_TITLE")
[ -n "$xid" ] || fail "no X window for the main window"
probe close "$win" >/dev/null
expect_exit 0
echo "PASS [$CASE]"
