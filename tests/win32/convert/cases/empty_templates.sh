#!/usr/bin/env bash
# An empty template makes no page and is named; a templates folder without templates is named,
# in --list-templates too: status 1 each.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
cd "$WORK"
cp "$KRN_DATA_E2E/scene.krn" a.krn
: >"$PROGRAM_DIR/HTML Support/empty.html"
convert -t empty.html a.krn
expect_status 1
tr -d '\r' <"$ERR" | grep -qE '^krn2html-convert: a\.krn: The template .*\\HTML Support\\empty\.html is empty$' ||
  fail "the empty template is not named"
[ ! -e a.html ] || fail "a page was written from an empty template"

rm "$PROGRAM_DIR/HTML Support/"*.html
for args in a.krn --list-templates; do
  convert $args
  expect_status 1
  [ ! -s "$OUT" ] || fail "$args: standard output is not empty"
  tr -d '\r' <"$ERR" | grep -qE '^krn2html-convert: No templates in .*\\program\\HTML Support$' ||
    fail "$args: the templates folder is not named"
done
echo "PASS [$CASE]"
