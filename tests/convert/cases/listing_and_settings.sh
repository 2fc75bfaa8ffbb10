#!/usr/bin/env bash
# --help, --version, --list-templates and --fields; the remembered settings are read as the
# window reads them and never written; the progress line only on a terminal.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/fields.html" "$KRN_DATA_E2E/plain.html"
make_scenes "$WORK/s"
cd "$WORK"

convert --help
expect_status 0
expect_contains "$OUT" "Usage: krn2html-convert [OPTION]... SCENE..."
convert --version
expect_status 0
[ "$(cat "$OUT")" = "krn2html-convert (Tessaly KRN 2 HTML) $KRN_VERSION" ] || fail "--version"

# The catalogue with the default marked: the remembered one, else the first.
printf 'plain.html\r\n' >"$PROGRAM_DIR/Defaults/defaulttemplate.txt"
convert --list-templates
expect_status 0
sort "$OUT" >listed
printf '%s\n' "  fields.html" "* plain.html" >want
cmp -s listed want || { diff want listed >&2; fail "--list-templates"; }

# Fields with their template defaults, whatever is remembered.
printf '((KWB))TITLE((KWB))=Remembered\r\n' >"$PROGRAM_DIR/Defaults/Prefsfields.txt"
convert --fields fields.html
expect_status 0
[ "$(cat "$OUT")" = "$(printf '%s\n' "TITLE=My Scene" "AUTHOR=Anonymous")" ] || fail "--fields"
convert --fields=plain.html
[ ! -s "$OUT" ] && [ "$STATUS" -eq 0 ] || fail "--fields of a template without fields"

# Remembered values fill the page; --set and --no-saved-values as the help says.
convert -t fields.html s/a.krn
expect_contains s/a.html "<title>Remembered</title>"
expect_contains s/a.html "by Anonymous"
convert -t fields.html -s AUTHOR=Ann s/a.krn
expect_contains s/a.html "<title>Remembered</title>"
expect_contains s/a.html "by Ann"
convert -t fields.html --no-saved-values s/a.krn
expect_contains s/a.html "<title>My Scene</title>"
convert s/a.krn
expect_contains s/a.html "<p>$KRN_VERSION</p>"

# Nothing was written to the settings: the same files with the same bytes.
(cd "$PROGRAM_DIR/Defaults" && ls -A && cat ./*) >after
printf 'Prefsfields.txt\ndefaulttemplate.txt\n((KWB))TITLE((KWB))=Remembered\r\nplain.html\r\n' >before
cmp -s before after || { diff before after >&2; fail "the settings changed"; }

# The progress line: on a terminal for several scenes, never in a pipe or with --quiet.
convert s/a.krn s/b.krn
expect_stderr
script -qec "'$CONVERT' s/a.krn s/b.krn" /dev/null >tty.log </dev/null
grep -q '\[2/2\] s/b.krn' tty.log || { od -c tty.log | head >&2; fail "no progress line on a terminal"; }
script -qec "'$CONVERT' -q s/a.krn s/b.krn" /dev/null >tty.log </dev/null
[ ! -s tty.log ] || fail "a progress line with --quiet"
script -qec "'$CONVERT' s/a.krn" /dev/null >tty.log </dev/null
[ ! -s tty.log ] || fail "a progress line for one scene"
echo "PASS [$CASE]"
