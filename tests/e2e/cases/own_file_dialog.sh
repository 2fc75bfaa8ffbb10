#!/usr/bin/env bash
# Where the desktop's chooser cannot run (here switched off in FLTK's user
# preferences), the program's own dialog asks instead: centred, starting in
# the home folder, then where the last scene was and where the last page went;
# relative names, whole paths and new page names are taken.
. "$(dirname "$0")/../lib.sh"
use_own_file_dialog
start_display
make_program_folder "$KRN_DATA_E2E/plain.html"
mkdir -p "$HOME/scenes" "$HOME/pages" "$WORK/elsewhere"
cp "$KRN_DATA_E2E/scene.krn" "$HOME/scenes/scene.krn"
cp "$KRN_DATA_E2E/scene.krn" "$HOME/scenes/other.krn"
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.3

click_in "$win" 200 12
dialog=$(wait_window "Select KRN/KRQ File")
expect_centred "$dialog"
screenshot own_file_dialog-open
sleep 0.3
type_into "$dialog" "scenes/scene.krn"
wait_id_gone "$dialog"
dialog=$(wait_window "Saving HTML File (HTML)")
expect_centred "$dialog"
sleep 0.3
type_into "$dialog" "pages/first.html"
wait_id_gone "$dialog"
wait_file "$HOME/pages/first.html"

click_in "$win" 200 12
answer_file_dialog "Select KRN/KRQ File" "other.krn"
answer_file_dialog "Saving HTML File (HTML)" "second.html"
wait_file "$HOME/pages/second.html"
grep -q 'data="../scenes/other.krn"' "$HOME/pages/second.html" || fail "second.html does not refer to other.krn"

click_in "$win" 200 12
answer_file_dialog "Select KRN/KRQ File" "$HOME/scenes/scene.krn"
answer_file_dialog "Saving HTML File (HTML)" "$WORK/elsewhere/third.html"
wait_file "$WORK/elsewhere/third.html"

expect_dialogs_by own
"$KRN_XPROBE" close "$win"
expect_exit 0
echo "PASS [$CASE]"
