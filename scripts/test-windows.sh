#!/usr/bin/env bash
# Builds the Windows programs with the MinGW-w64 cross toolchains and tests them under Wine:
#   build-win/    the 32-bit programs, the deliverable that runs on every Windows
#   build-win64/  their 64-bit twin from the same sources (no 4 GB ceiling on scenes)
# Each build leaves its program folder, its zip and its installer (.msi).
#
# The twin's whole suite (unit, command, end-to-end, installer, idle check) runs under
# wine64. The 32-bit build's suite depends on what this machine can start:
#   native  the kernel starts 32-bit programs: the whole suite, as the twin's;
#   qemu    it cannot (32-bit emulation switched off): the checks only the 32-bit build can
#           answer (large scenes, the command, the window's exact title) run under Wine
#           through qemu-i386 in a private namespace (scripts/qemu-i386-run.sh);
#   none    neither: those checks say NOT RUN, with the reason.
# KRN_WIN32_ROUTE=qemu takes the qemu route on any machine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup-windows.sh build-win win32
scripts/setup-windows.sh build-win64 win64

route=${KRN_WIN32_ROUTE:-}
route_reason=""
if [ -z "$route" ]; then
  if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    route=native
  elif route_reason=$(bash scripts/qemu-i386-run.sh --check 2>&1); then
    route=qemu
  else
    route=none
  fi
fi
[ "$route" = qemu ] && export KRN_QEMU_FORCE=1

configure() {  # build-dir toolchain discovery-mode
  cmake -S . -B "$1" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" \
    -DKRN_WIN_DEPS_PREFIX="$root/$1/deps/prefix" \
    -DKRN_PLATFORM=win32 -DKRN_BUILD_BENCH=OFF \
    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE="$3" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
}

# One virtual display for everything that opens windows (and for the test discovery,
# which runs the test programs at build time).
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  local prefix
  for prefix in "$root/build-win64/wineprefix" "$root/build-win/wineprefix"; do
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
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
export WINEDEBUG=-all

# A persistent wineserver with Wine's services already running: each test program then
# starts in a blink, and no Wine service inherits (and holds open) the output pipes of
# CTest or Ninja. Run in the build's own environment (through qemu on that route).
start_wine() {  # build-dir
  local build=$1
  export WINEPREFIX="$root/$build/wineprefix"
  "$build/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1  # makes the prefix once
  wineserver -k 2>/dev/null || true
  wineserver -p </dev/null >/dev/null 2>&1 || true
  "$build/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1
}

# The whole suite of one build: unit and command tests in parallel, then the windows one
# at a time, then the idle program against its goal.
whole_suite() {  # build-dir what
  local build=$1 what=$2 status=0
  echo "== $what: unit, command and installer tests under Wine ($build/)"
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 120 -E '^e2e_' || status=1
  echo "== $what: end-to-end tests of krn2html.exe under Wine ($build/)"
  ctest --test-dir "$build" --output-on-failure --timeout 120 -R '^e2e_' || status=1
  echo "== $what: idle krn2html.exe under Wine, wake-ups and CPU use against the goal"
  (unset WINEPREFIX; bash scripts/measure_desktop.sh --wine --check "$build/program/krn2html.exe") ||
    status=1
  return $status
}

status=0

echo "== 64-bit twin: cross build (build-win64/), run under wine64"
configure build-win64 toolchain-mingw64.cmake POST_BUILD
start_wine build-win64
cmake --build build-win64 -j "$(nproc)"
whole_suite build-win64 "64-bit twin" || status=1

case $route in
  native)
    echo "== 32-bit programs: cross build (build-win/), run natively under Wine"
    configure build-win toolchain-mingw32.cmake POST_BUILD
    start_wine build-win
    cmake --build build-win -j "$(nproc)"
    whole_suite build-win "32-bit programs" || status=1
    ;;
  qemu)
    # Only what the 32-bit checks need is built: the twin has already built and run every
    # test program from the same sources.
    echo "== 32-bit programs: cross build (build-win/); this machine cannot start 32-bit"
    echo "   programs, so their checks run under Wine through qemu-i386 (times are emulated)"
    configure build-win toolchain-mingw32.cmake PRE_TEST
    cmake --build build-win -j "$(nproc)" --target krn2html krn2html-convert win_probe \
      scene_limit krn2html_zip krn2html_msi
    checks='^(large_scene_limits|convert_win_one_page|convert_win_version|e2e_win_main_window)$'
    # shellcheck disable=SC2016
    # The persistent wineserver and Wine's services start inside the namespace, before the
    # checks: a service started by a check would write qemu's words on its exit into the
    # check's standard error.
    bash scripts/qemu-i386-run.sh bash -c '
      set -e
      export WINEPREFIX="$1/build-win/wineprefix"
      build-win/wine-run.sh cmd /c exit </dev/null >/dev/null 2>&1
      wineserver -k 2>/dev/null || true
      wineserver -p </dev/null >/dev/null 2>&1 || true
      build-win/wine-run.sh cmd /c exit </dev/null >/dev/null 2>&1
      status=0
      ctest --test-dir build-win --output-on-failure --timeout 900 -R "$2" || status=1
      wineserver -k 2>/dev/null || true
      exit $status' krn-win32 "$root" "$checks" || status=1
    ;;
  none)
    configure build-win toolchain-mingw32.cmake PRE_TEST
    cmake --build build-win -j "$(nproc)"
    echo "== 32-bit programs under Wine: NOT RUN. This machine cannot start 32-bit programs"
    echo "   (the kernel's 32-bit emulation is off), and the qemu route is not available:"
    echo "   $route_reason"
    echo "   The 32-bit programs were cross-built only; the 64-bit twin's suite ran above."
    ;;
  *)
    echo "test-windows: KRN_WIN32_ROUTE must be native, qemu or none" >&2
    exit 2
    ;;
esac
exit $status
