#!/usr/bin/env bash
# Runs one libFuzzer fuzzer for a fixed time.
#   run_fuzzer.sh FUZZER SECONDS WORK_DIR DICTIONARY|none SEED...
# KRN_FUZZ_SECONDS, when set, replaces SECONDS. The working corpus WORK_DIR/corpus starts
# from the seeds (files) and keeps growing from run to run; an input that fails is saved in
# WORK_DIR/findings/ and the run exits non-zero. Keep every finding as a regression input
# under fuzz/regressions/<name>/ once it is fixed.
set -euo pipefail
fuzzer=$1 seconds=${KRN_FUZZ_SECONDS:-$2} work=$3 dict=$4
shift 4
mkdir -p "$work/corpus" "$work/findings"
for seed in "$@"; do
  name=$(basename "$seed")
  [ -e "$work/corpus/seed-$name" ] || cp "$seed" "$work/corpus/seed-$name"
done
args=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=16384
      -artifact_prefix="$work/findings/" -print_final_stats=1)
[ "$dict" != none ] && args+=(-dict="$dict")
echo "run_fuzzer: $(basename "$fuzzer") for ${seconds}s, corpus $work/corpus"
exec "$fuzzer" "${args[@]}" "$work/corpus"
