#!/usr/bin/env bash
# Benchmark of krn2html-convert on many small scenes against the floor of reading the same files
# with cat, measured in the same run on the same (cached) files.
#
# Usage: [TMPDIR=FOLDER] [ROUNDS=N] bench/convert_many.sh [KRN2HTML_CONVERT] [COUNT]
#   KRN2HTML_CONVERT  the converter (default build/program/krn2html-convert)
#   COUNT             number of scenes (default 10000), each a few KB with a few animations
#   TMPDIR            where the scenes and pages are made (default /tmp); the cost of creating
#                     a file differs much between file systems (see the README)
#   ROUNDS            rounds of measures (default 7); each round times every command once
# Two ways of giving the scenes are timed:
#   - as paths through find | xargs, as cat gets them: cat, and the converter with -j 1; their
#     ratio is the cost of a page against reading its scene (the goal is at most 4);
#   - as the one folder they lie in (-r), as a batch of a whole library is converted: the
#     converter with -j 1 (as the system places it, and held to each usable processor in turn),
#     with its default number of workers (one per usable processor), and as one -j 1 process
#     per usable processor on its share of the scenes (a folder of hard links each), all
#     writing into one output folder. The speed-up of the default over -j 1 has the goal of at
#     least 1.7 on 2 processors; the separate processes show the machine's own ceiling for
#     this work.
# The processors of a virtual machine on a shared host need not be equally fast: a host core
# that is busy with other guests can halve one of them for minutes. A -j 1 run placed on the
# faster one would then cap every speed-up far below the processor count, and one placed on
# the slower one would inflate it. The speed-ups are therefore taken against the mean rate of
# -j 1 on each usable processor (one processor's worth of this machine); the speed-up against
# the unplaced -j 1 and each processor's time are shown beside it.
# Prints the median time of each command over the rounds, and the median of each round's
# ratios: the commands of one round run within a second, so a ratio taken in one round
# leaves out most of the noise of a shared machine.
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

# Times a command, with extra arguments in front of the scene paths it gets through xargs
# (none for a converter given the folder): prints "real cpu" in seconds (cpu = user + system
# time of the command and its children).
timed() {
  local report
  report=$( { TIMEFORMAT='%R %U %S'; time "$@" 2>>"$work/errors"; } 2>&1 >/dev/null )
  awk '{ printf "%.6f %.6f\n", $1, $2 + $3 }' <<<"$report"
}
paths() {
  find "$work/scenes" -name '*.krn' -print0 | xargs -0 "$@"
}

# The median of the given values.
median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

paths cat >/dev/null  # bring every file into the cache
# Checks that the last run wrote every page, then removes them.
check_pages() {
  [ "$(find "$work/out" -name '*.html' | wc -l)" -eq "$count" ] || {
    echo "the converter did not write $count pages" >&2
    cat "$work/errors" >&2
    exit 1
  }
  rm -rf "$work/out"
}

# The processors this process may use, from its affinity ("0-3,6" in /proc/self/status).
usable=()
IFS=, read -ra spans < <(awk '/^Cpus_allowed_list:/ { print $2 }' /proc/self/status)
for span in "${spans[@]}"; do
  usable+=($(seq "${span%-*}" "${span#*-}"))
done
# Each processor's share of the scenes, as hard links in a folder of its own.
processors=$(nproc)
share=$(((count + processors - 1) / processors))
for ((i = 1; i <= count; i++)); do
  part="$work/share/$(((i - 1) / share))"
  mkdir -p "$part"
  ln "$work/scenes/s$i.krn" "$part/"
done
separate_processes() {
  local part
  for part in "$work"/share/*; do
    "$work/program/krn2html-convert" -j 1 -q -r -d "$work/out" "$part" &
  done
  wait
}

convert=("$work/program/krn2html-convert" -q -d "$work/out")
rounds=${ROUNDS:-7}
cat_real=() cat_cpu=() paths_real=() paths_cpu=() one_real=() all_real=() all_cpu=() split_real=()
cost=() speedup=() ceiling=() unplaced=() placed=()
declare -A on_real=()  # "processor round" -> -j 1 held to that processor
rm -rf "$work/out"
for ((round = 0; round < rounds; round++)); do
  read -r cat_r cat_c < <(timed paths sh -c 'cat "$@" >/dev/null' cat)
  read -r paths_r paths_c < <(timed paths "${convert[@]}" -j 1)
  check_pages
  read -r one_r _ < <(timed "${convert[@]}" -j 1 -r "$work/scenes")
  check_pages
  # The mean rate of -j 1 over the processors, as the time of one run at that rate.
  rates=()
  for cpu in "${usable[@]}"; do
    read -r on_r _ < <(timed taskset -c "$cpu" "${convert[@]}" -j 1 -r "$work/scenes")
    check_pages
    on_real["$cpu $round"]=$on_r
    rates+=("$on_r")
  done
  base_r=$(printf '%s\n' "${rates[@]}" | awk '{ rate += 1 / $1 } END { print NR / rate }')
  read -r all_r all_c < <(timed "${convert[@]}" -r "$work/scenes")
  check_pages
  read -r split_r _ < <(timed separate_processes)
  check_pages
  cat_real+=("$cat_r") cat_cpu+=("$cat_c") paths_real+=("$paths_r") paths_cpu+=("$paths_c")
  one_real+=("$one_r") all_real+=("$all_r") all_cpu+=("$all_c") split_real+=("$split_r")
  cost+=("$(awk -v a="$paths_r" -v b="$cat_r" 'BEGIN { print a / b }')")
  placed+=("$base_r")
  speedup+=("$(awk -v a="$base_r" -v b="$all_r" 'BEGIN { print a / b }')")
  unplaced+=("$(awk -v a="$one_r" -v b="$all_r" 'BEGIN { print a / b }')")
  ceiling+=("$(awk -v a="$base_r" -v b="$split_r" 'BEGIN { print a / b }')")
done
on_each=""
for cpu in "${usable[@]}"; do
  times=()
  for ((round = 0; round < rounds; round++)); do times+=("${on_real["$cpu $round"]}"); done
  on_each+=$(printf '%s%s: %.3f s' "${on_each:+, }" "$cpu" "$(median "${times[@]}")")
done
printf 'scenes: %d of %d bytes each, in %s; usable processors: %s; rounds: %d\n' "$count" \
  "$((bytes / count))" "$work" "$processors" "$rounds"
awk -v n="$count" -v p="$processors" \
  -v fr="$(median "${cat_real[@]}")" -v fc="$(median "${cat_cpu[@]}")" \
  -v cr="$(median "${paths_real[@]}")" -v cc="$(median "${paths_cpu[@]}")" \
  -v jr="$(median "${one_real[@]}")" -v ar="$(median "${all_real[@]}")" \
  -v br="$(median "${placed[@]}")" -v each="$on_each" -v unplaced="$(median "${unplaced[@]}")" \
  -v ac="$(median "${all_cpu[@]}")" -v sr="$(median "${split_real[@]}")" \
  -v cost="$(median "${cost[@]}")" -v speedup="$(median "${speedup[@]}")" \
  -v ceiling="$(median "${ceiling[@]}")" \
  -v low="$(printf '%s\n' "${speedup[@]}" | sort -g | head -1)" \
  -v high="$(printf '%s\n' "${speedup[@]}" | sort -g | tail -1)" 'BEGIN {
  printf "scenes as paths (find | xargs):\n"
  printf "  cat to /dev/null:           %.3f s elapsed, %.3f s CPU\n", fr, fc
  printf "  krn2html-convert -j 1:      %.3f s elapsed, %.3f s CPU (%.0f pages/s)\n", cr, cc, n / cr
  printf "  ratio -j 1/cat:             %.2f (goal: at most 4)\n", cost
  printf "scenes as their folder (-r):\n"
  printf "  krn2html-convert -j 1:      %.3f s elapsed (%.0f pages/s)\n", jr, n / jr
  printf "  -j 1 on each processor:     %s\n", each
  printf "  -j 1 at their mean rate:    %.3f s elapsed (%.0f pages/s)\n", br, n / br
  printf "  krn2html-convert default:   %.3f s elapsed, %.3f s CPU (%.0f pages/s)\n", ar, ac, n / ar
  printf "  %d processes of -j 1:        %.3f s elapsed (%.0f pages/s)\n", p, sr, n / sr
  printf "  speed-up default/-j 1:      %.2f (%.2f to %.2f; goal: at least 1.7 on 2 processors)\n", speedup, low, high
  printf "  the same against unplaced:  %.2f (-j 1 where the system put it)\n", unplaced
  printf "  ceiling of this machine:    %.2f (%d processes of -j 1 against one)\n", ceiling, p
}'
