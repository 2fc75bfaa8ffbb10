#!/usr/bin/env bash
# One conversion through the button, the open dialog and the save dialog; the
# page holds exactly the template with FILENAME, BUILD and FORMSDATA filled.
. "$(dirname "$0")/../lib.sh"
start_display
make_program_folder "$KRN_DATA_E2E/plain.html"
mkdir -p "$WORK/scenes" "$WORK/pages"
cp "$KRN_DATA_E2E/scene.krn" "$WORK/scenes/scene.krn"
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.3
# The convert button spans (21, 1) - (454, 23) with a = 150.
click_in "$win" 200 12
answer_file_dialog "Select KRN/KRQ File" "$WORK/scenes/scene.krn"
answer_file_dialog "Saving HTML File (HTML)" "$WORK/pages/scene.html"
wait_file "$WORK/pages/scene.html"
{
  printf '<html><body>\n<object data="../scenes/scene.krn"></object>\n<p>%s</p>\n<form>\n' "$KRN_VERSION"
  printf '<input\tname="Spin"\ttype=button\tvalue="Spin"\tonclick="triggeranimation('"'"'Spin'"'"')">\r\n'
  printf '<input\tname="Loop"\ttype=button\tvalue="Start Loop"\tonclick="startanimation('"'"'Loop'"'"')">\r\n'
  printf '<input\tname="Loop"\ttype=button\tvalue="Stop Loop"\tonclick="stopanimation('"'"'Loop'"'"')">\r\n'
  printf '</form>\n</body></html>\n'
} >"$WORK/expected.html"
expect_same_bytes "$WORK/pages/scene.html" "$WORK/expected.html"
expect_dialogs_by desktop
"$KRN_XPROBE" close "$win"
expect_exit 0
echo "PASS [$CASE]"
