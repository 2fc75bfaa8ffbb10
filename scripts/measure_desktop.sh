#!/usr/bin/env bash
# Measures the built desktop program on a private Xvfb display: the time from
# start to a visible main window, and the CPU time it uses while idle for 10 s.
#   scripts/measure_desktop.sh [path/to/krn2html]
set -euo pipefail
cd "$(dirname "$0")/.."
prog=${1:-build/program/krn2html}
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xv=$!
trap 'kill $xv 2>/dev/null || true; rm -f "$fifo"' EXIT
read -r -t 20 number <"$fifo"
export DISPLAY=":$number"
start=$(date +%s%N)
"$prog" & pid=$!
until xdotool search --onlyvisible --name '^Tessaly KRN 2 HTML' >/dev/null 2>&1; do sleep 0.005; done
shown=$(date +%s%N)
echo "start-up to mapped window: $(( (shown - start) / 1000000 )) ms"
sleep 1
ticks() { awk '{print $14 + $15}' /proc/$pid/stat; }
t0=$(ticks); sleep 10; t1=$(ticks)
hz=$(getconf CLK_TCK)
echo "idle CPU over 10 s: $(( (t1 - t0) * 1000 / hz )) ms of CPU time ($(( (t1 - t0) * 1000 / hz / 100 )).$(( (t1 - t0) * 1000 / hz % 100 ))% of one core)"
echo "wake-ups (voluntary context switches) so far: $(awk '/^voluntary_ctxt_switches/ {print $2}' /proc/$pid/status)"
kill $pid
