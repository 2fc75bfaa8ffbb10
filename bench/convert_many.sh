#!/usr/bin/env bash
# Benchmark of krn2html-convert on many small scenes against the floor of reading the same files
# with cat, measured in the same run on the same (cached) files.
#
# Usage: [TMPDIR=FOLDER] bench/convert_many.sh [KRN2HTML_CONVERT] [COUNT]
#   KRN2HTML_CONVERT  the converter (default build/program/krn2html-convert)
#   COUNT             number of scenes (default 10000), each a few KB with a few animations
#   TMPDIR            where the scenes and pages are made (default /tmp); the cost of creating
#                     a file differs much between file systems (see the README)
# Prints the best of three runs of each: seconds, pages per second, and the ratio
# converter / cat (the goal is at most 4).
set -euo pipefail
cd "$(dirname "$0")/.."
convert=$(realpath "${1:-build/program/krn2html-convert}")
count=${2:-10000}
[ -x "$convert" ] || { echo "no converter at $convert (build it first)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/krn-bench-convert.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A private program folder: the shipped templates, nothing remembered.
mkdir -p "$work/program/Defaults"
cp "$convert" "$work/program/krn2html-convert"
cp -r "data/HTML Support" "$work/program/"

# COUNT scenes of about 3 KB: geometry the converter passes over and six animations.
mkdir -p "$work/scenes"
{
  echo '<?xml version="1.0"?>'
  echo '<KRSScene Name="Bench">'
  for i in $(seq 1 24); do
    echo "  <KRSMesh Name=\"part$i\" Points=\"0 0 0, 1 0 0, 1 1 0, 0 1 0\" Colour=\"#a0a0a0\"/>"
  done
  echo '  <KRSTimeline>'
  for name in Spin Open Close Lift Drop Glow; do
    echo "    <KRSTimeElem Name=\"$name\" On=\"0\" Clamp=\"1\"/>"
  done
  echo '  </KRSTimeline>'
  echo '</KRSScene>'
} >"$work/scene.krn"
scene=$(cat "$work/scene.krn")
for ((i = 1; i <= count; i++)); do
  printf '%s\n' "$scene" >"$work/scenes/s$i.krn"
done
bytes=$(($(stat -c %s "$work/scene.krn") * count))

# Seconds taken by a command, with the scene paths on its command line through xargs.
timed() {
  local start end
  start=$(date +%s.%N)
  find "$work/scenes" -name '*.krn' -print0 | xargs -0 "$@"
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }'
}

best() {
  printf '%s\n' "$@" | sort -g | head -1
}

timed cat >/dev/null  # bring every file into the cache
cat_times=()
convert_times=()
for _ in 1 2 3; do
  cat_times+=("$(timed sh -c 'cat "$@" >/dev/null' cat)")
  rm -rf "$work/out"
  convert_times+=("$(timed "$work/program/krn2html-convert" -q -d "$work/out")")
done
[ "$(find "$work/out" -name '*.html' | wc -l)" -eq "$count" ] || {
  echo "the converter did not write $count pages" >&2
  exit 1
}
cat_best=$(best "${cat_times[@]}")
convert_best=$(best "${convert_times[@]}")
printf 'scenes: %d of %d bytes each (%d KB in all)\n' "$count" "$((bytes / count))" "$((bytes / 1024))"
printf 'cat to /dev/null:  %.3f s\n' "$cat_best"
awk -v n="$count" -v c="$convert_best" -v f="$cat_best" 'BEGIN {
  printf "krn2html-convert:  %.3f s  (%.0f pages/s)\n", c, n / c
  printf "ratio convert/cat: %.2f  (goal: at most 4)\n", c / f
}'
