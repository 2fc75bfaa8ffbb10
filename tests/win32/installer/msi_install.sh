#!/usr/bin/env bash
# The installer under Wine, in a Wine prefix of its own: its tables say a per-user package
# without elevation, with both programs, the templates, the licences, the README and one Start
# menu shortcut; `msiexec /i /qn` installs them into the user's Programs folder; the installed
# command converts a scene and the installed window program keeps its settings in
# %APPDATA%\krn2html (the install folder has no Defaults); `msiexec /x /qn` removes every
# installed file and keeps those settings.
# Environment (set by CTest): KRN_MSI, KRN_WINE, KRN_PROBE, KRN_DATA_E2E, KRN_TEMPLATES_DIR.
export KRN_EXE=unused
. "$(dirname "$0")/../e2e/lib.sh"
export KRN_WINEPREFIX="$WORK/prefix"
# Ends the prefix's wineserver, then the usual clean-up with the script's own status.
finish() {
  local status=$?
  set +e
  WINEPREFIX=$KRN_WINEPREFIX wineserver -k 2>/dev/null
  (exit $status)
  cleanup
}
trap finish EXIT

# The tables.
msiinfo export "$KRN_MSI" Property >"$WORK/property.idt"
! grep -q '^ALLUSERS' "$WORK/property.idt" || fail "the package asks for a per-machine installation"
words=$(msiinfo suminfo "$KRN_MSI" | awk -F': ' '/^Source:/ { print $2 + 0 }')
[ $((words & 8)) -eq 8 ] || fail "the package asks for elevated rights (word count $words)"
msiinfo export "$KRN_MSI" File | tr -d '\r' | awk -F'\t' 'NR > 3 { print $3 }' | sed 's/^.*|//' |
  sort >"$WORK/files.txt"
expected_files=$( (printf '%s\n' krn2html.exe krn2html-convert.exe README.txt LICENSE.txt \
  expat-COPYING.txt; ls "$KRN_TEMPLATES_DIR") | sort)
[ "$(cat "$WORK/files.txt")" = "$expected_files" ] ||
  fail "the package's files are: $(tr '\n' ' ' <"$WORK/files.txt")"
msiinfo export "$KRN_MSI" Shortcut | grep -q '\[INSTALLDIR\]krn2html.exe' ||
  fail "no Start menu shortcut to krn2html.exe"

# Install.
"$KRN_WINE" msiexec /i "$(winpath "$KRN_MSI")" /qn </dev/null >"$WORK/install.log" 2>&1 ||
  fail "msiexec /i failed: $(cat "$WORK/install.log")"
users="$KRN_WINEPREFIX/drive_c/users"
install=$(find "$users" -path '*/AppData/Local/Programs/krn2html' -type d | head -1)
[ -n "$install" ] || fail "nothing installed in the user's Programs folder"
for f in krn2html.exe krn2html-convert.exe README.txt LICENSE.txt expat-COPYING.txt; do
  [ -s "$install/$f" ] || fail "$f is not installed"
done
for t in "$KRN_TEMPLATES_DIR"/*; do
  cmp -s "$t" "$install/HTML Support/$(basename "$t")" || fail "template $(basename "$t") differs"
done
[ ! -e "$install/Defaults" ] || fail "the installation has a Defaults folder"
shortcut=$(find "$users" -name 'Tessaly KRN 2 HTML.lnk' | head -1)
[ -n "$shortcut" ] || fail "no Start menu shortcut"

# The installed command converts a scene.
mkdir "$WORK/scenes"
cp "$KRN_DATA_E2E/scene.krn" "$WORK/scenes/scene.krn"
(cd "$WORK" && "$KRN_WINE" "$(winpath "$install/krn2html-convert.exe")" -d out scenes/scene.krn \
  </dev/null >"$WORK/convert.log" 2>&1) || fail "the installed command failed: $(cat "$WORK/convert.log")"
grep -q 'triggeranimation(.Spin.)' "$WORK/out/scene.html" || fail "the page has no button for Spin"

# The installed window program: a quick click on free space chooses the next template, which
# is remembered in the user's folder.
"$KRN_WINE" "$(winpath "$install/krn2html.exe")" >"$WORK/program.log" 2>&1 &
PROGRAM_PID=$!
win=$(wait_handle "$MAIN_TITLE" 60)
sleep 0.5
click_in "$MAIN_TITLE" 8 10
wait_handle_gone "$win"
win=$(wait_handle "$MAIN_TITLE")
probe close "$win" >/dev/null
expect_exit 0
settings=$(find "$users" -path '*/AppData/Roaming/krn2html/defaulttemplate.txt' | head -1)
[ -s "$settings" ] || fail "the settings are not in %APPDATA%\\krn2html"
[ ! -e "$install/Defaults" ] || fail "the window program wrote settings into the install folder"

# Uninstall: nothing installed is left, the settings are.
"$KRN_WINE" msiexec /x "$(winpath "$KRN_MSI")" /qn </dev/null >"$WORK/remove.log" 2>&1 ||
  fail "msiexec /x failed: $(cat "$WORK/remove.log")"
left=$(find "$install" -type f 2>/dev/null | head -5 || true)
[ -z "$left" ] || fail "uninstalling left: $left"
[ ! -e "$shortcut" ] || fail "uninstalling left the Start menu shortcut"
[ -s "$settings" ] || fail "uninstalling removed the user's settings"
echo "PASS [$CASE]"
