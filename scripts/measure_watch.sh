#!/usr/bin/env bash
# Measures an idle `krn2html-convert --watch`: once its first page is written and nothing
# changes, its wake-ups per second (context switches of all its threads) and its CPU use.
#   scripts/measure_watch.sh [--seconds N] [--check] [path/to/krn2html-convert]
# --check exits 1 when the idle watch wakes at all or uses more than 0.01 % of a core (the goal:
# it blocks in the system until a watched folder changes). Then one change proves that it still
# watches: the page follows within 5 s.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=30 check=0 prog=build/program/krn2html-convert
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift ;;
    --check) check=1 ;;
    *) prog=$1 ;;
  esac
  shift
done
[ -x "$prog" ] || { echo "measure_watch: no program at $prog" >&2; exit 2; }

work=$(mktemp -d)
pid=""
cleanup() {
  # SIGTERM: a background job of a script ignores SIGINT.
  if [ -n "$pid" ]; then kill -TERM "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
# A private program folder with one template, and one scene.
mkdir -p "$work/program/HTML Support" "$work/program/Defaults" "$work/scenes"
cp "$prog" "$work/program/krn2html-convert"
cp "data/HTML Support/"*.html "$work/program/HTML Support/"
printf '<KRSScene><KRSTimeElem Name="Idle" On="0"/></KRSScene>\n' >"$work/scenes/a.krn"
XDG_CONFIG_HOME="$work/config" "$work/program/krn2html-convert" --watch "$work/scenes/a.krn" \
  >/dev/null 2>"$work/stderr" &
pid=$!
for _ in $(seq 200); do
  grep -q "'Idle'" "$work/scenes/a.html" 2>/dev/null && break
  sleep 0.05
done
grep -q "'Idle'" "$work/scenes/a.html" 2>/dev/null || { echo "measure_watch: no first page" >&2; exit 2; }

sleep 1
# Context switches and CPU nanoseconds of every thread of the process.
switches() { cat /proc/"$pid"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}'; }
cpu_ns() { cat /proc/"$pid"/task/*/schedstat | awk '{n += $1} END {printf "%d\n", n}'; }
s0=$(switches); c0=$(cpu_ns)
sleep "$seconds"
s1=$(switches); c1=$(cpu_ns)
kill -0 "$pid" 2>/dev/null || { echo "measure_watch: the watch ended while idle" >&2; exit 2; }

wakeups=$(awk -v a="$s0" -v b="$s1" -v t="$seconds" 'BEGIN {printf "%.2f", (b - a) / t}')
percent=$(awk -v a="$c0" -v b="$c1" -v t="$seconds" 'BEGIN {printf "%.4f", (b - a) / (t * 1e9) * 100}')
echo "idle --watch over $seconds s: $((s1 - s0)) wake-ups ($wakeups/s), $percent % of one core"

# Still watching: one change, and the page follows.
printf '<KRSScene><KRSTimeElem Name="Awake" On="0"/></KRSScene>\n' >"$work/scenes/a.krn"
for _ in $(seq 100); do
  grep -q "'Awake'" "$work/scenes/a.html" 2>/dev/null && break
  sleep 0.05
done
grep -q "'Awake'" "$work/scenes/a.html" || { echo "measure_watch: the page did not follow" >&2; exit 2; }

if [ $check -eq 1 ]; then
  if [ "$s1" -ne "$s0" ] || awk -v p="$percent" 'BEGIN {exit !(p > 0.01)}'; then
    echo "measure_watch: above the goal (no wake-up and at most 0.01 % of a core while idle)" >&2
    exit 1
  fi
  echo "within the goal: no wake-up and at most 0.01 % of a core while idle"
fi
