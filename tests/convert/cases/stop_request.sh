#!/usr/bin/env bash
# Ctrl-C (SIGINT) and SIGTERM during a run: status 130, "stopped" on standard error, no
# temporary file, and every page either its old bytes or the whole new page, whenever the
# signal comes (during a read or while a page is written).
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
cd "$WORK"
mkdir -p s ref

# Three scenes of about 30 MB: many blocks to read and a page of a few MB to write.
awk 'BEGIN {
  print "<S>"
  for (i = 1; i <= 20000; i++) printf "<KRSTimeElem Name=\"A%d\" On=\"0\"/>\n", i
  for (i = 0; i < 2600000; i++) print "<g a=\"1\"/>"
  print "</S>"
}' >s/a.krn
cp s/a.krn s/b.krn
cp s/a.krn s/c.krn

# The pages of a run that is not stopped.
convert -j 1 -d ref s/a.krn s/b.krn s/c.krn
expect_status 0
[ -s ref/a.html ] || fail "no reference page"

# Background jobs of a script ignore SIGINT unless job control is on.
set -m
for signal in INT TERM; do
  stopped=0
  for delay in 0.05 0.2 0.4 0.7 1.0; do
    rm -rf pages
    mkdir pages
    for name in a b c; do printf 'old page %s\r\n' "$name" >"pages/$name.html"; done
    "$CONVERT" -j 1 -d pages s/a.krn s/b.krn s/c.krn </dev/null >"$OUT" 2>"$ERR" &
    pid=$!
    sleep "$delay"
    kill -s "$signal" "$pid" 2>/dev/null || true
    STATUS=0
    wait "$pid" || STATUS=$?
    # A run that ended before the signal came is no test of it; every other one stopped.
    if [ "$STATUS" -eq 0 ]; then
      echo "($CASE: the run ended before SIG$signal after ${delay}s)"
    elif [ "$STATUS" -eq $((128 + $(kill -l "$signal"))) ] && [ ! -s "$ERR" ]; then
      # The signal came before the program could catch it (the sanitizer build takes tens of
      # milliseconds to start) and ended it at once; its pages are checked as after a stop.
      echo "($CASE: SIG$signal after ${delay}s came before the run began)"
    else
      expect_status 130 "(SIG$signal after ${delay}s)"
      expect_stderr "krn2html-convert: stopped"
      stopped=$((stopped + 1))
    fi
    left=$(ls -A pages | grep -v -x -e a.html -e b.html -e c.html || true)
    [ -z "$left" ] || fail "SIG$signal after ${delay}s left files behind: $left"
    for name in a b c; do
      if ! cmp -s "pages/$name.html" "ref/$name.html"; then
        [ "$(cat "pages/$name.html")" = "$(printf 'old page %s\r\n' "$name")" ] ||
          fail "SIG$signal after ${delay}s: pages/$name.html is neither the old nor the new page"
      fi
    done
  done
  [ "$stopped" -gt 0 ] || fail "no run caught SIG$signal and stopped"
done
set +m
echo "PASS [$CASE]"
