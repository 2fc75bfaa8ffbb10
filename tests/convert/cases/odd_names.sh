#!/usr/bin/env bash
# Linux names the program's Windows-shaped view of paths must not misread: a ':' in a name is no
# drive and no separator, relative or absolute; a '\' in a name is refused with its own message,
# never taken for a separator (which would name another file).
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
cd "$WORK"

# The page's FILENAME (the link to the scene).
link_of() {
  grep -o 'data="[^"]*"' "$1" | sed 's/^data="//; s/"$//'
}
expect_link() {
  [ -s "$1" ] || fail "no page $1"
  [ "$(link_of "$1")" = "$2" ] || fail "$1 links to '$(link_of "$1")', expected '$2'"
}

# A relative path that starts with a letter and a colon is a folder "a:b", never drive A:.
mkdir -p "a:b" "c:"
cp "$KRN_DATA_E2E/scene.krn" "a:b/s.krn"
cp "$KRN_DATA_E2E/scene.krn" "c:s.krn"
for scene in "a:b/s.krn" "$WORK/a:b/s.krn" "./a:b/s.krn"; do
  rm -f p.html
  convert -t plain.html -o p.html "$scene"
  expect_status 0 "$scene"
  expect_stderr
  expect_link p.html "a:b/s.krn"
done
for page in "a:b/p.html" "$WORK/a:b/p.html"; do
  rm -f "a:b/p.html"
  convert -t plain.html -o "$page" "a:b/s.krn"
  expect_status 0 "-o $page"
  expect_link "a:b/p.html" "s.krn"
done
convert -t plain.html "c:s.krn"
expect_status 0
expect_link "c:s.html" "c:s.krn"
convert -t plain.html -d "c:" "a:b/s.krn"
expect_status 0
expect_link "c:/s.html" "../a:b/s.krn"
convert -t plain.html -r -d "c:/tree" "a:b"
expect_status 0
expect_link "c:/tree/s.html" "../../a:b/s.krn"

# A ':' inside a folder name is part of the name when the link is made.
mkdir -p "x/a:bc" "x/a:bd"
cp "$KRN_DATA_E2E/scene.krn" "x/a:bc/s.krn"
convert -t plain.html -o "$WORK/x/a:bd/p.html" "$WORK/x/a:bc/s.krn"
expect_status 0
expect_link "x/a:bd/p.html" "../a:bc/s.krn"
rm "x/a:bd/p.html"
(cd x && "$CONVERT" -t plain.html -o "a:bd/p.html" "a:bc/s.krn") >"$OUT" 2>"$ERR" ||
  fail "relative a:bd/p.html from a:bc/s.krn"
expect_link "x/a:bd/p.html" "../a:bc/s.krn"

# A '\' in a name: refused with the full native path; the file the view would have taken
# (b/s/s.krn) is never converted.
mkdir -p 'b\s' b/s
cp "$KRN_DATA_E2E/scene.krn" 'b\s/s.krn'
cp "$KRN_DATA_E2E/scene.krn" b/s/s.krn
cp "$KRN_DATA_E2E/scene.krn" plain.krn
for scene in 'b\s/s.krn' "$WORK/b\\s/s.krn"; do
  convert -t plain.html "$scene"
  expect_status 1 "$scene"
  expect_stderr "krn2html-convert: $scene: File names with a backslash are not supported: $WORK/b\\s/s.krn"
  [ ! -e b/s/s.html ] && [ ! -e 'b\s/s.html' ] || fail "$scene made a page"
done
convert -t plain.html -o 'q\r.html' plain.krn
expect_status 1
expect_stderr "krn2html-convert: plain.krn: File names with a backslash are not supported: $WORK/q\\r.html"
convert -t plain.html -d 'o\d' plain.krn
expect_status 1
expect_stderr "krn2html-convert: plain.krn: File names with a backslash are not supported: $WORK/o\\d"
[ ! -e o ] && [ ! -e 'o\d' ] || fail "a folder was made for a refused output folder"

# Scenes found by a walk: the others are converted, each refused name has one line.
mkdir -p tree/sub 'tree/f\g'
cp "$KRN_DATA_E2E/scene.krn" tree/good.krn
cp "$KRN_DATA_E2E/scene.krn" 'tree/sub/b\d.krn'
cp "$KRN_DATA_E2E/scene.krn" 'tree/f\g/s.krn'
convert -t plain.html -r tree
expect_status 1
expect_stderr \
  "krn2html-convert: $WORK/tree/f\\g: File names with a backslash are not supported: $WORK/tree/f\\g" \
  "krn2html-convert: $WORK/tree/sub/b\\d.krn: File names with a backslash are not supported: $WORK/tree/sub/b\\d.krn"
expect_link tree/good.html "good.krn"
[ ! -e tree/sub/b ] && [ ! -e tree/f ] || fail "a walk entered a wrong path"

# Run from inside a folder whose name holds a '\': relative paths are refused as such, absolute
# ones work.
mkdir -p 'w\x/y'
cp "$KRN_DATA_E2E/plain.html" f.html
cd 'w\x/y'
convert -t ../../f.html "$WORK/plain.krn"
expect_status 2
expect_contains "$ERR" "krn2html-convert: File names with a backslash are not supported: $WORK/w\\x/y/../../f.html"
convert -t "$WORK/f.html" ../../plain.krn
expect_status 1
expect_stderr "krn2html-convert: ../../plain.krn: File names with a backslash are not supported: $WORK/w\\x/y/../../plain.krn"
rm -f "$WORK/plain.html"
convert -t "$WORK/f.html" "$WORK/plain.krn"
expect_status 0
expect_link "$WORK/plain.html" "plain.krn"
echo "PASS [$CASE]"
