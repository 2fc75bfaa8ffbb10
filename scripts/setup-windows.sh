#!/usr/bin/env bash
# Prepares the 32-bit Windows cross build: the MinGW-w64 i686 toolchain, Wine
# (32-bit), Xvfb and xdotool for the end-to-end tests, expat cross-built from
# Debian's source package, and GoogleTest cross-built from /usr/src/googletest.
# Idempotent: quiet when everything is in place.
#
# Usage: scripts/setup-windows.sh [BUILD_DIR]   (default build-win)
# The cross-built libraries go to BUILD_DIR/deps/prefix (never into the repo).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build_dir=${1:-build-win}
deps="$root/$build_dir/deps"
prefix="$deps/prefix"

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

packages=(
  # cross toolchain (posix threads variant: GoogleTest uses std::thread pieces)
  mingw-w64 g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
  cmake ninja-build
  # running and driving the program
  wine wine32:i386 xvfb xdotool x11-utils zip
  # building expat from Debian's source package
  dpkg-dev googletest
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup-windows: adding the i386 architecture"
  $sudo dpkg --add-architecture i386
  need_update=1
fi

# Source entries for `apt-get source expat`.
src_list=/etc/apt/sources.list.d/krn-deb-src.sources
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  echo "setup-windows: adding deb-src for bookworm main ($src_list)"
  $sudo tee "$src_list" >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  echo "setup-windows: installing ${missing[*]:-(sources only)}"
  $sudo apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi

# Prefer the posix-thread variant of the cross compilers.
for tool in i686-w64-mingw32-gcc i686-w64-mingw32-g++; do
  want=/usr/bin/$tool-posix
  if [ -x "$want" ] && [ "$(readlink -f /etc/alternatives/$tool 2>/dev/null)" != "$want" ]; then
    $sudo update-alternatives --set "$tool" "$want" >/dev/null
  fi
done

toolchain="$root/cmake/toolchain-mingw32.cmake"
mkdir -p "$deps"

# expat from Debian's source package.
if [ ! -f "$prefix/lib/libexpat.a" ]; then
  echo "setup-windows: building expat for i686-w64-mingw32"
  src="$deps/expat-src"
  if [ ! -d "$src" ]; then
    rm -rf "$deps/expat-fetch" && mkdir -p "$deps/expat-fetch"
    (cd "$deps/expat-fetch" && apt-get source -qq expat >/dev/null 2>&1)
    dir=$(find "$deps/expat-fetch" -mindepth 1 -maxdepth 1 -type d -name 'expat-*' | head -1)
    [ -n "$dir" ] || { echo "setup-windows: apt-get source expat failed" >&2; exit 1; }
    # Newer trees keep the library in expat/; the Debian tree has it at the top.
    if [ -f "$dir/expat/CMakeLists.txt" ]; then dir="$dir/expat"; fi
    mv "$dir" "$src"
    rm -rf "$deps/expat-fetch"
  fi
  cmake -S "$src" -B "$deps/expat-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DEXPAT_SHARED_LIBS=OFF \
    -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF \
    -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF >/dev/null
  # Debian's patches test "#if XML_DTD == 1" as its autotools build defines it;
  # the CMake template defines the switches empty, so give them their value.
  sed -i -E 's/^#define (XML_DTD|XML_NS)$/#define \1 1/' "$deps/expat-build/expat_config.h"
  cmake --build "$deps/expat-build" -j "$(nproc)" >/dev/null
  cmake --install "$deps/expat-build" >/dev/null
fi

# GoogleTest from Debian's googletest package sources.
if [ ! -f "$prefix/lib/libgtest.a" ]; then
  echo "setup-windows: building GoogleTest for i686-w64-mingw32"
  cmake -S /usr/src/googletest -B "$deps/gtest-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$deps/gtest-build" -j "$(nproc)" >/dev/null
  cmake --install "$deps/gtest-build" >/dev/null
fi
