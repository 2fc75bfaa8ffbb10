#!/usr/bin/env bash
# Under a window manager the layout's size is the outer size, frame included
# (481 x 75 with a field-less template), and a rebuilt window keeps the outer
# top-left corner. A quick click on free space moves to the next template.
. "$(dirname "$0")/../lib.sh"
start_display
openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
WM_PID=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "the window manager did not start"
make_program_folder "$KRN_DATA_E2E/plain.html" "$KRN_DATA_E2E/fields.html"
printf 'plain.html\r\n' >"$PROGRAM_DIR/Defaults/defaulttemplate.txt"

# Sets OX, OY, OW, OH to the outer rectangle of client window $1.
outer_rect() {
  local extents l r t b
  for _ in $(seq 50); do
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p')
    [ -n "$extents" ] && break
    sleep 0.1
  done
  [ -n "$extents" ] || fail "the window manager set no frame extents"
  IFS=', ' read -r l r t b <<<"$extents"
  window_geometry "$1"
  OX=$((X - l)); OY=$((Y - t)); OW=$((W + l + r)); OH=$((H + t + b))
}

# Waits up to 5 s for the outer size of client window $1 to be $2 x $3 (the frame comes some
# time after the window is mapped), then sets OX, OY, OW, OH once
# the window has settled.
wait_outer_size() {
  for _ in $(seq 50); do
    outer_rect "$1"
    [ "$OW" -eq "$2" ] && [ "$OH" -eq "$3" ] && break
    sleep 0.1
  done
  # The program may still be taking the window manager's last move.
  sleep 0.5
  outer_rect "$1"
}

start_program
win=$(wait_window "$MAIN_TITLE")
wait_outer_size "$win" 481 75
[ "$OW" -eq 481 ] && [ "$OH" -eq 75 ] || fail "outer size ${OW}x${OH} (client ${W}x${H}), expected 481x75"
[ "$OX" -eq 312 ] && [ "$OY" -eq 334 ] || fail "outer corner at $OX,$OY, expected 312,334"
screenshot managed-window
ox=$OX; oy=$OY
# Free space: below the template label, left of the client's bottom edge.
pointer_to $((X + W - 3)) $((Y + H - 2))
xdotool click 1
wait_id_gone "$win" 5
win=$(wait_window "$MAIN_TITLE")
wait_outer_size "$win" 481 125
[ "$OW" -eq 481 ] && [ "$OH" -eq 125 ] || fail "rebuilt outer size ${OW}x${OH}, expected 481x125 (two fields)"
[ "$OX" -eq "$ox" ] && [ "$OY" -eq "$oy" ] || fail "rebuilt window moved from $ox,$oy to $OX,$OY"
[ "$(cat "$PROGRAM_DIR/Defaults/defaulttemplate.txt")" = $'fields.html\r' ] ||
  fail "the quick click did not choose the next template"
"$KRN_XPROBE" close "$win"
expect_exit 0
kill "$WM_PID" 2>/dev/null || true
echo "PASS [$CASE]"
