#!/usr/bin/env bash
# An empty template makes no page; a templates folder that is missing or holds no template is
# named, in --list-templates too, with status 1.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/fields.html"
make_scenes "$WORK/s"
cd "$WORK"
TEMPLATES="$PROGRAM_DIR/HTML Support"

# An empty template and one with no text before its first zero byte: no page, status 1, the
# template named; by name in the folder and by path.
: >"$TEMPLATES/empty.html"
printf '\0<html>tail</html>\n' >"$TEMPLATES/zero.html"
: >"$WORK/own.html"
for template in empty.html zero.html "$WORK/own.html"; do
  case "$template" in /*) shown=$template ;; *) shown="$TEMPLATES/$template" ;; esac
  rm -f s/a.html
  convert -t "$template" s/a.krn
  expect_status 1 -t "$template"
  expect_stderr "krn2html-convert: s/a.krn: The template $shown is empty"
  [ ! -e s/a.html ] || fail "$template: a page was written from an empty template"
  convert -t "$template" -o - s/a.krn
  expect_status 1 -t "$template" -o -
  expect_no_output
  expect_stderr "krn2html-convert: s/a.krn: The template $shown is empty"
done
# Each scene of a run fails the same way and the run goes on.
convert -t empty.html s/a.krn s/b.krn
expect_status 1
expect_stderr "krn2html-convert: s/a.krn: The template $TEMPLATES/empty.html is empty" \
  "krn2html-convert: s/b.krn: The template $TEMPLATES/empty.html is empty"

# A folder without templates (files of other kinds only), then no folder at all.
rm "$TEMPLATES"/*.html
echo "not a template" >"$TEMPLATES/readme.txt"
for what in "empty folder" "missing folder"; do
  [ "$what" = "missing folder" ] && rm -rf "$TEMPLATES"
  for args in "s/a.krn" "--list-templates" "--fields"; do
    # shellcheck disable=SC2086
    convert $args
    expect_status 1 "$args ($what)"
    expect_no_output
    expect_stderr "krn2html-convert: No templates in $TEMPLATES"
  done
  [ ! -e s/a.html ] || fail "$what: a page was written"
  # A template file named by its path needs no catalogue.
  convert -t "$KRN_DATA_E2E/plain.html" s/a.krn
  expect_status 0 "-t <path> ($what)"
  expect_contains s/a.html "<p>$KRN_VERSION</p>"
  rm s/a.html
done
echo "PASS [$CASE]"
