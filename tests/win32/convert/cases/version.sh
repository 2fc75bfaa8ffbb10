#!/usr/bin/env bash
# krn2html-convert.exe --version names the program and the version read from its own
# version resource; --help goes to standard output with status 0, a wrong option to
# standard error with status 2.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
cd "$WORK"
convert --version
expect_status 0
[ "$(tr -d '\r' <"$OUT")" = "krn2html-convert (Tessaly KRN 2 HTML) $KRN_VERSION" ] ||
  fail "--version printed: $(cat "$OUT")"
[ ! -s "$ERR" ] || fail "standard error is not empty"
convert --help
expect_status 0
expect_contains "$OUT" "--template"
convert --no-such-option
expect_status 2
[ -s "$ERR" ] || fail "a wrong option is not told on standard error"
echo "PASS [$CASE]"
