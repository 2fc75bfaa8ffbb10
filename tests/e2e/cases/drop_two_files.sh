#!/usr/bin/env bash
# Two files dropped at once through XDND: two save dialogs, two pages.
. "$(dirname "$0")/../lib.sh"
start_display
make_program_folder "$KRN_DATA_E2E/plain.html"
mkdir -p "$WORK/my scenes"
cp "$KRN_DATA_E2E/scene.krn" "$WORK/my scenes/first scene.krn"
cp "$KRN_DATA_E2E/other.krn" "$WORK/my scenes/other%.krn"
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.3
"$KRN_XDND" "$win" 240 60 "$WORK/my scenes/first scene.krn" "$WORK/my scenes/other%.krn" ||
  fail "the drop was not taken"
answer_file_dialog "Saving HTML File (HTML)" "$WORK/my scenes/first.html"
wait_file "$WORK/my scenes/first.html"
answer_file_dialog "Saving HTML File (HTML)" "$WORK/my scenes/second.html"
wait_file "$WORK/my scenes/second.html"
grep -q 'data="first scene.krn"' "$WORK/my scenes/first.html" ||
  fail "the first page does not name its scene: $(cat "$WORK/my scenes/first.html")"
grep -q "triggeranimation('Spin')" "$WORK/my scenes/first.html" || fail "the first page lacks its buttons"
# '%' in FILENAME is written %25, so that the link finds the file.
grep -q 'data="other%25.krn"' "$WORK/my scenes/second.html" ||
  fail "the second page does not name its scene: $(cat "$WORK/my scenes/second.html")"
grep -q "triggeranimation('Wave')" "$WORK/my scenes/second.html" || fail "the second page lacks its buttons"
if grep -q "Spin" "$WORK/my scenes/second.html"; then fail "the second page kept the first scene's buttons"; fi
"$KRN_XPROBE" close "$win"
expect_exit 0
echo "PASS [$CASE]"
