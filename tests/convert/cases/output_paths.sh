#!/usr/bin/env bash
# Page paths the command cannot use: an empty --output or --output-dir is a usage error, a path
# too long fails that scene with the path named; only "-o -" means standard output; the page of
# standard input goes into --output-dir.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
make_scenes "$WORK/s"
cd "$WORK"

for args in "-o|" "--output=|" "-d|" "--output-dir=|" "-d||-" "-o||-"; do
  IFS='|' read -r -a argv <<<"$args|"
  convert "${argv[@]}" s/a.krn
  expect_status 2 "${argv[@]}"
  expect_no_output
  grep -qE "^krn2html-convert: --output(-dir)? needs a (file|folder) name" "$ERR" ||
    fail "'${argv[*]}': no usage line naming the option"
done
[ -z "$(ls "$PROGRAM_DIR" | grep -v -e krn2html-convert -e 'HTML Support' -e Defaults)" ] ||
  fail "an empty --output-dir wrote into the program's folder"
[ ! -e s/a.html ] || fail "a usage error wrote a page"

# Too long for the program (one name of 300 characters) and too long for any path (1100).
long300=$(printf 'x%.0s' $(seq 300))
long1100=$(printf 'y%.0s' $(seq 1100))
for page in "$WORK/$long300.html" "$WORK/$long1100.html" "$long300.html"; do
  convert -o "$page" s/a.krn
  expect_status 1 -o "${#page} characters"
  expect_no_output
  case "$page" in /*) shown=$page ;; *) shown="$WORK/$page" ;; esac
  expect_stderr "krn2html-convert: s/a.krn: The path is too long: $shown"
done
convert -d "$WORK/$long300" s/a.krn s/b.krn
expect_status 1
expect_no_output
expect_stderr "krn2html-convert: s/a.krn: The path is too long: $WORK/$long300/a.html" \
  "krn2html-convert: s/b.krn: The path is too long: $WORK/$long300/b.html"
convert -d "$WORK/$long1100" s/a.krn
expect_status 1
expect_stderr "krn2html-convert: s/a.krn: The path is too long: $WORK/$long1100"
# A folder that fits with a scene name that makes the page too long.
deep="$WORK/$(printf 'f%.0s' $(seq 200))"
mkdir -p "$deep/$(printf 'g%.0s' $(seq 40))"
convert -d "$deep" "s/a.krn"
expect_status 0 "-d of 200 characters"
cp s/a.krn "s/$(printf 'n%.0s' $(seq 80)).krn"
convert -d "$deep" "s/$(printf 'n%.0s' $(seq 80)).krn"
expect_status 1 "page name beyond the limit"
expect_contains "$ERR" "The path is too long: $deep/nnnn"

# Standard input: "-o -" and no option give standard output; -d DIR gives DIR/page.html.
STDIN=s/a.krn convert -o - -
expect_status 0
expect_contains "$OUT" "triggeranimation('Spin')"
STDIN=s/a.krn convert -d out -
expect_status 0
expect_no_output
expect_contains out/page.html "triggeranimation('Spin')"
STDIN=s/a.krn convert -o mine.html -
expect_status 0
expect_no_output
expect_contains mine.html "triggeranimation('Spin')"
echo "PASS [$CASE]"
