#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: once in a normal build, once more under
# AddressSanitizer and UndefinedBehaviorSanitizer, the suites that start threads under
# ThreadSanitizer, then the fuzzers (30 s each), then the Windows program under Wine.
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
echo "== the suites that start threads under ThreadSanitizer (build-tsan/)"
# Only the test programs whose code starts threads: the scene read worker and the window's
# conversion, the command's -j workers, the block writer, the per-thread slots and the toolkit
# allocator's count.
tsan_suites=(krn_window_tests krn_command_tests krn_base_tests krn_ui_tests)
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKRN_SANITIZE_THREAD=ON \
  -DKRN_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target "${tsan_suites[@]}"
for suite in "${tsan_suites[@]}"; do
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "build-tsan/tests/$suite" --gtest_brief=1
done
echo "== fuzzers: regression inputs, then ${KRN_FUZZ_SECONDS:-30} s of fuzzing each (build-fuzz/)"
bash scripts/fuzz.sh "${KRN_FUZZ_SECONDS:-30}"
echo "== Windows program: cross build, unit and end-to-end tests under Wine (build-win/)"
bash scripts/test-windows.sh
