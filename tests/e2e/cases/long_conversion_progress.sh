#!/usr/bin/env bash
# A scene of about 300 MB: after half a second the window grows a progress strip whose bar
# fills as the scene is read; Escape cancels (no save dialog, no page, the window says so);
# a second drop of the same scene runs to the end and gives the page.
. "$(dirname "$0")/../lib.sh"
start_display
make_program_folder "$KRN_DATA_E2E/plain.html"
# The save dialog is the program's own: the desktop's chooser has its own cases, and under
# the leak checker the font libraries below it leave caches whose allocation stacks cannot
# always be traced back to those libraries.
use_own_file_dialog
# About 300 MB (seconds to read): one animation, then geometry.
write_large_scene "$WORK/large.krn" 27000000
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.5
window_geometry "$win"
height_before=$H

# The pixels of the bar's done part (0x3070C0) in a picture of the window.
done_pixels() {
  import -window "$win" "$WORK/$1.png" || fail "no picture of the window ($1)"
  convert "$WORK/$1.png" -fill black +opaque '#3070C0' -fill white -opaque '#3070C0' \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

"$KRN_XDND" "$win" 240 60 "$WORK/large.krn" || fail "the drop was not taken"
sleep 1.2
window_geometry "$win"
[ "$H" -gt "$height_before" ] || fail "no progress strip after a second (height $H)"
first=$(done_pixels progress-1)
sleep 0.8
second=$(done_pixels progress-2)
cp "$WORK/progress-2.png" "$ARTIFACTS/$CASE-progress.png"
if xdotool search --onlyvisible --name "^Saving HTML File" >/dev/null 2>&1; then
  fail "the scene was read before the progress could be looked at: the test proves nothing"
fi
[ "$first" -gt 0 ] || fail "the bar shows nothing done"
[ "$second" -gt "$first" ] || fail "the bar did not grow ($first, then $second pixels)"

# Escape (the keyboard follows the pointer: no window manager) stops the read.
window_geometry "$win"
pointer_to $((X + W / 2)) $((Y + 10))
xdotool key Escape
box=$(wait_window "Tessaly KRN 2 HTML" 30)
text=$("$KRN_XPROBE" text "$box" _KRN_MESSAGE_TEXT) || fail "the message box carries no text"
[ "$text" = "The conversion of $WORK/large.krn was cancelled" ] || fail "message is \"$text\""
if xdotool search --onlyvisible --name "^Saving HTML File" >/dev/null 2>&1; then
  fail "a save dialog came after the cancel"
fi
window_geometry "$box"
pointer_to $((X + W / 2)) $((Y + 10))
xdotool key Return
wait_id_gone "$box"
window_geometry "$win"
[ "$H" -eq "$height_before" ] || fail "the progress strip stayed after the cancel (height $H)"
left=$(ls -A "$WORK" | grep -v -x -e large.krn -e program -e home -e artifacts -e displayfd \
  -e xvfb.log -e program.log -e 'progress-[12].png' || true)
[ -z "$left" ] || fail "the cancelled conversion left files: $left"

# The same scene again, to the end.
"$KRN_XDND" "$win" 240 60 "$WORK/large.krn" || fail "the second drop was not taken"
# The read takes seconds, and up to minutes in the sanitizer build on a busy machine.
answer_file_dialog "Saving HTML File (HTML)" "$WORK/large.html" 200
wait_file "$WORK/large.html"
grep -q "triggeranimation('Spin')" "$WORK/large.html" || fail "the page lacks its button"
grep -q 'data="large.krn"' "$WORK/large.html" || fail "the page does not name its scene"
rm -f "$WORK/large.krn"
"$KRN_XPROBE" close "$win"
# The sanitizer build takes seconds more to end: its allocator keeps the scene's freed
# memory (gigabytes) back from reuse, and the leak check at the exit goes through it.
expect_exit 0 60
echo "PASS [$CASE]"
