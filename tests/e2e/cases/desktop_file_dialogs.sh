#!/usr/bin/env bash
# The desktop's file chooser (GTK, through FLTK's native chooser): centred on
# the screen with the described titles; the first dialogs start in the user's
# home, later ones where the last scene was and where the last page went;
# names relative to that folder, whole paths and new page names are taken;
# cancel gives no file.
. "$(dirname "$0")/../lib.sh"
start_display
make_program_folder "$KRN_DATA_E2E/plain.html"
mkdir -p "$HOME/.local/share" "$HOME/scenes" "$HOME/pages" "$WORK/elsewhere"
cp "$KRN_DATA_E2E/scene.krn" "$HOME/scenes/scene.krn"
cp "$KRN_DATA_E2E/scene.krn" "$HOME/scenes/other.krn"
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.3

# First conversion: both dialogs start in the home folder, so names relative
# to it land there.
click_in "$win" 200 12
dialog=$(wait_window "Select KRN/KRQ File")
sleep 0.5
expect_centred "$dialog"
screenshot desktop_file_dialogs-open
type_location "$dialog" "scenes/scene.krn"
wait_id_gone "$dialog"
dialog=$(wait_window "Saving HTML File (HTML)")
sleep 0.5
expect_centred "$dialog"
type_into "$dialog" "pages/first.html"
wait_id_gone "$dialog"
wait_file "$HOME/pages/first.html"
grep -q 'data="../scenes/scene.krn"' "$HOME/pages/first.html" || fail "first.html does not refer to the scene"

# Second conversion: the open dialog starts where the last scene was, the save
# dialog where the last page went.
click_in "$win" 200 12
dialog=$(wait_window "Select KRN/KRQ File")
sleep 0.5
type_location "$dialog" "other.krn"
wait_id_gone "$dialog"
dialog=$(wait_window "Saving HTML File (HTML)")
sleep 0.5
type_into "$dialog" "second.html"
wait_id_gone "$dialog"
wait_file "$HOME/pages/second.html"
grep -q 'data="../scenes/other.krn"' "$HOME/pages/second.html" || fail "second.html does not refer to other.krn"

# Whole paths typed into both dialogs.
click_in "$win" 200 12
answer_file_dialog "Select KRN/KRQ File" "$HOME/scenes/scene.krn"
answer_file_dialog "Saving HTML File (HTML)" "$WORK/elsewhere/third.html"
wait_file "$WORK/elsewhere/third.html"

# Cancel in the open dialog: no save dialog follows; cancel in the save
# dialog: no page is written.
click_in "$win" 200 12
dialog=$(wait_window "Select KRN/KRQ File")
sleep 0.5
pointer_to $((SCREEN_W / 2)) $((SCREEN_H / 2))
xdotool key Escape
wait_id_gone "$dialog"
sleep 1
if xdotool search --onlyvisible --name '^Saving HTML File' >/dev/null 2>&1; then
  fail "a cancelled open dialog was followed by a save dialog"
fi
click_in "$win" 200 12
answer_file_dialog "Select KRN/KRQ File" "$HOME/scenes/scene.krn"
dialog=$(wait_window "Saving HTML File (HTML)")
sleep 0.5
pointer_to $((SCREEN_W / 2)) $((SCREEN_H / 2))
xdotool key Escape
wait_id_gone "$dialog"
sleep 1
pages=$(find "$HOME" "$WORK/elsewhere" "$PROGRAM_DIR" -name '*.html' -newer "$HOME/pages/first.html" | wc -l)
[ "$pages" -eq 2 ] || fail "expected only second.html and third.html after first.html, found $pages pages"
[ -z "$(find "$PROGRAM_DIR" -name '*.html' -not -path '*/HTML Support/*')" ] || fail "a page landed in the program folder"

expect_dialogs_by desktop
"$KRN_XPROBE" close "$win"
expect_exit 0
echo "PASS [$CASE]"
