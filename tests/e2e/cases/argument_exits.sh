#!/usr/bin/env bash
# Started with an argument the program ends at once with status 0: no window,
# nothing written.
. "$(dirname "$0")/../lib.sh"
start_display
make_program_folder "$KRN_DATA_E2E/plain.html"
cp "$KRN_DATA_E2E/scene.krn" "$WORK/scene.krn"
start_program "$WORK/scene.krn"
expect_exit 0 5
if xdotool search --name "Tessaly" >/dev/null 2>&1; then fail "a window was created"; fi
[ -z "$(ls -A "$PROGRAM_DIR/Defaults")" ] || fail "files were written: $(ls "$PROGRAM_DIR/Defaults")"
# An empty argument is an argument too.
start_program ""
expect_exit 0 5
[ -z "$(ls -A "$PROGRAM_DIR/Defaults")" ] || fail "files were written after an empty argument"
echo "PASS [$CASE]"
