#!/usr/bin/env bash
# Exit status 0, 1 and 2 with one line on standard error per failed scene; the other scenes are
# still converted.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/fields.html"
make_scenes "$WORK/s"
cd "$WORK"

convert s/a.krn s/b.krn
expect_status 0
expect_stderr
expect_no_output
[ -s s/a.html ] && [ -s s/b.html ] || fail "the pages were not written beside the scenes"

# A missing scene, a folder, a page that cannot be written: each one line; a.krn still done.
rm s/a.html
mkdir -p blocker
touch blocker/a.html
convert s/missing.krn s s/a.krn -d blocker/a.html/deeper
expect_status 1
expect_stderr \
  "krn2html-convert: s/missing.krn: No such file or directory" \
  "krn2html-convert: s: Is a folder (use --recursive to convert the scenes in it)" \
  "krn2html-convert: s/a.krn: Could not make the folder $WORK/blocker/a.html/deeper: Not a directory"
convert s/missing.krn s/a.krn -d blocker/a.html
expect_status 1
[ "$(wc -l <"$ERR")" -eq 2 ] || fail "two failures, two lines"
expect_contains "$ERR" "krn2html-convert: s/a.krn: Could not make the folder $WORK/blocker/a.html: File exists"
convert -o nowhere/a.html s/a.krn
expect_status 1
expect_stderr "krn2html-convert: s/a.krn: Could not write the page $WORK/nowhere/a.html: No such file or directory"
convert s/missing.krn s/a.krn
expect_status 1
[ -s s/a.html ] || fail "the other scene was not converted"

# Usage errors: status 2, the reason and a hint to --help, nothing converted.
rm s/a.html
for args in "-t nope.html s/a.krn" "--bogus s/a.krn" "-o p.html s/a.krn s/b.krn" "" \
  "-s NOFIELD=1 s/a.krn"; do
  # shellcheck disable=SC2086
  convert $args
  expect_status 2 $args
  [ "$(wc -l <"$ERR")" -eq 2 ] || fail "usage error of '$args': not two lines"
  expect_contains "$ERR" "Try 'krn2html-convert --help' for more information."
done
[ ! -e s/a.html ] || fail "a usage error converted a scene"
convert -t nope.html s/a.krn
expect_stderr "krn2html-convert: template 'nope.html' not found (see --list-templates)" \
  "Try 'krn2html-convert --help' for more information."
convert -s NOFIELD=1 s/a.krn
expect_contains "$ERR" "krn2html-convert: the template 'fields.html' has no field 'NOFIELD'"

# A template file named by its path; without any template in the folder the folder is named.
convert -t "$KRN_DATA_E2E/plain.html" s/a.krn
expect_status 0
expect_contains s/a.html "<p>$KRN_VERSION</p>"
rm "$PROGRAM_DIR/HTML Support/fields.html"
convert s/a.krn
expect_status 1
expect_stderr "krn2html-convert: No templates in $PROGRAM_DIR/HTML Support"
echo "PASS [$CASE]"
