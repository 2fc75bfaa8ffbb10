#!/usr/bin/env bash
# The Debian package on this machine: built with cpack, checked by lintian, installed with
# dpkg, run by an unprivileged user (nobody, with a private home) under Xvfb through one
# conversion and a close, then removed. The settings must land in that user's own folder,
# nothing may be written under the installed folder, and removing leaves no file behind.
#
# Environment (set by CTest): KRN_BUILD_DIR (the build folder with CPackConfig.cmake),
# KRN_DATA_E2E, KRN_XPROBE, KRN_ARTIFACTS (as for the end-to-end cases).
. "$(dirname "$0")/../e2e/lib.sh"
if [ "$(id -u)" -ne 0 ]; then echo "($CASE: installing a package needs root; skipped)"; exit 77; fi
if dpkg-query -W -f='${Status}' krn2html 2>/dev/null | grep -q "install ok installed"; then
  fail "a krn2html package is installed already; this test would replace it"
fi

installed=0
remove_package() {
  if [ $installed -eq 1 ]; then dpkg -r krn2html >/dev/null 2>&1 || true; fi
}
trap 'status=$?; remove_package; (exit $status); cleanup' EXIT

cpack -G DEB --config "$KRN_BUILD_DIR/CPackConfig.cmake" -B "$WORK/pkg" >"$WORK/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$WORK/cpack.log")"
debs=("$WORK"/pkg/krn2html_*_amd64.deb)
deb=${debs[0]}
[ -f "$deb" ] || fail "no krn2html_<version>_amd64.deb in $WORK/pkg"
dpkg-deb -c "$deb" >"$WORK/contents"
# No path but a symbolic link (whose own mode means nothing) is writable by other users.
if grep -E '^[^l].{7}w' "$WORK/contents" >"$WORK/writable"; then
  fail "the package has paths writable by other users: $(cat "$WORK/writable")"
fi
dpkg-deb -f "$deb" Depends | grep -q 'libfltk1.3' || fail "the computed dependencies lack FLTK"
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >"$WORK/lintian.log" 2>&1 || fail "lintian: $(cat "$WORK/lintian.log")"
fi

dpkg -i "$deb" >"$WORK/dpkg.log" 2>&1 || fail "dpkg -i failed: $(cat "$WORK/dpkg.log")"
installed=1
folder=/usr/lib/krn2html
[ -x /usr/bin/krn2html ] && [ -x /usr/bin/krn2html-convert ] || fail "no launchers on the PATH"
[ -f /usr/share/applications/krn2html.desktop ] || fail "no desktop entry"
[ -f /usr/share/icons/hicolor/scalable/apps/krn2html.svg ] || fail "no icon"
[ -f /usr/share/doc/krn2html/copyright ] || fail "no copyright file"
before=$(find "$folder" -printf '%p %s %T@\n' | sort)

start_display
# The user: nobody, with a home of its own in the work folder.
chmod 755 "$WORK"
home="$WORK/nobody"
mkdir -p "$home/scenes" "$home/pages"
cp "$KRN_DATA_E2E/scene.krn" "$home/scenes/scene.krn"
chown -R nobody: "$home"
chmod 700 "$home"
as_nobody() { runuser -u nobody -- env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin KRN2HTML_VERBOSE=1 "$@"; }

as_nobody krn2html-convert --list-templates >"$WORK/list" 2>&1 || fail "krn2html-convert as nobody: $(cat "$WORK/list")"
grep -q 'generic.html' "$WORK/list" || fail "the installed templates are not listed: $(cat "$WORK/list")"

as_nobody krn2html >"$WORK/program.log" 2>&1 &
PROGRAM_PID=$!
win=$(wait_window "$MAIN_TITLE")
sleep 0.5
click_in "$win" 200 12
answer_file_dialog "Select KRN/KRQ File" "$home/scenes/scene.krn"
answer_file_dialog "Saving HTML File (HTML)" "$home/pages/scene.html"
wait_file "$home/pages/scene.html"
grep -q 'scenes/scene.krn' "$home/pages/scene.html" || fail "the page does not refer to the scene"
screenshot package-after-conversion
"$KRN_XPROBE" close "$win"
expect_exit 0
expect_dialogs_by desktop

settings="$home/.config/krn2html"
[ -f "$settings/defaulttemplate.txt" ] || fail "no default template in $settings (log: $(cat "$WORK/program.log"))"
ls "$settings"/Prefs*.txt >/dev/null 2>&1 || fail "no preferences file in $settings"
[ "$(stat -c '%U %a' "$settings")" = "nobody 700" ] || fail "$settings is $(stat -c '%U %a' "$settings"), not nobody's alone"
[ "$(stat -c %U "$settings/defaulttemplate.txt")" = nobody ] || fail "the settings do not belong to nobody"
after=$(find "$folder" -printf '%p %s %T@\n' | sort)
[ "$before" = "$after" ] || fail "something was written under $folder: $(diff <(echo "$before") <(echo "$after"))"

dpkg -r krn2html >>"$WORK/dpkg.log" 2>&1 || fail "dpkg -r failed: $(cat "$WORK/dpkg.log")"
installed=0
for path in "$folder" /usr/bin/krn2html /usr/bin/krn2html-convert /usr/share/applications/krn2html.desktop \
  /usr/share/icons/hicolor/scalable/apps/krn2html.svg /usr/share/doc/krn2html; do
  [ ! -e "$path" ] && [ ! -L "$path" ] || fail "$path is left after dpkg -r"
done
echo "PASS [$CASE]"
