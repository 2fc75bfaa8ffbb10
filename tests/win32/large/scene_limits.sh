#!/usr/bin/env bash
# Limit test of the Windows program's scene step under Wine (label "large"): a 100 MB scene of
# nothing but animations gets every button, a 1 GB scene of mostly geometry is read, and a
# 220 MB scene of animations, whose buttons cannot fit, ends with TooManyAnimations (or, in a
# 32-bit process, OutOfMemory), the block empty and the process alive. Needs KRN_WINE (the build's wine-run.sh) and KRN_SCENE_LIMIT.
set -euo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/krn-limit.XXXXXX")
trap 'rm -rf "$work"' EXIT
win() { echo "Z:${1//\//\\}"; }
limit() { "$KRN_WINE" "$KRN_SCENE_LIMIT" "$@" </dev/null; }
fail=0

check() {  # kind MB expected-outcomes: Listed must give every button
  local kind=$1 mb=$2 expected=$3 file="$work/$1-$2.krn" count lines
  count=$(limit make "$kind" "$mb" "$(win "$file")" | tr -d '\r')
  # One line per animation, and an empty line before every 4th one; nothing after a failure.
  lines=$((count + count / 4))
  [ "$expected" = Listed ] || lines=0
  local result
  result=$(limit step "$(win "$file")" | tr -d '\r')
  rm -f "$file"
  echo "$kind $mb MB: $result (outcome lines seconds peak_MB)"
  read -r outcome got _ <<<"$result"
  if [[ " $expected " != *" $outcome "* ]]; then
    echo "FAIL: $kind $mb MB ended in '$outcome', expected one of: $expected"
    fail=1
  elif [ "$got" != "$lines" ]; then
    echo "FAIL: $kind $mb MB gave $got lines, expected $lines"
    fail=1
  fi
}

check animations 100 Listed
check geometry 1024 Listed
if [ "${KRN_WIN_ARCH:-win32}" = win64 ]; then
  # The 64-bit program is held by no address space, only by the button block's largest size
  # (512 MiB), as the Linux program is.
  check animations 220 TooManyAnimations
else
  check animations 220 "TooManyAnimations OutOfMemory"
fi
exit $fail
