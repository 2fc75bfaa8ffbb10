# Shared helpers of the Windows command-line cases: krn2html-convert.exe under Wine (a console
# program: no display needed) in a private program folder.
#
# Environment (set by CTest): KRN_CONVERT_EXE (krn2html-convert.exe), KRN_WINE (the build tree's
# Wine wrapper), KRN_DATA_E2E (fixtures), KRN_VERSION (dotted product version).
set -euo pipefail

CASE=$(basename "$0" .sh)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/krn-wine-convert-$CASE.XXXXXX")
PROGRAM_DIR="$WORK/program"
OUT="$WORK/stdout"
ERR="$WORK/stderr"
STATUS=0

cleanup() {
  local status=$?
  if [ $status -eq 0 ]; then rm -rf "$WORK"; else echo "($CASE: work folder kept at $WORK)"; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL [$CASE]: $*" >&2
  for f in "$OUT" "$ERR"; do
    [ -s "$f" ] && { echo "--- $(basename "$f"):" >&2; od -c "$f" | head -20 >&2; }
  done
  exit 1
}

make_program_folder() {
  mkdir -p "$PROGRAM_DIR/HTML Support" "$PROGRAM_DIR/Defaults"
  cp "$KRN_CONVERT_EXE" "$PROGRAM_DIR/krn2html-convert.exe"
  local t
  for t in "$@"; do cp "$t" "$PROGRAM_DIR/HTML Support/"; done
}

# Runs the program under Wine in the current folder (Wine's Z: drive).
convert() {
  STATUS=0
  "$KRN_WINE" "$PROGRAM_DIR/krn2html-convert.exe" "$@" </dev/null >"$OUT" 2>"$ERR" || STATUS=$?
}

expect_status() {
  [ "$STATUS" -eq "$1" ] || fail "exit status $STATUS, expected $1"
}

expect_contains() {
  grep -qF -- "$2" "$1" || fail "$1 does not contain: $2"
}
