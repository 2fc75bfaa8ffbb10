#!/usr/bin/env bash
# Runs one command on a private Xvfb display (1024x768, 24 bits) and returns
# its exit status.
set -euo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/krn-xvfb.XXXXXX")
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/displayfd" >"$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; wait $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
number=""
read -r -t 20 number <"$work/displayfd" || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$number"
unset XAUTHORITY
status=0
"$@" || status=$?
exit $status
