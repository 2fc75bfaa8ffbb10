#!/usr/bin/env bash
# The main window: exact title, the outer size the layout asks for with a
# field-less template (481 x 75), centred on the screen.
. "$(dirname "$0")/../lib.sh"
start_display
make_program_folder "$KRN_DATA_E2E/plain.html"
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.5
window_geometry "$win"
[ "$W" -eq 481 ] && [ "$H" -eq 75 ] || fail "window is ${W}x${H}, expected 481x75"
# No window manager: the outer rectangle is the client area. The window is
# centred while it still has its first size (400 x 100, so 512 - 200 and
# 384 - 50); the layout then sizes it from that top-left corner.
[ "$X" -eq 312 ] && [ "$Y" -eq 334 ] || fail "window at $X,$Y, expected 312,334"
screenshot main-window
x_probe=$KRN_XPROBE
"$x_probe" close "$win" || fail "cannot ask the window to close"
expect_exit 0
echo "PASS [$CASE]"
