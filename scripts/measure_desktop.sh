#!/usr/bin/env bash
# Measures the built desktop program on a private Xvfb display: the time from
# start to a visible main window, then, while it sits idle, its wake-ups per
# second (context switches of all its threads) and its CPU use.
#   scripts/measure_desktop.sh [--wine] [--seconds N] [--check] [path/to/program]
# --wine runs the Windows program (default build-win/program/krn2html.exe)
# under Wine (a 64-bit one through Wine's 64-bit loader); --check exits 1 when the idle program wakes more than 2 times a
# second or uses more than 0.1 % of a core (the goal for a program at rest).
set -euo pipefail
cd "$(dirname "$0")/.."
wine=0 seconds=30 check=0 prog=""
while [ $# -gt 0 ]; do
  case $1 in
    --wine) wine=1 ;;
    --seconds) seconds=$2; shift ;;
    --check) check=1 ;;
    *) prog=$1 ;;
  esac
  shift
done
if [ -z "$prog" ]; then
  if [ $wine -eq 1 ]; then prog=build-win/program/krn2html.exe; else prog=build/program/krn2html; fi
fi
[ -e "$prog" ] || { echo "measure_desktop: no program at $prog" >&2; exit 2; }

work=$(mktemp -d)
xv="" pid="" started=""
cleanup() {
  if [ -n "$started" ] && kill -0 "$started" 2>/dev/null; then kill "$started" 2>/dev/null || true; fi
  if [ $wine -eq 1 ]; then WINEPREFIX="$work/wineprefix" wineserver -k 2>/dev/null || true; fi
  if [ -n "$xv" ]; then kill "$xv" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/displayfd" >/dev/null 2>&1 &
xv=$!
read -r -t 20 number <"$work/displayfd"
export DISPLAY=":$number"
unset XAUTHORITY

# A private copy of the program folder, so the run leaves nothing behind.
folder=$(dirname "$prog")
cp -a "$folder" "$work/program"
exe="$work/program/$(basename "$prog")"

start=$(date +%s%N)
if [ $wine -eq 1 ]; then
  export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
  # Debian's `wine` takes the 32-bit loader whenever wine32 is installed: a 64-bit program
  # goes to the 64-bit loader itself.
  loader=wine
  if file -b "$exe" | grep -q '^PE32+'; then
    loader=/usr/lib/wine/wine64
    export WINELOADER=$loader WINEARCH=win64
  fi
  "$loader" wineboot -i >/dev/null 2>&1 || true
  start=$(date +%s%N)
  "$loader" "$exe" >/dev/null 2>&1 &
else
  "$exe" >/dev/null 2>&1 &
fi
started=$!
win=""
for _ in $(seq 4000); do
  win=$(xdotool search --onlyvisible --name '^Tessaly KRN 2 HTML' 2>/dev/null | head -1) && [ -n "$win" ] && break
  sleep 0.005
done
[ -n "$win" ] || { echo "measure_desktop: the main window did not appear" >&2; exit 2; }
shown=$(date +%s%N)
echo "start-up to mapped window: $(( (shown - start) / 1000000 )) ms"
# Under Wine the program is the process that owns the window (Wine sets _NET_WM_PID).
pid=$started
if [ $wine -eq 1 ]; then pid=$(xdotool getwindowpid "$win"); fi

sleep 2
# Context switches and CPU nanoseconds of every thread of the process.
switches() { cat /proc/"$pid"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}'; }
cpu_ns() { cat /proc/"$pid"/task/*/schedstat | awk '{n += $1} END {printf "%d\n", n}'; }
s0=$(switches); c0=$(cpu_ns)
sleep "$seconds"
s1=$(switches); c1=$(cpu_ns)
kill -0 "$pid" 2>/dev/null || { echo "measure_desktop: the program ended while idle" >&2; exit 2; }

wakeups=$(awk -v a="$s0" -v b="$s1" -v t="$seconds" 'BEGIN {printf "%.2f", (b - a) / t}')
percent=$(awk -v a="$c0" -v b="$c1" -v t="$seconds" 'BEGIN {printf "%.3f", (b - a) / (t * 1e9) * 100}')
echo "idle over $seconds s: $wakeups wake-ups/s, $percent % of one core"
if [ $check -eq 1 ]; then
  if awk -v w="$wakeups" -v p="$percent" 'BEGIN {exit !(w > 2 || p > 0.1)}'; then
    echo "measure_desktop: above the goal (at most 2 wake-ups/s and 0.1 % of a core)" >&2
    exit 1
  fi
  echo "within the goal: at most 2 wake-ups/s and 0.1 % of a core"
fi
