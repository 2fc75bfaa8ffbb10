# Shared helpers of the command-line cases: the real krn2html-convert in a private program
# folder, its standard output, standard error and exit status kept for checks.
#
# Environment (set by CTest): KRN_CONVERT (the built krn2html-convert), KRN_DATA_E2E (fixtures:
# templates and scenes), KRN_VERSION (dotted product version).
set -euo pipefail

CASE=$(basename "$0" .sh)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/krn-convert-$CASE.XXXXXX")
PROGRAM_DIR="$WORK/program"
CONVERT="$PROGRAM_DIR/krn2html-convert"
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
    [ -s "$f" ] && { echo "--- $(basename "$f"):" >&2; head -20 "$f" >&2; }
  done
  exit 1
}

# A private program folder: the converter, the given templates, an empty Defaults.
make_program_folder() {
  mkdir -p "$PROGRAM_DIR/HTML Support" "$PROGRAM_DIR/Defaults"
  cp "$KRN_CONVERT" "$CONVERT"
  local t
  for t in "$@"; do cp "$t" "$PROGRAM_DIR/HTML Support/"; done
}

# Runs the converter with the arguments; standard input is /dev/null unless STDIN names a file.
convert() {
  STATUS=0
  "$CONVERT" "$@" <"${STDIN:-/dev/null}" >"$OUT" 2>"$ERR" || STATUS=$?
}

expect_status() {
  [ "$STATUS" -eq "$1" ] || fail "exit status $STATUS, expected $1 (krn2html-convert ${*:2})"
}

# Standard error holds exactly the given lines.
expect_stderr() {
  local want
  want=$(printf '%s\n' "$@")
  [ "$(cat "$ERR")" = "$want" ] || {
    diff <(echo "$want") "$ERR" >&2 || true
    fail "standard error differs"
  }
}

expect_no_output() {
  [ ! -s "$OUT" ] || fail "standard output is not empty"
}

expect_same_bytes() {
  cmp -s "$1" "$2" || { diff <(od -c "$2" | head -40) <(od -c "$1" | head -40) >&2 || true; fail "$1 differs from $2"; }
}

expect_contains() {
  grep -qF -- "$2" "$1" || fail "$1 does not contain: $2"
}

# A folder with a few scenes: a.krn and b.krn (animations), broken.krn (malformed XML).
make_scenes() {
  mkdir -p "$1"
  cp "$KRN_DATA_E2E/scene.krn" "$1/a.krn"
  cp "$KRN_DATA_E2E/other.krn" "$1/b.krn"
  cp "$KRN_DATA_E2E/broken.krn" "$1/broken.krn"
}
