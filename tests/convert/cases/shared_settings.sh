#!/usr/bin/env bash
# Shared settings: for a user who may not write the program's Defaults, the user's own settings
# come first and the shared Defaults (an administrator's) stand in for files the user has not
# saved; a shared file of another user is passed over. Run as "nobody" (needs root to switch).
. "$(dirname "$0")/../lib.sh"
if [ "$(id -u)" -ne 0 ] || ! command -v setpriv >/dev/null; then
  echo "($CASE: skipped, needs root to run the command as another user)"
  exit 0
fi
make_program_folder "$KRN_DATA_E2E/fields.html" "$KRN_DATA_E2E/plain.html"
make_scenes "$WORK/s"
chmod 755 "$WORK"
mkdir -p "$XDG_CONFIG_HOME" pages
chown -R 65534:65534 "$XDG_CONFIG_HOME" "$WORK/s"
cd "$WORK"
# The administrator's shared settings: a default template and its values.
printf 'plain.html\r\n' >"$PROGRAM_DIR/Defaults/defaulttemplate.txt"
printf '((KWB))TITLE((KWB))=Shared title\r\n((KWB))AUTHOR((KWB))=Admin\r\n' \
  >"$PROGRAM_DIR/Defaults/Prefsfields.txt"
chmod -R go-w "$PROGRAM_DIR"

as_nobody() {
  STATUS=0
  setpriv --reuid=65534 --regid=65534 --clear-groups env XDG_CONFIG_HOME="$XDG_CONFIG_HOME" \
    "$CONVERT" "$@" </dev/null >"$OUT" 2>"$ERR" || STATUS=$?
}

as_nobody --list-templates
expect_status 0
printf '%s\n' "  fields.html" "* plain.html" >want
cmp -s want "$OUT" || { diff want "$OUT" >&2; fail "the shared default template is not the default"; }
as_nobody -t fields.html -o - s/a.krn
expect_status 0
expect_stderr
expect_contains "$OUT" "<title>Shared title</title>"
expect_contains "$OUT" "by Admin"

# The user's own files win, file by file: an own default template, values of the shared one.
mkdir -p "$USER_SETTINGS"
printf 'fields.html\r\n' >"$USER_SETTINGS/defaulttemplate.txt"
chown -R 65534:65534 "$USER_SETTINGS"
as_nobody --list-templates
printf '%s\n' "* fields.html" "  plain.html" >want
cmp -s want "$OUT" || { diff want "$OUT" >&2; fail "the user's own default template does not win"; }
printf '((KWB))TITLE((KWB))=Mine\r\n' >"$USER_SETTINGS/Prefsfields.txt"
chown 65534:65534 "$USER_SETTINGS/Prefsfields.txt"
as_nobody -t fields.html -o - s/a.krn
expect_contains "$OUT" "<title>Mine</title>"
expect_contains "$OUT" "by Anonymous"

# A shared file of another (not administrator) user is passed over and said so.
rm "$USER_SETTINGS/Prefsfields.txt"
chown 1234:1234 "$PROGRAM_DIR/Defaults/Prefsfields.txt"
as_nobody -t fields.html -o - s/a.krn
expect_status 0
expect_stderr "krn2html-convert: Ignored the settings $PROGRAM_DIR/Defaults/Prefsfields.txt: it belongs to another user"
expect_contains "$OUT" "<title>My Scene</title>"

# Nothing was written in the shared Defaults.
[ "$(ls "$PROGRAM_DIR/Defaults")" = "$(printf '%s\n' Prefsfields.txt defaulttemplate.txt)" ] ||
  fail "the shared Defaults changed: $(ls "$PROGRAM_DIR/Defaults")"
echo "PASS [$CASE]"
