#!/usr/bin/env bash
# --watch: the command stays after the first page and the page follows its scene (replaced by a
# rename, written in place, deleted and brought back), the template and the remembered values;
# a malformed scene costs one line and keeps the last good page; Ctrl-C (SIGINT) ends it with
# status 0 and no temporary file, also in the middle of a run over many scenes.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/fields.html" "$KRN_DATA_E2E/plain.html"
printf 'fields.html\r\n' >"$PROGRAM_DIR/Defaults/defaulttemplate.txt"
printf '((KWB))TITLE((KWB))=Remembered\r\n' >"$PROGRAM_DIR/Defaults/Prefsfields.txt"
cd "$WORK"
mkdir s

# A scene with one animation of the given name.
scene() {
  printf '<?xml version="1.0"?>\n<KRSScene Name="W">\n  <KRSTimeElem Name="%s" On="0"/>\n</KRSScene>\n' "$1"
}

# Waits up to 5 s for the file to hold the text (the program must be done within a second; the
# margin is for a loaded machine).
wait_for() {
  local i
  for i in $(seq 100); do
    grep -qF -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.05
  done
  fail "$3 (no '$2' in $1 after 5 s)"
}

# Only scenes and pages in the folder: no temporary file of a page.
expect_no_leftovers() {
  local extra
  extra=$(find "$1" -type f ! -name '*.krn' ! -name '*.html')
  [ -z "$extra" ] || fail "files left in $1: $extra"
}

# Background jobs of a script ignore SIGINT unless job control is on.
set -m
watcher=""
stop_watcher() { [ -n "$watcher" ] && kill -KILL "$watcher" 2>/dev/null || true; }
trap 'stop_watcher; cleanup' EXIT

# Standard input cannot be watched: a usage error, and the command does not stay.
convert --watch -
expect_status 2

# --open shows the first page once, at the start: a stand-in xdg-open records each page.
mkdir bin
printf '#!/bin/sh\necho "$1" >>"%s/opened"\n' "$WORK" >bin/xdg-open
chmod +x bin/xdg-open
scene First >s/a.krn
PATH="$WORK/bin:$PATH" "$CONVERT" --watch --open s/a.krn >"$OUT" 2>"$ERR" &
watcher=$!
wait_for s/a.html "'First'" "the first page"
expect_contains s/a.html "<title>Remembered</title>"

# Each row: how the scene changes; the text the page then holds.
while IFS='|' read -r how name; do
  case $how in
    rename) scene "$name" >s/.a.krn.swp && mv s/.a.krn.swp s/a.krn ;;
    inplace) scene "$name" >s/a.krn ;;
  esac
  wait_for s/a.html "'$name'" "the page did not follow the scene ($how)"
done <<'ROWS'
rename|Second
inplace|Third
rename|Fourth
ROWS
kill -0 "$watcher" || fail "the watch ended"
[ ! -s "$ERR" ] || fail "lines on standard error for good scenes"

# Malformed (half written): one line, the page stays as it was.
printf '<?xml version="1.0"?>\n<KRSScene Name="W">\n  <KRSTimeElem Name="Half' >s/a.krn
wait_for "$ERR" "Parse Error" "a malformed scene was not told"
sleep 0.5
[ "$(wc -l <"$ERR")" -eq 1 ] || fail "a malformed scene was told in $(wc -l <"$ERR") lines"
expect_contains "$ERR" "s/a.krn:3: Parse Error: "
expect_contains s/a.html "'Fourth'"

# Deleted: told in one line, the page stays; brought back: the page follows.
rm s/a.krn
wait_for "$ERR" "s/a.krn: No such file or directory" "a deleted scene was not told"
sleep 0.5
[ "$(wc -l <"$ERR")" -eq 2 ] || fail "a deletion was told in more than one line"
expect_contains s/a.html "'Fourth'"
scene Back >s/a.krn
wait_for s/a.html "'Back'" "the page did not follow the scene's return"

# The template, edited in place and replaced by a rename; the remembered values; the remembered
# default template (the page changes template, which is then the one followed).
template="$PROGRAM_DIR/HTML Support/fields.html"
sed -i 's|<h1>|<h1 class="edited">|' "$template"
wait_for s/a.html '<h1 class="edited">' "the page did not follow the template"
sed 's|<h1 class="edited">|<h1 class="renamed">|' "$template" >"$template.new" && mv "$template.new" "$template"
wait_for s/a.html '<h1 class="renamed">' "the page did not follow a template replaced by a rename"
printf '((KWB))TITLE((KWB))=Changed\r\n' >"$PROGRAM_DIR/Defaults/Prefsfields.txt"
wait_for s/a.html "<title>Changed</title>" "the page did not follow the remembered values"
printf 'plain.html\r\n' >"$PROGRAM_DIR/Defaults/defaulttemplate.txt"
wait_for s/a.html "<p>$KRN_VERSION</p>" "the page did not follow the remembered template"
printf '<p>plain edited</p>\n' >>"$PROGRAM_DIR/HTML Support/plain.html"
wait_for s/a.html "<p>plain edited</p>" "the newly chosen template is not followed"

# Pages written beside the scene, and other files there, start no conversion. A page written
# again is a new file (the touch itself changes the page's time).
before=$(stat -c %i s/a.html)
touch s/other.txt s/a.html
sleep 0.5
[ "$(stat -c %i s/a.html)" = "$before" ] || fail "a change to another file rewrote the page"
rm s/other.txt

[ "$(cat opened)" = "$WORK/s/a.html" ] || fail "--open showed: $(cat opened)"

# Ctrl-C: status 0, nothing left behind, nothing told.
lines=$(wc -l <"$ERR")
kill -INT "$watcher"
status=0
wait "$watcher" || status=$?
watcher=""
[ "$status" -eq 0 ] || fail "Ctrl-C ended the watch with status $status"
[ "$(wc -l <"$ERR")" -eq "$lines" ] || fail "Ctrl-C was told on standard error"
expect_no_leftovers s

# SIGINT while many pages are written again (the template changed): the conversion in hand ends
# whole, the watch ends with 0, and no temporary file stays. SIGTERM likewise.
mkdir m
for i in $(seq 300); do scene "S$i" >"m/s$i.krn"; done
for signal in INT TERM; do
  rm -f m/*.html
  "$CONVERT" --watch -q -j 2 -r m >"$OUT" 2>"$ERR" &
  watcher=$!
  # The first run is over once every page is there.
  for _ in $(seq 200); do
    [ "$(find m -name '*.html' | wc -l)" -eq 300 ] && break
    sleep 0.05
  done
  [ "$(find m -name '*.html' | wc -l)" -eq 300 ] || fail "the first run over many scenes"
  # One changed scene among many: its page alone is written again.
  before=$(stat -c %Y.%i m/s6.html m/s300.html)
  scene "Changed$signal" >m/s5.krn
  wait_for m/s5.html "'Changed$signal'" "the page of one scene among many"
  sleep 0.3
  [ "$(stat -c %Y.%i m/s6.html m/s300.html)" = "$before" ] || fail "other pages were written again"
  echo "<!-- $signal -->" >>"$PROGRAM_DIR/HTML Support/plain.html"
  for i in $(seq 100); do
    [ "$(grep -l -- "<!-- $signal -->" m/*.html 2>/dev/null | wc -l)" -gt 0 ] && break
    sleep 0.01
  done
  kill "-$signal" "$watcher"
  status=0
  wait "$watcher" || status=$?
  watcher=""
  [ "$status" -eq 0 ] || fail "SIG$signal during conversions ended with status $status"
  [ ! -s "$ERR" ] || fail "SIG$signal during conversions told something"
  expect_no_leftovers m
  for page in m/*.html; do
    tail -c 200 "$page" | grep -q '</html>' || fail "$page was left incomplete"
  done
done

# The settings in the user's folder, made only by the first save: its making is seen, and the
# values saved there are used from then on.
rm -rf "$PROGRAM_DIR/Defaults"
mkdir -p "$XDG_CONFIG_HOME"
scene User >s/a.krn
"$CONVERT" --watch -t fields.html s/a.krn >"$OUT" 2>"$ERR" &
watcher=$!
wait_for s/a.html "'User'" "the first page with the settings in the user's folder"
expect_contains s/a.html "<title>My Scene</title>"
mkdir -m 700 "$USER_SETTINGS"
printf '((KWB))TITLE((KWB))=Saved later\r\n' >"$USER_SETTINGS/Prefsfields.txt"
wait_for s/a.html "<title>Saved later</title>" "values saved in a new settings folder are not followed"
printf '((KWB))TITLE((KWB))=Saved again\r\n' >"$USER_SETTINGS/Prefsfields.txt"
wait_for s/a.html "<title>Saved again</title>" "the new settings folder is not watched"
kill -INT "$watcher"
status=0
wait "$watcher" || status=$?
watcher=""
[ "$status" -eq 0 ] || fail "Ctrl-C ended the watch with status $status"
[ ! -s "$ERR" ] || fail "the settings in the user's folder were told about"
echo "PASS [$CASE]"
