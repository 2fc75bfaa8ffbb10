#!/usr/bin/env bash
# --recursive: every .krn, .xml and .krq below a folder, the folders mirrored under --output-dir;
# many runs at once on one output folder leave every page whole and no temporary file.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/fields.html"
cd "$WORK"
mkdir -p tree/one/two tree/empty
cp "$KRN_DATA_E2E/scene.krn" tree/top.krn
cp "$KRN_DATA_E2E/scene.krn" tree/one/mid.XML
cp "$KRN_DATA_E2E/scene.krn" tree/one/two/low.krq
echo "not a scene" >tree/one/notes.txt

convert -r -d out tree
expect_status 0
expect_stderr
(cd out && find . -type f | sort) >found
printf '%s\n' ./one/mid.html ./one/two/low.html ./top.html >want
cmp -s found want || { diff want found >&2; fail "the tree is not mirrored"; }
[ ! -e out/empty ] || fail "a folder without scenes was made"
expect_contains out/one/two/low.html '<object data="../../../tree/one/two/low.krq">'
expect_contains out/one/mid.html 'value="Spin"'

# Without --output-dir the pages go beside the scenes.
convert -r tree/one
expect_status 0
[ -s tree/one/mid.html ] && [ -s tree/one/two/low.html ] || fail "pages beside the scenes missing"
# Names as typed in messages; -v names every page.
convert -v -r -d out2 tree/one/
expect_contains "$ERR" "tree/one/mid.XML -> $WORK/out2/mid.html"
expect_contains "$ERR" "tree/one/two/low.krq -> $WORK/out2/two/low.html"

# Four runs at once, as xargs -P runs them, into one output folder.
mkdir -p many
for i in $(seq 1 200); do cp "$KRN_DATA_E2E/scene.krn" "many/s$i.krn"; done
find many -name '*.krn' -print0 | xargs -0 -n 20 -P 4 "$CONVERT" -d shared 2>"$ERR" ||
  fail "a parallel run failed"
[ "$(find shared -name '*.html' | wc -l)" -eq 200 ] || fail "not every page was written"
[ -z "$(find shared -type f ! -name '*.html')" ] || fail "temporary files were left"
for i in 1 100 200; do
  sed "s|many/s1.krn|many/s$i.krn|" shared/s1.html >expected.html
  expect_same_bytes shared/s$i.html expected.html
done
# The same pages written by several runs at once: each page whole.
pids=()
for _ in 1 2 3 4; do
  "$CONVERT" -d same many/s1.krn many/s2.krn &
  pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid" || fail "one of the runs on the same pages failed"; done
expect_same_bytes same/s1.html shared/s1.html
[ -z "$(find same -type f ! -name '*.html')" ] || fail "temporary files were left"
echo "PASS [$CASE]"
