#!/usr/bin/env bash
# cmake --install puts krn2html-convert beside the window program, with its launcher link, and
# the installed converter finds the installed templates (and the settings of the user who runs
# it, as the installed folder has no Defaults).
. "$(dirname "$0")/../lib.sh"
root="$WORK/root"
DESTDIR="$root" "$KRN_CMAKE" --install "$KRN_BUILD_DIR" >"$WORK/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -3 "$WORK/install.log")"
folder=$(find "$root" -type f -name krn2html-convert -printf '%h\n' | head -1)
[ -n "$folder" ] || fail "krn2html-convert was not installed"
[ -x "$folder/krn2html" ] || fail "krn2html-convert is not beside krn2html"
[ -d "$folder/HTML Support" ] || fail "the program folder is incomplete"
# No Defaults folder and nothing writable by other users: each user's settings go to the
# user's own folder.
[ ! -e "$folder/Defaults" ] || fail "a Defaults folder was installed"
writable=$(find "$root" -perm -o+w -not -type l)
[ -z "$writable" ] || fail "installed paths writable by other users: $writable"
# The launcher link is relative, so it points into the installed folder wherever that is.
link=$(find "$root" -type l -name krn2html-convert | head -1)
[ -n "$link" ] && [ "$(realpath -m "$(dirname "$link")/$(readlink "$link")")" = "$folder/krn2html-convert" ] ||
  fail "no launcher link to the installed converter"
cd "$WORK"
"$folder/krn2html-convert" --list-templates >"$OUT" 2>"$ERR" || fail "the installed converter failed"
expect_contains "$OUT" "generic.html"
echo "PASS [$CASE]"
