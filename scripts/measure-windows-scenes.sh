#!/usr/bin/env bash
# Measures the 32-bit program's scene step under Wine on the scene of bench/xml_parse_bench
# (1, 10, 100 MB; --large adds 500 MB): expat alone on the same bytes, the step in a fresh
# process (read, parse, build the tree, walk it for buttons, destroy it), their ratio and
# the peak working set, whole and without the working set before the step (the program and
# Wine's libraries). Each time is the median of RUNS fresh processes (5), expat and the step
# in turn. Needs the cross build (bash scripts/test-windows.sh makes build-win/).
# On a machine that cannot start 32-bit programs (or with --qemu) the program runs under Wine
# through qemu-i386 (scripts/qemu-i386-run.sh): memory figures hold, times are emulated ones.
#   bash scripts/measure-windows-scenes.sh [--large] [--runs RUNS] [--qemu]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-win
exe=$build/tests/win32/scene_limit.exe
if [ ! -x "$build/wine-run.sh" ] || [ ! -f "$exe" ]; then
  echo "measure-windows-scenes: build the Windows programs first (bash scripts/test-windows.sh)" >&2
  exit 1
fi
sizes="1 10 100"
runs=5
qemu=0
args=("$@")
while [ $# -gt 0 ]; do
  case $1 in
    --large) sizes="$sizes 500" ;;
    --runs) runs=$2; shift ;;
    --qemu) qemu=1 ;;
    *) echo "usage: measure-windows-scenes.sh [--large] [--runs RUNS] [--qemu]" >&2; exit 2 ;;
  esac
  shift
done
if [ -z "${KRN_MEASURE_INSIDE:-}" ] && { [ $qemu = 1 ] || ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; }; then
  echo "(32-bit program under Wine through qemu-i386: times are emulated)"
  KRN_QEMU_FORCE=1 KRN_MEASURE_INSIDE=1 exec bash "$root/scripts/qemu-i386-run.sh" \
    bash "$0" "${args[@]}"
fi
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
work=$(mktemp -d "${TMPDIR:-/tmp}/krn-measure.XXXXXX")
export WINEPREFIX="$build/wineprefix"
trap 'rm -rf "$work"; wineserver -k 2>/dev/null || true' EXIT
# A persistent wineserver with Wine's services running, so that no measured process starts
# (or ends) them.
"$build/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1 || true
wineserver -k 2>/dev/null || true
wineserver -p </dev/null >/dev/null 2>&1 || true
"$build/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1 || true
run() { "$build/wine-run.sh" "$exe" "$@" </dev/null | tr -d '\r'; }
printf '%5s %10s %10s %7s %9s %9s %9s\n' MB expat_ms step_ms ratio peak_MB peak/file step/file
for mb in $sizes; do
  file="$work/bench-$mb.krn"
  run make bench "$mb" "Z:${file//\//\\}" >/dev/null
  bytes=$(stat -c %s "$file")
  expats="" steps=""
  for _ in $(seq "$runs"); do
    expats="$expats $(run expat "Z:${file//\//\\}")"
    read -r outcome _ seconds peak base <<<"$(run step "Z:${file//\//\\}")"
    if [ "$outcome" != Listed ]; then
      echo "measure-windows-scenes: the $mb MB step ended in $outcome" >&2
      exit 1
    fi
    steps="$steps $seconds"
  done
  expat=$(tr ' ' '\n' <<<"$expats" | grep . | median)
  step=$(tr ' ' '\n' <<<"$steps" | grep . | median)
  awk -v mb="$mb" -v e="$expat" -v s="$step" -v p="$peak" -v q="$base" -v b="$bytes" 'BEGIN {
    printf "%5d %10.1f %10.1f %7.2f %9.1f %9.2f %9.2f\n", mb, e * 1000, s * 1000, s / e, p,
      p * 1048576 / b, (p - q) * 1048576 / b }'
  rm -f "$file"
done
