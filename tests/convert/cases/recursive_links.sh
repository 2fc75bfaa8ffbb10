#!/usr/bin/env bash
# --recursive and symbolic links: every real folder is entered once, by its own path; a link that
# leads back into the walk is told once and skipped; a link to a folder outside is followed.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/fields.html"
cd "$WORK"

# Runs the walk under a time limit (a loop must not run away) and compares the pages made.
walk() {
  local want=$1
  shift
  rm -rf out
  STATUS=0
  timeout 30 "$CONVERT" -r -d out "$@" </dev/null >"$OUT" 2>"$ERR" || STATUS=$?
  [ "$STATUS" -ne 124 ] || fail "the walk of $* did not end"
  expect_status 0 -r -d out "$@"
  (cd out && find . -type f | LC_ALL=C sort) >found
  printf '%s' "$want" | LC_ALL=C sort >want
  cmp -s found want || { diff want found >&2; fail "pages of $*"; }
}

mkdir -p t/a/b outside/deeper
cp "$KRN_DATA_E2E/scene.krn" t/x.krn
cp "$KRN_DATA_E2E/scene.krn" t/a/y.krn
cp "$KRN_DATA_E2E/scene.krn" t/a/b/z.krn
cp "$KRN_DATA_E2E/scene.krn" outside/w.krn
cp "$KRN_DATA_E2E/scene.krn" outside/deeper/v.krn
# Standard error holds the given lines, in any order (a folder lists its links in no set order).
expect_stderr_lines() {
  sort "$ERR" >err.sorted
  printf '%s\n' "$@" | sort >err.want
  cmp -s err.want err.sorted || { diff err.want err.sorted >&2; fail "standard error differs"; }
}
tree_pages=$'./a/b/z.html\n./a/y.html\n./x.html\n'

# One link back to an ancestor.
ln -s .. t/a/b/up
walk "$tree_pages" t
expect_stderr_lines "krn2html-convert: t/a/b/up: skipped, a link back into the folders converted"

# Two links back side by side (before, a run that never ended).
ln -s .. t/a/up1
ln -s .. t/a/up2
walk "$tree_pages" t
expect_stderr_lines "krn2html-convert: t/a/b/up: skipped, a link back into the folders converted" \
  "krn2html-convert: t/a/up1: skipped, a link back into the folders converted" \
  "krn2html-convert: t/a/up2: skipped, a link back into the folders converted"
convert -q -r -d out t
expect_status 0
expect_stderr

# A link high in the tree to a folder deeper in it: the folder keeps its own place.
rm t/a/b/up t/a/up1 t/a/up2
ln -s a/b t/shortcut
walk "$tree_pages" t
expect_stderr_lines "krn2html-convert: t/shortcut: skipped, a link back into the folders converted"
rm t/shortcut

# A link to a folder outside the walk is followed and mirrored under its name; a link in there
# back into the walk is skipped; the same outside folder linked twice is walked once.
ln -s ../outside t/ext
ln -s "$WORK/t" outside/back
walk "$tree_pages"$'./ext/deeper/v.html\n./ext/w.html\n' t
expect_stderr_lines "krn2html-convert: t/ext/back: skipped, a link back into the folders converted"
ln -s "$WORK/outside" t/a/ext2
walk "$tree_pages"$'./ext/deeper/v.html\n./ext/w.html\n' t
expect_stderr_lines "krn2html-convert: t/a/ext2: skipped, a link back into the folders converted" \
  "krn2html-convert: t/ext/back: skipped, a link back into the folders converted"

# The walked folder given through a link of its own.
rm t/a/ext2 t/ext outside/back
ln -s t linked
ln -s "$WORK/linked" t/a/again
walk "$tree_pages" linked
expect_stderr_lines "krn2html-convert: linked/a/again: skipped, a link back into the folders converted"
echo "PASS [$CASE]"
