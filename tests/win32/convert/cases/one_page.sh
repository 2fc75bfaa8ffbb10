#!/usr/bin/env bash
# krn2html-convert.exe writes one page with the template's defaults, the scene relative to the
# page, the program's version and the buttons; the same bytes go to standard output unchanged.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
cd "$WORK"
mkdir scenes
cp "$KRN_DATA_E2E/scene.krn" scenes/scene.krn
convert -d out scenes/scene.krn
expect_status 0
[ ! -s "$ERR" ] || fail "standard error is not empty"
[ -s out/scene.html ] || fail "no page"
expect_contains out/scene.html '<object data="../scenes/scene.krn"></object>'
expect_contains out/scene.html "<p>$KRN_VERSION</p>"
expect_contains out/scene.html $'<input\tname="Spin"\ttype=button\tvalue="Spin"\tonclick="triggeranimation(\'Spin\')">\r\n'
expect_contains out/scene.html 'stopanimation('"'"'Loop'"'"')'
# Standard output in binary: no line end is translated.
convert -o - scenes/scene.krn
expect_status 0
sed 's|data="../scenes/scene.krn"|data="scenes/scene.krn"|' out/scene.html >expected.html
cmp -s "$OUT" expected.html || fail "the page on standard output differs from the page file"
echo "PASS [$CASE]"
