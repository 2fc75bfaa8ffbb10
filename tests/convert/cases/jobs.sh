#!/usr/bin/env bash
# -j: 200 scenes, some malformed and some missing, converted by four workers give the pages,
# standard error (in the order of the scenes) and exit status of one scene after the other.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/fields.html"
cd "$WORK"

# Scenes with their own animation names, so that every page differs; every 37th one malformed.
mkdir s
operands=()
for i in $(seq -w 1 200); do
  if ((10#$i % 37 == 0)); then
    cp "$KRN_DATA_E2E/broken.krn" "s/$i.krn"
  else
    sed "s/Spin/Spin$i/; s/Loop/Loop$i/" "$KRN_DATA_E2E/scene.krn" >"s/$i.krn"
  fi
  operands+=("s/$i.krn")
  # Missing scenes and a folder among them.
  ((10#$i % 61 == 0)) && operands+=("s/missing$i.krn")
  ((10#$i == 100)) && operands+=("s")
done
[ ${#operands[@]} -eq 204 ] || fail "the scene list was not made"

# Runs the converter with the given options into out<label>, keeping its streams and status.
run_into() {
  local label=$1
  shift
  rm -rf "out$label"
  convert "$@" -d "out$label" "${operands[@]}"
  # The output folder named in messages is the only difference allowed.
  sed "s|out$label|OUT|g" "$ERR" >"err$label"
  echo "$STATUS" >"status$label"
  [ -s "out$label/001.html" ] || fail "no pages with $*"
}

# Each row: the options of both runs. -v names every page, so that order shows.
for options in "-v" "" "-q" "--strict -v"; do
  # shellcheck disable=SC2086
  run_into 1 -j 1 $options
  # shellcheck disable=SC2086
  run_into 4 -j 4 $options
  # shellcheck disable=SC2086
  run_into D $options
  for other in 4 D; do
    diff -r out1 "out$other" >/dev/null || fail "pages of '-j $other $options' differ from -j 1"
    cmp -s err1 "err$other" || {
      diff err1 "err$other" >&2 || true
      fail "standard error of '-j $other $options' differs from -j 1"
    }
    cmp -s status1 "status$other" || fail "status of '-j $other $options' differs from -j 1"
  done
  [ "$(cat status1)" -eq 1 ] || fail "missing scenes did not fail the run ($options)"
done
# The last run (--strict -v) wrote and named the page of every well-formed scene, told each
# failure and kept the order of the scenes.
[ "$(find out1 -name '*.html' | wc -l)" -eq 195 ] || fail "not 195 pages"
[ "$(grep -c -- "-> " err1)" -eq 195 ] || fail "not every page was named"
expect_contains err1 "s/037.krn:4: Parse Error"
expect_contains err1 "krn2html-convert: s/missing061.krn: No such file or directory"
expect_contains err1 "krn2html-convert: s: Is a folder"
grep -o '^[^:]*s/[0-9]*\.krn' err1 | sed 's|.*s/||' >order
sort -c order 2>/dev/null || fail "standard error is not in the order of the scenes"

# Standard input among the scenes: with -d its page goes into that folder as page.html.
STDIN=s/001.krn convert -j 4 -d outI s/002.krn - s/003.krn
expect_status 0
grep -q "Spin001" outI/page.html || fail "the page of standard input is not outI/page.html"
[ ! -s "$OUT" ] || fail "a page went to standard output"
[ -s outI/002.html ] && [ -s outI/003.html ] || fail "the pages of the files were not written"

# A count of jobs that is not one.
for bad in "-j 0" "-j x" "--jobs=" "-j 1025" "--jobs=2k"; do
  # shellcheck disable=SC2086
  convert $bad s/001.krn
  expect_status 2 $bad
  expect_contains "$ERR" "invalid number of jobs"
done
echo "PASS [$CASE]"
