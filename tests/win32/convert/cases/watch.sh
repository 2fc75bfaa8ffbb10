#!/usr/bin/env bash
# krn2html-convert.exe --watch under Wine (ReadDirectoryChangesW): the page follows its scene
# written in place and replaced by a rename, keeps its last good page for a malformed scene,
# follows the template, and Ctrl-C (Wine turns SIGINT into the console's Ctrl-C event) ends
# the program with status 0 and no temporary file.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
cd "$WORK"
mkdir s

scene() {
  printf '<?xml version="1.0"?>\r\n<KRSScene Name="W">\r\n  <KRSTimeElem Name="%s" On="0"/>\r\n</KRSScene>\r\n' "$1"
}

# Waits up to 20 s (Wine starts slowly on a loaded machine) for the file to hold the text.
wait_for() {
  local i
  for i in $(seq 400); do
    grep -qF -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.05
  done
  fail "$3 (no '$2' in $1)"
}

watcher=""
stop_watcher() { [ -n "$watcher" ] && kill -KILL "$watcher" 2>/dev/null || true; }
trap 'stop_watcher; cleanup' EXIT

scene First >s/a.krn
# Started directly, so that $! is the Wine process that runs the program.
"$KRN_WINE" "$PROGRAM_DIR/krn2html-convert.exe" --watch s/a.krn </dev/null >"$OUT" 2>"$ERR" &
watcher=$!
wait_for s/a.html "'First'" "the first page"

while IFS='|' read -r how name; do
  case $how in
    inplace) scene "$name" >s/a.krn ;;
    rename) scene "$name" >s/a.krn.tmp && mv s/a.krn.tmp s/a.krn ;;
  esac
  wait_for s/a.html "'$name'" "the page did not follow the scene ($how)"
done <<'ROWS'
inplace|Second
rename|Third
ROWS

printf '<?xml version="1.0"?>\r\n<KRSScene Name="W">\r\n  <KRSTimeElem Name="Half' >s/a.krn
wait_for "$ERR" "Parse Error" "a malformed scene was not told"
expect_contains s/a.html "'Third'"
scene Fourth >s/a.krn
wait_for s/a.html "'Fourth'" "the page did not follow the repaired scene"

echo '<p>edited</p>' >>"$PROGRAM_DIR/HTML Support/plain.html"
wait_for s/a.html "<p>edited</p>" "the page did not follow the template"

kill -INT "$watcher"
status=0
for _ in $(seq 200); do kill -0 "$watcher" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$watcher" 2>/dev/null; then fail "Ctrl-C did not end the watch"; fi
wait "$watcher" || status=$?
watcher=""
[ "$status" -eq 0 ] || fail "Ctrl-C ended the watch with status $status"
extra=$(find s -type f ! -name a.krn ! -name a.html)
[ -z "$extra" ] || fail "files left beside the page: $extra"
echo "PASS [$CASE]"
