# Shared helpers of the Windows end-to-end cases: krn2html.exe under Wine on
# an X display, a private program folder, windows found by title, input
# through xdotool, and Win32 facts through win_probe.exe.
#
# Environment (set by CTest): KRN_EXE (krn2html.exe), KRN_WINE (the build
# tree's Wine wrapper), KRN_PROBE (win_probe.exe), KRN_DATA_E2E (fixtures),
# KRN_VERSION (dotted product version). DISPLAY is used when set; otherwise
# the case starts its own Xvfb.
set -euo pipefail

. "$(dirname "${BASH_SOURCE[0]}")/../../e2e/large_scene.sh"
CASE=$(basename "$0" .sh)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/krn-wine-e2e-$CASE.XXXXXX")
PROGRAM_DIR="$WORK/program"
PROGRAM_PID=""
XVFB_PID=""
MAIN_TITLE="Tessaly KRN 2 HTML (Drag and drop files on this window to convert)"
SCREEN_W=1024
SCREEN_H=768

cleanup() {
  local status=$?
  if [ -n "$PROGRAM_PID" ] && kill -0 "$PROGRAM_PID" 2>/dev/null; then kill "$PROGRAM_PID" 2>/dev/null || true; fi
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
  if [ $status -eq 0 ]; then rm -rf "$WORK"; else echo "($CASE: work folder kept at $WORK)"; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL [$CASE]: $*" >&2
  import -window root "$WORK/failure.png" 2>/dev/null || true
  exit 1
}

# The Windows view of a Linux path (Wine's drive Z: is /).
winpath() {
  printf 'Z:%s' "${1//\//\\}"
}

if [ -z "${DISPLAY:-}" ]; then
  Xvfb :$((RANDOM % 400 + 200)) -screen 0 ${SCREEN_W}x${SCREEN_H}x24 -nolisten tcp -noreset -displayfd 3 \
    3>"$WORK/display" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 50); do [ -s "$WORK/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$WORK/display")"
fi
read -r SCREEN_W SCREEN_H < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')

probe() {
  "$KRN_WINE" "$KRN_PROBE" "$@" 2>/dev/null | tr -d '\r'
}

# Lays out a private program folder with the given template files.
make_program_folder() {
  mkdir -p "$PROGRAM_DIR/HTML Support" "$PROGRAM_DIR/Defaults"
  cp "$KRN_EXE" "$PROGRAM_DIR/krn2html.exe"
  local t
  for t in "$@"; do cp "$t" "$PROGRAM_DIR/HTML Support/"; done
}

start_program() {
  "$KRN_WINE" "$PROGRAM_DIR/krn2html.exe" "$@" >"$WORK/program.log" 2>&1 &
  PROGRAM_PID=$!
}

# Prints the Win32 handle of the visible window titled exactly $1 (waits up to $2 s).
wait_handle() {
  local title=$1 limit=${2:-20} handle=""
  for _ in $(seq $((limit * 5))); do
    handle=$(probe find "$title") && [ -n "$handle" ] && { echo "$handle"; return 0; }
    sleep 0.2
  done
  fail "no window titled \"$title\""
}

# Prints the X id of the visible window titled exactly $1 (for input).
wait_xid() {
  local title=$1 id=""
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$(printf '%s' "$title" | sed 's/[]\/$*.^()[]/\\&/g')\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  fail "no X window titled \"$title\""
}

wait_handle_gone() {
  local handle=$1
  for _ in $(seq 100); do
    probe info "$handle" >/dev/null || return 0
    sleep 0.2
  done
  fail "window $handle did not go away"
}

# Reads "style left top right bottom clientWidth clientHeight" of a window.
window_info() {
  read -r STYLE LEFT TOP RIGHT BOTTOM CLIENT_W CLIENT_H < <(probe info "$1") ||
    fail "no information on window $1"
}

# Clicks at client coordinates of a window given by its title.
click_in() {
  local xid
  xid=$(wait_xid "$1")
  xdotool mousemove --window "$xid" "$2" "$3" click 1
}

# Types a Windows path into the file dialog titled $1 and confirms it.
answer_file_dialog() {
  local xid
  xid=$(wait_xid "$1")
  sleep 0.5
  xdotool windowfocus "$xid"
  sleep 0.3
  xdotool type --delay 15 "$2"
  xdotool key Return
}

wait_file() {
  for _ in $(seq 100); do [ -s "$1" ] && return 0; sleep 0.2; done
  fail "$1 was not written"
}

expect_same_bytes() {
  cmp -s "$1" "$2" || { diff <(od -c "$2") <(od -c "$1") | head -20 >&2; fail "$1 differs from the expected bytes"; }
}

# Waits for the program to end and checks its exit status.
expect_exit() {
  local want=$1 limit=${2:-20}
  for _ in $(seq $((limit * 5))); do
    if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
      local status=0
      wait "$PROGRAM_PID" || status=$?
      PROGRAM_PID=""
      [ "$status" -eq "$want" ] || fail "the program exited with $status, expected $want"
      return 0
    fi
    sleep 0.2
  done
  fail "the program did not end within $limit s"
}
