#!/usr/bin/env bash
# --open: the first page written goes to the user's browser, through a stand-in xdg-open early
# on PATH that records its argument; a browser that cannot be started costs one line on
# standard error and leaves the status alone.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/fields.html"
make_scenes "$WORK/s"
cd "$WORK"
mkdir bin empty
# The stand-in: records its argument, exits with $OPEN_STATUS (0 by default).
cat >bin/xdg-open <<'SCRIPT'
#!/bin/sh
echo "$1" >>"$OPENED"
exit "${OPEN_STATUS:-0}"
SCRIPT
chmod +x bin/xdg-open
export OPENED="$WORK/opened"
system_path=$PATH

# Each row: the options and scenes; the page expected in the browser ("" for none); the status.
while IFS='|' read -r args page status; do
  rm -f "$OPENED" s/*.html
  # shellcheck disable=SC2086
  PATH="$WORK/bin:$system_path" convert --open $args
  expect_status "$status" "--open $args"
  if [ -z "$page" ]; then
    [ ! -e "$OPENED" ] || fail "--open $args opened $(cat "$OPENED")"
  else
    [ "$(cat "$OPENED" 2>/dev/null)" = "$WORK/$page" ] ||
      fail "--open $args opened '$(cat "$OPENED" 2>/dev/null)', not $page"
  fi
  [ ! -s "$ERR" ] || grep -qv "could not open" "$ERR" || fail "--open $args told a browser failure"
done <<'ROWS'
s/a.krn|s/a.html|0
s/a.krn s/b.krn|s/a.html|0
-j 4 s/b.krn s/a.krn|s/b.html|0
s/missing.krn s/b.krn|s/b.html|1
-j 3 --strict s/broken.krn s/missing.krn s/a.krn s/b.krn|s/a.html|1
-d out s/b.krn|out/b.html|0
-o - s/a.krn||0
s/missing.krn||1
ROWS

# No browser: xdg-open missing from PATH, or failing. One line, the status of the conversion.
PATH="$WORK/empty" convert --open s/a.krn
expect_status 0
[ -s s/a.html ] || fail "the page was not written"
expect_stderr "krn2html-convert: could not open $WORK/s/a.html in a browser: xdg-open: No such file or directory"
OPEN_STATUS=3 PATH="$WORK/bin:$system_path" convert -q --open s/missing.krn s/a.krn
expect_status 1
expect_stderr "krn2html-convert: s/missing.krn: No such file or directory" \
  "krn2html-convert: could not open $WORK/s/a.html in a browser: xdg-open ended with status 3"
# The real xdg-open, outside a desktop, hands the page to the program BROWSER names.
if real=$(PATH=$system_path command -v xdg-open); then
  cat >browser <<'SCRIPT'
#!/bin/sh
echo "$1" >>"$OPENED"
SCRIPT
  chmod +x browser
  rm -f "$OPENED"
  env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CURRENT_DESKTOP BROWSER="$WORK/browser" \
    PATH="$(dirname "$real"):$system_path" "$CONVERT" --open s/b.krn >"$OUT" 2>"$ERR" ||
    fail "--open with BROWSER failed"
  [ "$(cat "$OPENED" 2>/dev/null)" = "$WORK/s/b.html" ] || fail "BROWSER did not get the page"
fi
echo "PASS [$CASE]"
