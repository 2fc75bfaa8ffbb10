#!/usr/bin/env bash
# Sets up, builds and starts the converter.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
if [ ! -x build/program/krn2html ]; then
  echo "run: the converter window is not built yet (the desktop backend is still missing)." >&2
  exit 1
fi
exec build/program/krn2html
