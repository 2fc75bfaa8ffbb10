#!/usr/bin/env bash
# A quick click on free space of the window moves the template selector to the
# next template: the window is rebuilt for the new template's fields at the
# same top-left corner, and the choice is remembered.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html" "$KRN_DATA_E2E/fields.html"
printf 'plain.html\r\n' >"$PROGRAM_DIR/Defaults/defaulttemplate.txt"
start_program
win=$(wait_handle "$MAIN_TITLE")
sleep 0.5
window_info "$win"
[ $((BOTTOM - TOP)) -eq 75 ] || fail "the plain template's window is $((BOTTOM - TOP)) high, expected 75"
left0=$LEFT; top0=$TOP
# Free space left of the convert button.
click_in "$MAIN_TITLE" 8 10
wait_handle_gone "$win"
win=$(wait_handle "$MAIN_TITLE")
sleep 0.5
window_info "$win"
[ $((RIGHT - LEFT)) -eq 481 ] && [ $((BOTTOM - TOP)) -eq 125 ] ||
  fail "rebuilt window is $((RIGHT - LEFT))x$((BOTTOM - TOP)), expected 481x125"
[ "$LEFT" -eq "$left0" ] && [ "$TOP" -eq "$top0" ] || fail "rebuilt window moved from $left0,$top0 to $LEFT,$TOP"
[ "$(cat "$PROGRAM_DIR/Defaults/defaulttemplate.txt")" = $'fields.html\r' ] ||
  fail "defaulttemplate.txt holds $(cat -A "$PROGRAM_DIR/Defaults/defaulttemplate.txt")"
probe close "$win" >/dev/null
expect_exit 0
echo "PASS [$CASE]"
