#!/usr/bin/env bash
# A read-only existing page: the conversion tells "Could not write the page <path>:
# Permission denied" in the program's message box and the page keeps every byte.
. "$(dirname "$0")/../lib.sh"
start_display
make_program_folder "$KRN_DATA_E2E/plain.html"
cp "$KRN_DATA_E2E/scene.krn" "$WORK/scene.krn"
printf 'the old page\r\n' >"$WORK/locked.html"
cp "$WORK/locked.html" "$WORK/expected.html"
chmod 444 "$WORK/locked.html"
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.3
click_in "$win" 200 12
answer_file_dialog "Select KRN/KRQ File" "$WORK/scene.krn"
answer_file_dialog "Saving HTML File (HTML)" "$WORK/locked.html"
box=$(wait_window "Tessaly KRN 2 HTML")
sleep 0.3
screenshot read-only-page
text=$("$KRN_XPROBE" text "$box" _KRN_MESSAGE_TEXT) || fail "the message box carries no text"
want="Could not write the page $WORK/locked.html: Permission denied"
[ "$text" = "$want" ] || fail "message is \"$text\", expected \"$want\""
window_geometry "$box"
pointer_to $((X + W / 2)) $((Y + 10))
xdotool key Return
wait_id_gone "$box"
expect_same_bytes "$WORK/locked.html" "$WORK/expected.html"
[ "$(stat -c %a "$WORK/locked.html")" = 444 ] || fail "the page's permissions changed"
if ls "$WORK"/.~krn*.tmp >/dev/null 2>&1; then fail "a temporary file stayed behind"; fi
"$KRN_XPROBE" close "$win"
expect_exit 0
echo "PASS [$CASE]"
