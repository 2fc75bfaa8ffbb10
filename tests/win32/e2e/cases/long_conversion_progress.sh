#!/usr/bin/env bash
# A scene of about 300 MB under Wine: the window grows its progress strip with a "Cancel"
# button while the scene is read, Escape cancels (no save dialog, no page, the window says
# so), and the same scene converted again to the end gives its page.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
write_large_scene "$WORK/large.krn" 27000000
start_program
win=$(wait_handle "$MAIN_TITLE")
sleep 0.5
window_info "$win"
height_before=$CLIENT_H

convert_large() {
  click_in "$MAIN_TITLE" 200 12
  answer_file_dialog "Select KRN/KRQ File" "$(winpath "$WORK/large.krn")"
}

convert_large
for _ in $(seq 50); do
  window_info "$win"
  [ "$CLIENT_H" -gt "$height_before" ] && break
  sleep 0.2
done
[ "$CLIENT_H" -gt "$height_before" ] || fail "no progress strip while the scene is read"
probe children "$win" | grep -qi "^Button 3 " || fail "no Cancel button (id 3) beside the progress"
if probe find "Saving HTML File (HTML)" >/dev/null; then
  fail "the scene was read before the progress could be looked at: the test proves nothing"
fi

# Escape with the focus in the window (on one of its controls).
xid=$(wait_xid "$MAIN_TITLE")
xdotool windowfocus "$xid"
sleep 0.3
xdotool key Escape
box=$(wait_handle "Tessaly KRN 2 HTML" 60)
text=$(probe text "$box") || fail "the message box carries no text"
[ "$text" = "The conversion of $(winpath "$WORK/large.krn") was cancelled" ] ||
  fail "message is \"$text\""
xid=$(wait_xid "Tessaly KRN 2 HTML")
xdotool windowfocus "$xid"
sleep 0.3
xdotool key Return
wait_handle_gone "$box"
if probe find "Saving HTML File (HTML)" >/dev/null; then fail "a save dialog came after the cancel"; fi
window_info "$win"
[ "$CLIENT_H" -eq "$height_before" ] || fail "the progress strip stayed after the cancel"
[ -z "$(find "$WORK" -maxdepth 1 -name '*.html' -o -maxdepth 1 -name '*.tmp')" ] ||
  fail "the cancelled conversion left a file"

convert_large
answer_file_dialog "Saving HTML File (HTML)" "$(winpath "$WORK/large.html")"
wait_file "$WORK/large.html"
sleep 0.5
grep -q "triggeranimation('Spin')" "$WORK/large.html" || fail "the page lacks its button"
rm -f "$WORK/large.krn"
probe close "$win" >/dev/null
expect_exit 0
echo "PASS [$CASE]"
