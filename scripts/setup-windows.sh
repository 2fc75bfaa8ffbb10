#!/usr/bin/env bash
# Prepares a Windows cross build: the MinGW-w64 toolchains (i686 for the 32-bit program,
# x86-64 for its 64-bit twin), Wine (32- and 64-bit), qemu-i386 for the 32-bit programs on
# a machine that cannot start them, wixl for the installers, Xvfb and xdotool for the
# end-to-end tests, expat cross-built from Debian's source package, and GoogleTest
# cross-built from /usr/src/googletest. Idempotent: quiet when everything is in place.
#
# Usage: scripts/setup-windows.sh [BUILD_DIR [win32|win64]]   (default build-win win32)
# The cross-built libraries go to BUILD_DIR/deps/prefix (never into the repo).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build_dir=${1:-build-win}
arch=${2:-win32}
deps="$root/$build_dir/deps"
prefix="$deps/prefix"
case $arch in
  win32) triple=i686-w64-mingw32 toolchain="$root/cmake/toolchain-mingw32.cmake" ;;
  win64) triple=x86_64-w64-mingw32 toolchain="$root/cmake/toolchain-mingw64.cmake" ;;
  *) echo "usage: setup-windows.sh [BUILD_DIR [win32|win64]]" >&2; exit 2 ;;
esac

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

packages=(
  # cross toolchain (posix threads variant: GoogleTest uses std::thread pieces)
  mingw-w64 g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  cmake ninja-build
  # running and driving the programs: Wine for both builds (the preloaders reserve the
  # address ranges Windows programs expect; without the 32-bit one a 32-bit Wine process
  # under qemu spins for a minute, then fails to load kernel32.dll)
  wine wine64 wine64-preloader wine32:i386 wine32-preloader:i386 xvfb xdotool x11-utils zip file
  # the 32-bit programs on a kernel that cannot start them (scripts/qemu-i386-run.sh)
  qemu-user-static
  # the installers (wixl) and their checks (msiinfo)
  wixl msitools
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
  # A mirror caught mid-sync fails one index ("unexpected size"): the update is tried again,
  # and then the install goes on with the indexes apt has, failing only if a package is missing.
  for try in 1 2 3; do
    $sudo apt-get update -qq && break
    if [ $try -eq 3 ]; then echo "setup-windows: apt-get update failed; installing from the indexes at hand" >&2; break; fi
    sleep $((try * 10))
  done
  if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi

# Prefer the posix-thread variant of the cross compilers.
for tool in {i686,x86_64}-w64-mingw32-{gcc,g++}; do
  want=/usr/bin/$tool-posix
  if [ -x "$want" ] && [ "$(readlink -f /etc/alternatives/$tool 2>/dev/null)" != "$want" ]; then
    $sudo update-alternatives --set "$tool" "$want" >/dev/null
  fi
done

mkdir -p "$deps"

# expat from Debian's source package.
if [ ! -f "$prefix/lib/libexpat.a" ]; then
  echo "setup-windows: building expat for $triple"
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
  echo "setup-windows: building GoogleTest for $triple"
  cmake -S /usr/src/googletest -B "$deps/gtest-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$deps/gtest-build" -j "$(nproc)" >/dev/null
  cmake --install "$deps/gtest-build" >/dev/null
fi
