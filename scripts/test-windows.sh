#!/usr/bin/env bash
# Builds the 32-bit Windows program with the MinGW-w64 cross toolchain
# (build-win/), runs the cross-built unit tests under Wine, then the end-to-end
# tests of the real krn2html.exe under Wine on a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=build-win
scripts/setup-windows.sh "$build"

# Wine runs a 32-bit program as a 32-bit Linux process. A kernel whose 32-bit emulation is
# switched off (ia32_emulation=off) cannot start one: the program is then only cross-built,
# with its tests listed when they run rather than when they are built, and the run says so.
can_run_32bit=1
/lib/ld-linux.so.2 --version >/dev/null 2>&1 || can_run_32bit=0
discovery=POST_BUILD
[ "$can_run_32bit" = 1 ] || discovery=PRE_TEST

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" \
  -DKRN_WIN_DEPS_PREFIX="$root/$build/deps/prefix" \
  -DKRN_PLATFORM=win32 -DKRN_BUILD_BENCH=OFF \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE="$discovery" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

if [ "$can_run_32bit" = 0 ]; then
  cmake --build "$build" -j "$(nproc)"
  echo "== Windows tests under Wine: NOT RUN. This machine cannot start 32-bit programs"
  echo "   (the kernel's 32-bit emulation is off), so Wine cannot run krn2html.exe or its tests."
  echo "   The Windows program and its tests were cross-built only."
  exit 0
fi

# One virtual display for everything that opens windows (and for the test
# discovery, which runs the test programs at build time).
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  WINEPREFIX="$root/$build/wineprefix" wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
for n in $(seq 91 120); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    break
  fi
done
for _ in $(seq 50); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done

# A persistent wineserver with Wine's services already running: each test
# program then starts in a blink, and no Wine service inherits (and holds open)
# the output pipes of CTest or Ninja.
export WINEPREFIX="$root/$build/wineprefix" WINEDEBUG=-all
"$build/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1  # makes the prefix once
wineserver -k 2>/dev/null || true
wineserver -p </dev/null >/dev/null 2>&1 || true
"$build/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1

cmake --build "$build" -j "$(nproc)"
status=0
echo "== unit tests under Wine"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 120 -E '^e2e_' || status=1
echo "== end-to-end tests of krn2html.exe under Wine"
ctest --test-dir "$build" --output-on-failure --timeout 120 -R '^e2e_' || status=1
echo "== idle krn2html.exe under Wine: wake-ups and CPU use against the goal"
(unset WINEPREFIX; bash scripts/measure_desktop.sh --wine --check "$build/program/krn2html.exe") || status=1
exit $status
