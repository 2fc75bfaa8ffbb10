#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: once in a normal build, once more under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzzers (30 s each), then the
# Windows program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== build and test (build/)"
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== idle program and idle --watch: wake-ups and CPU use against the goal (build/)"
ctest --test-dir build -C perf -L perf --output-on-failure
echo "== build and test under ASan + UBSan (build-asan/)"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DKRN_SANITIZE=ON -DKRN_BUILD_BENCH=OFF
echo "== fuzzers: regression inputs, then ${KRN_FUZZ_SECONDS:-30} s of fuzzing each (build-fuzz/)"
bash scripts/fuzz.sh "${KRN_FUZZ_SECONDS:-30}"
echo "== Windows program: cross build, unit and end-to-end tests under Wine (build-win/)"
bash scripts/test-windows.sh
