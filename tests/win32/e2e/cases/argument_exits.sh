#!/usr/bin/env bash
# Started with an argument the program ends at once with status 0: no window,
# nothing written.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
cp "$KRN_DATA_E2E/scene.krn" "$WORK/scene.krn"
start_program "$(winpath "$WORK/scene.krn")"
expect_exit 0 10
if probe find "$MAIN_TITLE" >/dev/null; then fail "a window was created"; fi
[ -z "$(ls -A "$PROGRAM_DIR/Defaults")" ] || fail "files were written: $(ls "$PROGRAM_DIR/Defaults")"
echo "PASS [$CASE]"
