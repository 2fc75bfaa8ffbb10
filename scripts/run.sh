#!/usr/bin/env bash
# Sets up, builds and starts the converter.
#
# With a display ($DISPLAY set) the converter window opens as usual. Without
# one the same program runs on a private Xvfb display and this script does one
# conversion of a sample scene through the real window and its dialogs, then
# prints where the page and a screenshot of the window are.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
if [ ! -x build/program/krn2html ]; then
  echo "run: the converter window is not built yet (the application entry is still missing)." >&2
  exit 1
fi
if [ -n "${DISPLAY:-}" ]; then
  exec build/program/krn2html
fi

echo "run: no display; converting data/samples/lighthouse.krn on a private Xvfb display"
demo=$PWD/build/demo
rm -rf "$demo"
mkdir -p "$demo/scenes"
cp -r build/program "$demo/program"
cp data/samples/lighthouse.krn "$demo/scenes/"

fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >"$demo/xvfb.log" 2>&1 &
xvfb=$!
program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -f "$fifo"
}
trap cleanup EXIT
read -r -t 20 number <"$fifo" || { echo "run: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"

# The id of the visible window titled exactly $1, waiting up to 15 s.
window() {
  local id end=$((SECONDS + 15))
  while [ $SECONDS -lt $end ]; do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "run: no window \"$1\" appeared" >&2
  return 1
}

# Moves the pointer to a screen point ("--sync" alone would wait forever for a
# move to where the pointer already is).
pointer_to() {
  local X Y SCREEN WINDOW
  eval "$(xdotool getmouselocation --shell)"
  if [ "$X" -ne "$1" ] || [ "$Y" -ne "$2" ]; then xdotool mousemove --sync "$1" "$2"; fi
}

# Types a path into the file dialog titled $1 and accepts it.
answer() {
  local id
  id=$(window "$1")
  sleep 0.3
  # No window manager: the keyboard follows the pointer.
  eval "$(xdotool getwindowgeometry --shell "$id")"
  pointer_to $((X + WIDTH / 2)) $((Y + 10))
  xdotool key Home shift+End
  xdotool type --delay 2 -- "$2"
  xdotool key Return
}

"$demo/program/krn2html" >"$demo/program.log" 2>&1 &
program=$!
main=$(window "Tessaly KRN 2 HTML \(Drag and drop files on this window to convert\)")
sleep 0.5
import -window "$main" "$demo/main-window.png"
eval "$(xdotool getwindowgeometry --shell "$main")"
pointer_to $((X + 200)) $((Y + 12))
xdotool click 1   # "Convert KRN/KRQ File to HTML..."
answer "Select KRN/KRQ File" "$demo/scenes/lighthouse.krn"
answer "Saving HTML File \(HTML\)" "$demo/lighthouse.html"
for _ in $(seq 100); do [ -s "$demo/lighthouse.html" ] && break; sleep 0.1; done
sleep 0.3
import -window root "$demo/after-conversion.png"
if [ ! -s "$demo/lighthouse.html" ]; then
  echo "run: the page was not written (see $demo/program.log)" >&2
  exit 1
fi
echo "page:       $demo/lighthouse.html"
echo "screenshot: $demo/main-window.png"
