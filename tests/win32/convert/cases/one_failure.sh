#!/usr/bin/env bash
# A missing scene among good ones: exit status 1, one line on standard error naming it, and the
# other page still written.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
cd "$WORK"
cp "$KRN_DATA_E2E/scene.krn" good.krn
convert missing.krn good.krn
expect_status 1
[ "$(tr -d '\r' <"$ERR")" = "krn2html-convert: missing.krn: No such file or directory" ] ||
  fail "standard error is not the one failure line"
expect_contains good.html '<object data="good.krn"></object>'
echo "PASS [$CASE]"
