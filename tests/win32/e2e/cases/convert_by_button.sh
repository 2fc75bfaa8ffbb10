#!/usr/bin/env bash
# One conversion through the button and Wine's open and save dialogs; the page
# holds exactly the bytes the Linux program writes for the same template and
# scene (the same expected text as the Linux end-to-end case).
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
mkdir -p "$WORK/scenes" "$WORK/pages"
cp "$KRN_DATA_E2E/scene.krn" "$WORK/scenes/scene.krn"
start_program
win=$(wait_handle "$MAIN_TITLE")
sleep 0.5
# The convert button spans (21, 1) - (454, 23) with a = 150.
click_in "$MAIN_TITLE" 200 12
# The centring hook puts the open dialog in the middle of the screen.
dialog=$(wait_handle "Select KRN/KRQ File")
sleep 0.5
window_info "$dialog"
[ "$LEFT" -eq $((SCREEN_W / 2 - (RIGHT - LEFT) / 2)) ] && [ "$TOP" -eq $((SCREEN_H / 2 - (BOTTOM - TOP) / 2)) ] ||
  fail "the open dialog at $LEFT,$TOP is not centred on the screen"
answer_file_dialog "Select KRN/KRQ File" "$(winpath "$WORK/scenes/scene.krn")"
answer_file_dialog "Saving HTML File (HTML)" "$(winpath "$WORK/pages/scene.html")"
wait_file "$WORK/pages/scene.html"
sleep 0.5
{
  printf '<html><body>\n<object data="../scenes/scene.krn"></object>\n<p>%s</p>\n<form>\n' "$KRN_VERSION"
  printf '<input\tname="Spin"\ttype=button\tvalue="Spin"\tonclick="triggeranimation('"'"'Spin'"'"')">\r\n'
  printf '<input\tname="Loop"\ttype=button\tvalue="Start Loop"\tonclick="startanimation('"'"'Loop'"'"')">\r\n'
  printf '<input\tname="Loop"\ttype=button\tvalue="Stop Loop"\tonclick="stopanimation('"'"'Loop'"'"')">\r\n'
  printf '</form>\n</body></html>\n'
} >"$WORK/expected.html"
expect_same_bytes "$WORK/pages/scene.html" "$WORK/expected.html"
probe close "$win" >/dev/null
expect_exit 0
[ -s "$PROGRAM_DIR/Defaults/defaulttemplate.txt" ] || fail "closing did not save the default template"
echo "PASS [$CASE]"
