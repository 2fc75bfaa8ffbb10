#!/usr/bin/env bash
# A read-only existing page: the conversion tells "Could not write the page <path>:
# Permission denied" in the program's message box and the page keeps every byte.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
cp "$KRN_DATA_E2E/scene.krn" "$WORK/scene.krn"
printf 'the old page\r\n' >"$WORK/locked.html"
cp "$WORK/locked.html" "$WORK/expected.html"
chmod 444 "$WORK/locked.html"
start_program
win=$(wait_handle "$MAIN_TITLE")
sleep 0.5
click_in "$MAIN_TITLE" 200 12
answer_file_dialog "Select KRN/KRQ File" "$(winpath "$WORK/scene.krn")"
answer_file_dialog "Saving HTML File (HTML)" "$(winpath "$WORK/locked.html")"
box=$(wait_handle "Tessaly KRN 2 HTML")
text=$(probe text "$box") || fail "the message box carries no text"
want="Could not write the page $(winpath "$WORK/locked.html"): Permission denied"
[ "$text" = "$want" ] || fail "message is \"$text\", expected \"$want\""
xid=$(wait_xid "Tessaly KRN 2 HTML")
xdotool windowfocus "$xid"
sleep 0.3
xdotool key Return
wait_handle_gone "$box"
expect_same_bytes "$WORK/locked.html" "$WORK/expected.html"
if ls "$WORK"/~krn*.tmp >/dev/null 2>&1; then fail "a temporary file stayed behind"; fi
probe close "$win" >/dev/null
expect_exit 0
echo "PASS [$CASE]"
