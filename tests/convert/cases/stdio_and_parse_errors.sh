#!/usr/bin/env bash
# "-" reads the scene from standard input and writes the page to standard output; malformed XML
# is a warning in the words of the "XML Error" box and still gives a page, --strict makes it a
# failure.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/fields.html"
make_scenes "$WORK/s"
cd "$WORK"

# The page on standard output is the page written to a file in the current folder.
convert -o a.html s/a.krn
expect_status 0
convert -o - s/a.krn
expect_status 0
expect_stderr
expect_same_bytes "$OUT" a.html
expect_contains a.html 'onclick="startanimation('"'"'Loop'"'"')"'

# A scene from standard input: its page goes to standard output, FILENAME is empty.
STDIN=s/a.krn convert -
expect_status 0
sed 's|<object data="s/a.krn">|<object data="">|' a.html >expected.html
expect_same_bytes "$OUT" expected.html
STDIN=s/a.krn convert -o from-stdin.html -
expect_same_bytes from-stdin.html expected.html

# Malformed XML: a warning, and the page without buttons, also after a scene with buttons.
for order in "s/broken.krn s/a.krn" "s/a.krn s/broken.krn"; do
  # shellcheck disable=SC2086
  convert $order
  expect_status 0
  expect_stderr "s/broken.krn:4: Parse Error: mismatched tag"
  expect_contains s/broken.html "<form>"$'\n'"</form>"
done
STDIN=s/broken.krn convert -
expect_stderr "-:4: Parse Error: mismatched tag"
expect_contains "$OUT" "<form>"$'\n'"</form>"
convert -q s/broken.krn
expect_status 0
expect_stderr

# --strict: the same line as the failure, no page, the other scenes still done.
rm s/broken.html s/a.html
convert --strict s/broken.krn s/a.krn
expect_status 1
expect_stderr "s/broken.krn:4: Parse Error: mismatched tag"
[ ! -e s/broken.html ] || fail "--strict wrote the page of a malformed scene"
[ -s s/a.html ] || fail "--strict stopped the other scenes"
STDIN=s/broken.krn convert --strict -
expect_status 1
expect_no_output
echo "PASS [$CASE]"
