#!/usr/bin/env bash
# A scene that is not well-formed shows the "XML Error" box with the parser's
# message and line; the page is still asked for and written, without buttons.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
cp "$KRN_DATA_E2E/broken.krn" "$WORK/broken.krn"
start_program
win=$(wait_handle "$MAIN_TITLE")
sleep 0.5
click_in "$MAIN_TITLE" 200 12
answer_file_dialog "Select KRN/KRQ File" "$(winpath "$WORK/broken.krn")"
box=$(wait_handle "XML Error")
text=$(probe text "$box") || fail "the message box carries no text"
[ "$text" = "Parse Error: mismatched tag at line 4" ] || fail "message is \"$text\""
xid=$(wait_xid "XML Error")
xdotool windowfocus "$xid"
sleep 0.3
xdotool key Return
wait_handle_gone "$box"
answer_file_dialog "Saving HTML File (HTML)" "$(winpath "$WORK/broken.html")"
wait_file "$WORK/broken.html"
if grep -q "<input" "$WORK/broken.html"; then fail "the page of a broken scene has buttons"; fi
grep -q 'data="broken.krn"' "$WORK/broken.html" || fail "the page does not name its scene"
probe close "$win" >/dev/null
expect_exit 0
echo "PASS [$CASE]"
