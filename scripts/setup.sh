#!/usr/bin/env bash
# Installs every Debian package that building, running and testing need.
# Idempotent: asks apt only when something is missing, and says nothing then.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config clang-format
  # fuzzers (libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer)
  clang libclang-rt-14-dev
  # libraries
  libexpat1-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  # Linux desktop program (FLTK over X11) and its end-to-end tests under Xvfb
  libfltk1.3-dev libx11-dev libxtst-dev fonts-liberation fonts-dejavu-core
  # the desktop's file chooser: FLTK loads GTK at run time when it is installed
  libgtk2.0-0
  # the Debian package: dependencies computed by dpkg-shlibdeps, checked by lintian
  dpkg-dev lintian
  xvfb xauth xdotool imagemagick x11-utils x11-xserver-utils openbox
  # pages in a real browser: headless Chromium driven over its DevTools protocol by
  # Debian's Python with its websocket client; templates checked with tidy
  chromium python3 python3-websocket tidy
  # Windows program: MinGW-w64 cross build and its tests under Wine
  # (scripts/setup-windows.sh adds the i386 architecture for wine32:i386 and a
  # deb-src entry for expat's source package, and cross-builds expat and GoogleTest)
  mingw-w64 g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686 wine dpkg-dev zip
)

missing=()
for p in "${packages[@]}"; do
  [[ "$p" == \#* ]] && continue
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# A mirror caught mid-sync fails one index ("unexpected size"): the update is tried again,
# and then the install goes on with the indexes apt has, failing only if a package is missing.
for try in 1 2 3; do
  $sudo apt-get update -qq && break
  if [ $try -eq 3 ]; then echo "setup: apt-get update failed; installing from the indexes at hand" >&2; break; fi
  sleep $((try * 10))
done
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
