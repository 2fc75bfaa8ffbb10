#!/usr/bin/env bash
# A malformed scene: the "XML Error" box with expat's message and line, then
# the page is still written, without buttons.
. "$(dirname "$0")/../lib.sh"
start_display
make_program_folder "$KRN_DATA_E2E/plain.html"
cp "$KRN_DATA_E2E/broken.krn" "$WORK/broken.krn"
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.3
click_in "$win" 200 12
answer_file_dialog "Select KRN/KRQ File" "$WORK/broken.krn"
box=$(wait_window "XML Error")
sleep 0.3
screenshot xml-error
text=$("$KRN_XPROBE" text "$box" _KRN_MESSAGE_TEXT) || fail "the message box carries no text"
[ "$text" = "Parse Error: mismatched tag at line 4" ] || fail "message is \"$text\""
window_geometry "$box"
pointer_to $((X + W / 2)) $((Y + 10))
xdotool key Return
wait_id_gone "$box"
answer_file_dialog "Saving HTML File (HTML)" "$WORK/broken.html"
wait_file "$WORK/broken.html"
if grep -q "<input" "$WORK/broken.html"; then fail "the page of a broken scene has buttons"; fi
grep -q 'data="broken.krn"' "$WORK/broken.html" || fail "the page does not name its scene"
expect_dialogs_by desktop
"$KRN_XPROBE" close "$win"
expect_exit 0
echo "PASS [$CASE]"
