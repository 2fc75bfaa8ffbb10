# Shared helpers of the end-to-end cases: a private X display, a private
# program folder, waiting for windows, input and screenshots.
#
# Environment (set by CTest): KRN_PROGRAM (the built executable), KRN_DATA
# (the repository's data/ folder), KRN_XDND (xdnd_drop), KRN_XPROBE (x_probe),
# KRN_ARTIFACTS (folder for screenshots), KRN_VERSION (dotted product version).
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/large_scene.sh"
CASE=$(basename "$0" .sh)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/krn-e2e-$CASE.XXXXXX")
PROGRAM_DIR="$WORK/program"
ARTIFACTS="${KRN_ARTIFACTS:-$WORK/artifacts}"
mkdir -p "$ARTIFACTS"
XVFB_PID=""
PROGRAM_PID=""
# A private home: the file dialogs start there, the desktop's chooser keeps its
# state there, and the program's verbose log names the dialog that ran.
export HOME="$WORK/home"
# The desktop's chooser keeps its list of recent files in the home's data folder.
mkdir -p "$HOME/.local/share"
export KRN2HTML_VERBOSE=1
SCREEN_W=1024
SCREEN_H=768

cleanup() {
  local status=$?
  if [ -n "$PROGRAM_PID" ] && kill -0 "$PROGRAM_PID" 2>/dev/null; then kill "$PROGRAM_PID" 2>/dev/null || true; fi
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  if [ $status -eq 0 ]; then rm -rf "$WORK"; else echo "($CASE: work folder kept at $WORK)"; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL [$CASE]: $*" >&2
  if [ -n "${DISPLAY:-}" ]; then import -window root "$ARTIFACTS/$CASE-failure.png" 2>/dev/null || true; fi
  exit 1
}

# Starts Xvfb on a free display number and exports DISPLAY.
start_display() {
  local fifo="$WORK/displayfd"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 ${SCREEN_W}x${SCREEN_H}x24 -nolisten tcp -noreset 3>"$fifo" >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local number=""
  read -r -t 20 number <"$fifo" || fail "Xvfb did not start (see $WORK/xvfb.log)"
  export DISPLAY=":$number"
  unset XAUTHORITY
}

# Lays out a private program folder with the given template files (paths).
make_program_folder() {
  mkdir -p "$PROGRAM_DIR/HTML Support" "$PROGRAM_DIR/Defaults"
  cp "$KRN_PROGRAM" "$PROGRAM_DIR/krn2html"
  local t
  for t in "$@"; do cp "$t" "$PROGRAM_DIR/HTML Support/"; done
}

# Starts the program in the background, its output kept in the work folder.
start_program() {
  "$PROGRAM_DIR/krn2html" "$@" >"$WORK/program.log" 2>&1 &
  PROGRAM_PID=$!
}

# Prints the id of the visible window whose title is exactly $1, waiting up to
# $2 seconds (default 15); fails the case when none appears.
wait_window() {
  local title=$1 timeout=${2:-15} ids
  local end=$((SECONDS + timeout))
  while [ $SECONDS -lt $end ]; do
    ids=$(xdotool search --onlyvisible --name "^$(printf '%s' "$title" | sed 's/[][\.*^$()+?{}|]/\\&/g')\$" 2>/dev/null || true)
    if [ -n "$ids" ]; then echo "$ids" | head -1; return 0; fi
    sleep 0.1
  done
  fail "no window titled \"$title\" within ${timeout}s"
}

# Waits until no visible window is titled exactly $1.
wait_window_gone() {
  local title=$1 timeout=${2:-15}
  local end=$((SECONDS + timeout))
  while [ $SECONDS -lt $end ]; do
    xdotool search --onlyvisible --name "^$(printf '%s' "$title" | sed 's/[][\.*^$()+?{}|]/\\&/g')\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "the window \"$title\" is still open after ${timeout}s"
}

# Sets X, Y, W, H to a window's position (root coordinates) and size.
window_geometry() {
  local info
  info=$(xwininfo -id "$1") || fail "xwininfo failed for window $1"
  X=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
  Y=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
  W=$(echo "$info" | awk '/^ *Width:/ {print $2}')
  H=$(echo "$info" | awk '/^ *Height:/ {print $2}')
}

# Moves the pointer to a screen point and waits until it is there (xdotool's
# --sync would wait forever for a move to where the pointer already is).
pointer_to() {
  local X Y SCREEN WINDOW
  eval "$(xdotool getmouselocation --shell)"
  if [ "$X" -ne "$1" ] || [ "$Y" -ne "$2" ]; then xdotool mousemove --sync "$1" "$2"; fi
}

# Clicks at a point given in window $1's coordinates.
click_in() {
  window_geometry "$1"
  pointer_to $((X + $2)) $((Y + $3))
  xdotool click 1
}

# Replaces the text of the focused input of window $1 by $2 and presses
# Return. With no window manager the keyboard follows the pointer, so the
# pointer is parked over the window first; keys go through XTest.
type_into() {
  window_geometry "$1"
  pointer_to $((X + W / 2)) $((Y + 10))
  sleep 0.1
  xdotool key Home shift+End
  xdotool type --delay 2 -- "$2"
  sleep 0.1
  xdotool key Return
}

# Switches the desktop's chooser off through FLTK's own user preferences, so the
# program falls back to its own file dialog.
use_own_file_dialog() {
  mkdir -p "$HOME/.fltk/fltk.org"
  printf '; FLTK preferences file format 1.0\n; vendor: fltk.org\n; application: fltk\n\n[./options]\n\nFNFCUsesGTK:0\n' \
    >"$HOME/.fltk/fltk.org/fltk.prefs"
}

# Checks that every file dialog the program showed was the desktop's chooser
# ($1 = desktop) or the program's own dialog ($1 = own), and that there was one.
expect_dialogs_by() {
  local want="the desktop's chooser" other="the program's own dialog"
  if [ "$1" = own ]; then want="the program's own dialog"; other="the desktop's chooser"; fi
  grep -q "file dialog .*: $want" "$WORK/program.log" || fail "no dialog by $want (log: $(cat "$WORK/program.log"))"
  if grep -q "file dialog .*: $other" "$WORK/program.log"; then
    fail "a dialog by $other ran (log: $(cat "$WORK/program.log"))"
  fi
}

# Types $2 into the location field of the desktop's open dialog $1 (Ctrl+L
# opens it; a path without a leading '/' is taken from the dialog's folder)
# and presses Return.
type_location() {
  window_geometry "$1"
  pointer_to $((X + W / 2)) $((Y + 10))
  sleep 0.1
  xdotool key ctrl+l
  sleep 0.3
  xdotool type --delay 2 -- "$2"
  sleep 0.1
  xdotool key Return
}

# Checks that window $1 is centred on the screen (within 2 pixels).
expect_centred() {
  window_geometry "$1"
  local dx=$((X + W / 2 - SCREEN_W / 2)) dy=$((Y + H / 2 - SCREEN_H / 2))
  [ ${dx#-} -le 2 ] && [ ${dy#-} -le 2 ] || fail "window $1 at $X,$Y size ${W}x$H is not centred on the screen"
}

# Answers a file dialog titled $1 with the path $2, waiting for it up to $3 seconds (15).
answer_file_dialog() {
  local dialog
  dialog=$(wait_window "$1" "${3:-15}")
  sleep 0.3
  type_into "$dialog" "$2"
  wait_id_gone "$dialog"
}

# Waits until the window with id $1 is no longer viewable (or destroyed).
wait_id_gone() {
  local end=$((SECONDS + ${2:-15}))
  while [ $SECONDS -lt $end ]; do
    xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable' || return 0
    sleep 0.1
  done
  fail "window $1 is still shown after ${2:-15}s"
}

# Waits for a file to exist and stop growing.
wait_file() {
  local end=$((SECONDS + ${2:-15}))
  while [ $SECONDS -lt $end ]; do
    if [ -s "$1" ]; then sleep 0.2; return 0; fi
    sleep 0.1
  done
  fail "the file $1 was not written"
}

# Compares a file with the expected bytes in another file.
expect_same_bytes() {
  cmp -s "$1" "$2" || {
    echo "--- expected ($2)"; cat -A "$2"; echo "--- got ($1)"; cat -A "$1" || true
    fail "$1 does not hold the expected bytes"
  }
}

# Keeps a screenshot of the whole screen as an artifact.
screenshot() {
  import -window root "$ARTIFACTS/$1.png" || fail "screenshot $1 failed"
  echo "screenshot: $ARTIFACTS/$1.png"
}

# Sets BOX_L, BOX_T, BOX_W and BOX_H to the inside of the first pure white
# box (an edit field) that column $2 of the image $1 meets from the top.
white_box_at() {
  local image=$1 column=$2 height width top bottom
  height=$(identify -format %h "$image") && width=$(identify -format %w "$image") ||
    fail "cannot read $image"
  read -r top bottom < <(convert "$image" +repage -crop "1x${height}+${column}+0" +repage txt:- |
    awk -F'[,:]' 'NR > 1 { white = /#FFFFFF/; y = $2 + 0
      if (white && top == "") top = y
      if (!white && top != "" && bottom == "") bottom = y }
      END { if (bottom == "") bottom = y + 1; print top, bottom }')
  [ -n "$top" ] || fail "no white box in column $column of $image"
  local left right
  read -r left right < <(convert "$image" +repage -crop "${width}x1+0+$((top + 1))" +repage txt:- |
    awk -F'[,:]' -v c="$column" 'NR > 1 { white = /#FFFFFF/; x = $1 + 0
      if (x <= c && !white) left = x + 1
      if (x > c && !white && right == "") right = x }
      END { if (right == "") right = x + 1; print left + 0, right }')
  BOX_L=$left BOX_T=$top BOX_W=$((right - left)) BOX_H=$((bottom - top))
}

# Sets INK_W and INK_H to the size of the dark pixels (text) inside the box
# ($2 $3 $4 $5: left top width height) of the image $1, two pixels in from its edges.
ink_in() {
  local geometry
  geometry=$(convert "$1" +repage -crop "$(($4 - 4))x$(($5 - 4))+$(($2 + 2))+$(($3 + 2))" +repage \
    -colorspace Gray -threshold 50% -format '%@' info:) || fail "cannot measure the text in $1"
  INK_W=${geometry%%x*}
  geometry=${geometry#*x}
  INK_H=${geometry%%+*}
}

# Waits for the program to end and checks its exit status.
expect_exit() {
  local want=$1 timeout=${2:-10} end status
  end=$((SECONDS + timeout))
  while kill -0 "$PROGRAM_PID" 2>/dev/null; do
    [ $SECONDS -lt $end ] || fail "the program is still running after ${timeout}s"
    sleep 0.1
  done
  status=0
  wait "$PROGRAM_PID" || status=$?
  PROGRAM_PID=""
  [ "$status" -eq "$want" ] || fail "exit status $status, expected $want (log: $(cat "$WORK/program.log"))"
}

readonly MAIN_TITLE="Tessaly KRN 2 HTML (Drag and drop files on this window to convert)"
