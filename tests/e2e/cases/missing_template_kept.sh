#!/usr/bin/env bash
# A remembered template that is missing for the moment survives opening and closing the window:
# its name and settings stay, and the template shown instead saves no unchanged values.
. "$(dirname "$0")/../lib.sh"
start_display
make_program_folder "$KRN_DATA_E2E/fields.html"
printf 'gone.html\r\n' >"$PROGRAM_DIR/Defaults/defaulttemplate.txt"
printf '((KWB))TITLE((KWB))=Mine\r\n' >"$PROGRAM_DIR/Defaults/Prefsgone.txt"
cp "$PROGRAM_DIR/Defaults/defaulttemplate.txt" "$WORK/defaulttemplate.before"
cp "$PROGRAM_DIR/Defaults/Prefsgone.txt" "$WORK/prefs.before"
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.5
"$KRN_XPROBE" close "$win"
expect_exit 0
expect_same_bytes "$PROGRAM_DIR/Defaults/defaulttemplate.txt" "$WORK/defaulttemplate.before"
expect_same_bytes "$PROGRAM_DIR/Defaults/Prefsgone.txt" "$WORK/prefs.before"
[ ! -e "$PROGRAM_DIR/Defaults/Prefsfields.txt" ] || fail "the stand-in's unchanged values were saved"
echo "PASS [$CASE]"
