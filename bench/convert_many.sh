#!/usr/bin/env bash
# Benchmark of krn2html-convert on many small scenes against the floor of reading the same files
# with cat, measured in the same run on the same (cached) files.
#
# Usage: [TMPDIR=FOLDER] bench/convert_many.sh [KRN2HTML_CONVERT] [COUNT]
#   KRN2HTML_CONVERT  the converter (default build/program/krn2html-convert)
#   COUNT             number of scenes (default 10000), each a few KB with a few animations
#   TMPDIR            where the scenes and pages are made (default /tmp); the cost of creating
#                     a file differs much between file systems (see the README)
# Prints the best of three runs of each (elapsed and CPU seconds, pages per second): cat, the
# converter with -j 1, with its default number of workers (one per usable processor), and as
# one -j 1 process per usable processor on its share of the scenes; the ratio of -j 1 to cat
# (the goal is at most 4), the speed-up of the default over -j 1 (the goal is at least 1.7 on 2
# processors) and the speed-up the separate processes reach, the machine's own ceiling.
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

# Times a command that gets the scene paths on its command line through xargs: prints
# "real cpu" in seconds (cpu = user + system time of the command and its children).
timed() {
  local report
  report=$( { TIMEFORMAT='%R %U %S'; time find "$work/scenes" -name '*.krn' -print0 | xargs -0 "$@"; } 2>&1 >/dev/null )
  awk '{ printf "%.6f %.6f\n", $1, $2 + $3 }' <<<"$report"
}

# The lowest of the given values.
best() {
  printf '%s\n' "$@" | sort -g | head -1
}

timed cat >/dev/null  # bring every file into the cache
# Checks that the last run wrote every page.
check_pages() {
  [ "$(find "$work/out" -name '*.html' | wc -l)" -eq "$count" ] || {
    echo "the converter did not write $count pages" >&2
    exit 1
  }
}

processors=$(nproc)
share=$(((count + processors - 1) / processors))
cat_real=() cat_cpu=() one_real=() one_cpu=() all_real=() all_cpu=() split_real=()
for _ in 1 2 3; do
  read -r real cpu < <(timed sh -c 'cat "$@" >/dev/null' cat)
  cat_real+=("$real") cat_cpu+=("$cpu")
  rm -rf "$work/out"
  read -r real cpu < <(timed "$work/program/krn2html-convert" -j 1 -q -d "$work/out")
  one_real+=("$real") one_cpu+=("$cpu")
  check_pages
  rm -rf "$work/out"
  read -r real cpu < <(timed "$work/program/krn2html-convert" -q -d "$work/out")
  all_real+=("$real") all_cpu+=("$cpu")
  check_pages
  rm -rf "$work/out"
  # The machine's own ceiling: one -j 1 process per usable processor, each on its share of
  # the scenes, writing into the same folder. No split of the work can do better here (two
  # virtual processors may share one core, and the folder is shared).
  read -r real cpu < <(timed -P "$processors" -n "$share" \
    "$work/program/krn2html-convert" -j 1 -q -d "$work/out")
  split_real+=("$real")
  check_pages
done
printf 'scenes: %d of %d bytes each, in %s; usable processors: %s\n' "$count" \
  "$((bytes / count))" "$work" "$processors"
awk -v n="$count" -v fr="$(best "${cat_real[@]}")" -v fc="$(best "${cat_cpu[@]}")" \
  -v cr="$(best "${one_real[@]}")" -v cc="$(best "${one_cpu[@]}")" \
  -v ar="$(best "${all_real[@]}")" -v ac="$(best "${all_cpu[@]}")" \
  -v sr="$(best "${split_real[@]}")" -v p="$processors" 'BEGIN {
  printf "cat to /dev/null:         %.3f s elapsed, %.3f s CPU\n", fr, fc
  printf "krn2html-convert -j 1:    %.3f s elapsed, %.3f s CPU (%.0f pages/s)\n", cr, cc, n / cr
  printf "krn2html-convert default: %.3f s elapsed, %.3f s CPU (%.0f pages/s)\n", ar, ac, n / ar
  printf "ratio -j 1/cat:           %.2f elapsed, %.2f CPU (goal: at most 4)\n", cr / fr, cc / fc
  printf "%d processes of -j 1:     %.3f s elapsed (%.0f pages/s)\n", p, sr, n / sr
  printf "speed-up default/-j 1:    %.2f pages/s (goal: at least 1.7 on 2 processors)\n", cr / ar
  printf "ceiling of this machine:  %.2f (%d processes of -j 1 against one); default reaches %.0f%% of it\n", cr / sr, p, 100 * sr / ar
}'
