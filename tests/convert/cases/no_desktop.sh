#!/usr/bin/env bash
# The command needs no desktop: it links no GUI toolkit (neither FLTK nor X11, Xft or
# fontconfig), and without a display, a window manager or a desktop session it converts
# scenes and tells a broken one on standard error, as with them.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/fields.html"
make_scenes "$WORK/s"
cd "$WORK"

ldd "$CONVERT" >"$WORK/ldd" 2>&1 || fail "ldd failed: $(cat "$WORK/ldd")"
if grep -iE 'fltk|libX|xft|fontconfig|freetype|gtk|cairo' "$WORK/ldd" >"$WORK/gui"; then
  fail "krn2html-convert links a GUI library: $(cat "$WORK/gui")"
fi
grep -q 'libexpat' "$WORK/ldd" || fail "ldd shows no expat, so it did not read the program: $(cat "$WORK/ldd")"

# No display at all, and a display that cannot be opened: the same pages, the same report.
for display in unset ":987"; do
  rm -f s/*.html
  STATUS=0
  if [ "$display" = unset ]; then
    env -u DISPLAY -u WAYLAND_DISPLAY "$CONVERT" s/a.krn s/broken.krn </dev/null >"$OUT" 2>"$ERR" || STATUS=$?
  else
    env DISPLAY="$display" "$CONVERT" s/a.krn s/broken.krn </dev/null >"$OUT" 2>"$ERR" || STATUS=$?
  fi
  expect_status 0
  expect_no_output
  [ -s s/a.html ] && [ -s s/broken.html ] || fail "no pages with DISPLAY $display"
  grep -q 'Parse Error' "$ERR" || fail "the broken scene was not told on standard error (DISPLAY $display)"
  grep -q 'XML Error' "$ERR" && fail "a message box stood in for the parse error line"
  cp s/a.html "a-$display.html"
done
expect_same_bytes a-unset.html "a-:987.html"
echo "PASS [$CASE]"
