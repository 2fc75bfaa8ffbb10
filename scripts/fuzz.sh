#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang (build-fuzz/) and runs each of them.
#   scripts/fuzz.sh [SECONDS] [NAME...]
# SECONDS per fuzzer (default 30); NAMEs pick fuzzers (scene_xml, template_text,
# settings_file, paths, version_text; default all). Two run at a time. Each corpus grows in
# build-fuzz/fuzz/work/<name>/corpus; an input that fails lands in
# build-fuzz/fuzz/work/<name>/findings/ and the script exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

seconds=${1:-30}
shift || true
filter="^fuzz\\.($(IFS='|'; echo "${*:-.*}"))\$"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKRN_FUZZ=ON -DKRN_PLATFORM=headless -DKRN_BUILD_TESTS=OFF -DKRN_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)"
ctest --test-dir build-fuzz -L fuzz-replay --output-on-failure
KRN_FUZZ_SECONDS=$seconds ctest --test-dir build-fuzz -L '^fuzz$' -R "$filter" -j 2 \
  --output-on-failure
