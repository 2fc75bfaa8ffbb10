#!/usr/bin/env bash
# A large scene takes seconds to read: meanwhile the window still repaints what another
# window uncovered (the scene is read beside the window thread), and the page is made as usual
# afterwards.
. "$(dirname "$0")/../lib.sh"
start_display
make_program_folder "$KRN_DATA_E2E/plain.html"
# About 220 MB (seconds to read): one animation, then geometry.
write_large_scene "$WORK/large.krn" 20000000
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.5
import -window "$win" "$WORK/before.png" || fail "no picture of the window"
"$KRN_XDND" "$win" 240 60 "$WORK/large.krn" || fail "the drop was not taken"
sleep 0.3
"$KRN_XPROBE" cover "$win" 200 || fail "the window could not be covered"
sleep 0.4
import -window "$win" "$WORK/during.png" || fail "no picture of the window while busy"
if xdotool search --onlyvisible --name "^Saving HTML File" >/dev/null 2>&1; then
  fail "the scene was read before the window could be looked at: the test proves nothing"
fi
# The window may have grown its progress strip meanwhile: the part it had before is compared.
size=$(identify -format '%wx%h' "$WORK/before.png") || fail "cannot read the first picture"
convert "$WORK/during.png" -crop "$size+0+0" +repage "$WORK/during-top.png" ||
  fail "cannot crop the second picture"
differing=$(compare -metric AE "$WORK/before.png" "$WORK/during-top.png" null: 2>&1 || true)
cp "$WORK/during.png" "$ARTIFACTS/$CASE-during.png"
[ "$differing" = 0 ] || fail "the window was not repainted while busy ($differing pixels differ)"
# The read takes about 3 s, and up to a minute in the sanitizer build on a busy machine.
answer_file_dialog "Saving HTML File (HTML)" "$WORK/large.html" 100
wait_file "$WORK/large.html"
grep -q "triggeranimation('Spin')" "$WORK/large.html" || fail "the page lacks its button"
"$KRN_XPROBE" close "$win"
# The sanitizer build takes seconds more to end: its allocator keeps the scene's freed
# memory (gigabytes) back from reuse, and the leak check at the exit goes through it.
expect_exit 0 60
echo "PASS [$CASE]"
