#!/usr/bin/env bash
# A large scene is streamed to the parser, from its file and from standard input: the peak
# memory stays under 1.3 times the file (a 128 MiB scene of geometry with four animations;
# bench/large_scene_memory.sh measures 1 GiB the same way).
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
bash "$KRN_DATA_E2E/../../../bench/large_scene_memory.sh" "$CONVERT" 128 1.3 >"$OUT" 2>"$ERR" ||
  fail "peak memory over 1.3 times the scene: $(cat "$OUT")"
grep -q "standard input:" "$OUT" || fail "no measure of standard input"
echo "PASS [$CASE]"
