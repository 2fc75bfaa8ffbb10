#!/usr/bin/env bash
# A page with another hard link is refused with the reason, and both names keep the old page.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
cd "$WORK"
cp "$KRN_DATA_E2E/scene.krn" a.krn
echo "old linked" >a.html
ln a.html second-name.html
convert a.krn
expect_status 1
tr -d '\r' <"$ERR" | grep -qE '^krn2html-convert: a\.krn: Could not write the page .*a\.html: The file has other hard links, which a new file would part from it$' ||
  fail "the refusal does not name the reason"
[ "$(cat a.html)" = "old linked" ] && [ "$(cat second-name.html)" = "old linked" ] ||
  fail "a hard-linked page was changed"
echo "PASS [$CASE]"
