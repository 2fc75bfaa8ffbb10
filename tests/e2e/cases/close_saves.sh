#!/usr/bin/env bash
# Closing the window saves the template's name and the typed field values.
. "$(dirname "$0")/../lib.sh"
start_display
make_program_folder "$KRN_DATA_E2E/fields.html"
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.5
# The TITLE box spans (151, 50) - (475, 74): replace its text.
click_in "$win" 300 62
xdotool key Home shift+End
xdotool type --delay 2 "Harbour at night"
sleep 0.2
"$KRN_XPROBE" close "$win"
expect_exit 0
[ "$(cat "$PROGRAM_DIR/Defaults/defaulttemplate.txt")" = $'fields.html\r' ] ||
  fail "defaulttemplate.txt holds $(cat -A "$PROGRAM_DIR/Defaults/defaulttemplate.txt" 2>&1)"
printf '((KWB))TITLE((KWB))=Harbour at night\r\n((KWB))AUTHOR((KWB))=Anonymous\r\n' >"$WORK/expected-prefs"
expect_same_bytes "$PROGRAM_DIR/Defaults/Prefsfields.txt" "$WORK/expected-prefs"
# The next start shows the saved value: convert once and look at the page.
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.3
cp "$KRN_DATA_E2E/scene.krn" "$WORK/scene.krn"
click_in "$win" 200 12
answer_file_dialog "Select KRN/KRQ File" "$WORK/scene.krn"
answer_file_dialog "Saving HTML File (HTML)" "$WORK/scene.html"
wait_file "$WORK/scene.html"
grep -q '<title>Harbour at night</title>' "$WORK/scene.html" || fail "the saved value was not used: $(head -1 "$WORK/scene.html")"
expect_dialogs_by desktop
"$KRN_XPROBE" close "$win"
expect_exit 0
echo "PASS [$CASE]"
