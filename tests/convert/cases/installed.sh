#!/usr/bin/env bash
# cmake --install puts krn2html-convert beside the window program, with its launcher link, and
# the installed converter finds the installed templates.
. "$(dirname "$0")/../lib.sh"
root="$WORK/root"
DESTDIR="$root" "$KRN_CMAKE" --install "$KRN_BUILD_DIR" >"$WORK/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -3 "$WORK/install.log")"
folder=$(find "$root" -type f -name krn2html-convert -printf '%h\n' | head -1)
[ -n "$folder" ] || fail "krn2html-convert was not installed"
[ -x "$folder/krn2html" ] || fail "krn2html-convert is not beside krn2html"
[ -d "$folder/HTML Support" ] && [ -d "$folder/Defaults" ] || fail "the program folder is incomplete"
link=$(find "$root" -type l -name krn2html-convert | head -1)
[ "$(readlink "$link")" = "${folder#"$root"}/krn2html-convert" ] || fail "no launcher link"
cd "$WORK"
"$folder/krn2html-convert" --list-templates >"$OUT" 2>"$ERR" || fail "the installed converter failed"
expect_contains "$OUT" "generic.html"
echo "PASS [$CASE]"
