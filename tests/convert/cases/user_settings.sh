#!/usr/bin/env bash
# The command reads the templates and settings where the window program does: the user's own
# templates beside the user's settings are listed and win over shipped ones of the same name;
# a settings file of another user is not read, and said so on standard error.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/fields.html" "$KRN_DATA_E2E/plain.html"
make_scenes "$WORK/s"
cd "$WORK"

mkdir -p "$USER_SETTINGS/templates"
printf '<p>own plain ((KWB))FILENAME((KWB))</p>\n' >"$USER_SETTINGS/templates/plain.html"
printf '<p>mine</p>\n' >"$USER_SETTINGS/templates/mine.html"
convert --list-templates
expect_status 0
printf '%s\n' "  fields.html" "  mine.html" "  plain.html" >want
grep -q '^\* ' "$OUT" || fail "no default template marked"
sed 's/^\* /  /' "$OUT" | sort >unmarked
cmp -s unmarked want || { diff want unmarked >&2; fail "--list-templates with the user's templates"; }
convert -t plain.html s/a.krn
expect_status 0
expect_contains s/a.html "<p>own plain a.krn</p>"
convert -t mine.html s/a.krn
expect_contains s/a.html "<p>mine</p>"

if [ "$(id -u)" -eq 0 ]; then
  printf '((KWB))TITLE((KWB))=<script>planted</script>\r\n' >"$PROGRAM_DIR/Defaults/Prefsfields.txt"
  chown 65534:65534 "$PROGRAM_DIR/Defaults/Prefsfields.txt"
  convert -t fields.html s/a.krn
  expect_status 0
  expect_stderr "krn2html-convert: Ignored the settings $PROGRAM_DIR/Defaults/Prefsfields.txt: it belongs to another user"
  expect_contains s/a.html "<title>My Scene</title>"
  grep -q planted s/a.html && fail "the planted value reached the page"
else
  echo "($CASE: not root, the file of another user is not tried)"
fi
echo "PASS [$CASE]"
