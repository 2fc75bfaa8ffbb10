#!/usr/bin/env bash
# The Debian packages on this machine: both built with cpack from one build and checked by
# lintian. The command's package (krn2html-convert) depends on no desktop library and its program
# links none; installed alone, it converts a scene for an unprivileged user without a display.
# Then the window package (krn2html, depending on the command's package) is installed and run by
# that user (nobody, with a private home) under Xvfb through one conversion and a close. The
# settings must land in that user's own folder, nothing may be written under the installed
# folder, and removing the packages (the window's, then the command's) leaves no file behind.
# Before that, both packages must replace release 1's single package in one upgrade.
#
# Environment (set by CTest): KRN_BUILD_DIR (the build folder with CPackConfig.cmake),
# KRN_DATA_E2E, KRN_XPROBE, KRN_ARTIFACTS (as for the end-to-end cases), KRN_VERSION.
. "$(dirname "$0")/../e2e/lib.sh"
if [ "$(id -u)" -ne 0 ]; then echo "($CASE: installing a package needs root; skipped)"; exit 77; fi
for package in krn2html krn2html-convert; do
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    fail "a $package package is installed already; this test would replace it"
  fi
done

installed=""
remove_packages() {
  local package
  for package in $installed; do dpkg -r "$package" >/dev/null 2>&1 || true; done
}
trap 'status=$?; remove_packages; (exit $status); cleanup' EXIT

cpack -G DEB --config "$KRN_BUILD_DIR/CPackConfig.cmake" -B "$WORK/pkg" >"$WORK/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$WORK/cpack.log")"
command_deb="$WORK/pkg/krn2html-convert_${KRN_VERSION}_amd64.deb"
window_deb="$WORK/pkg/krn2html_${KRN_VERSION}_amd64.deb"
for deb in "$command_deb" "$window_deb"; do
  [ -f "$deb" ] || fail "no $(basename "$deb") in $WORK/pkg: $(ls "$WORK/pkg")"
  dpkg-deb -c "$deb" >"$WORK/contents"
  # No path but a symbolic link (whose own mode means nothing) is writable by other users.
  if grep -E '^[^l].{7}w' "$WORK/contents" >"$WORK/writable"; then
    fail "$(basename "$deb") has paths writable by other users: $(cat "$WORK/writable")"
  fi
  if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" >"$WORK/lintian.log" 2>&1 || fail "lintian: $(cat "$WORK/lintian.log")"
  fi
done

# What each package holds and needs.
gui_libraries='fltk|libx11|libxft|libxext|libxrender|libxinerama|libxfixes|libxcursor|fontconfig|freetype|gtk|cairo'
command_depends=$(dpkg-deb -f "$command_deb" Depends)
if echo "$command_depends" | grep -qiE "$gui_libraries"; then
  fail "the command's package depends on a desktop library: $command_depends"
fi
echo "$command_depends" | grep -q 'libexpat1' || fail "the command's computed dependencies lack expat: $command_depends"
window_depends=$(dpkg-deb -f "$window_deb" Depends)
echo "$window_depends" | grep -q 'libfltk1.3' || fail "the window's computed dependencies lack FLTK: $window_depends"
echo "$window_depends" | grep -qF "krn2html-convert (= $KRN_VERSION)" ||
  fail "the window's package does not depend on the command's of its version: $window_depends"
dpkg-deb -c "$command_deb" >"$WORK/command-contents"
dpkg-deb -c "$window_deb" >"$WORK/window-contents"
grep -q '/usr/lib/krn2html/HTML Support/generic.html' "$WORK/command-contents" ||
  fail "the command's package lacks the templates"
grep -q '/usr/share/man/man1/krn2html-convert.1.gz' "$WORK/command-contents" ||
  fail "the command's package lacks its manual page"
if command -v lintian >/dev/null && lintian "$command_deb" 2>&1 | grep -F 'no-manual-page'; then
  fail "lintian finds no manual page for the command"
fi
grep -qE '/usr/lib/krn2html/krn2html$|krn2html.desktop' "$WORK/command-contents" &&
  fail "the command's package holds the window program"
grep -qE 'HTML Support|krn2html-convert' "$WORK/window-contents" &&
  fail "the window's package holds what the command's package holds"

folder=/usr/lib/krn2html

# An upgrade from release 1, whose single krn2html package held the command and the templates:
# a stand-in with those paths is installed, then both new packages in one go replace it.
old="$WORK/old-krn2html"
mkdir -p "$old/DEBIAN" "$old$folder/HTML Support" "$old/usr/bin"
printf 'Package: krn2html\nVersion: 1.0.0.1\nArchitecture: amd64\nMaintainer: test <test@invalid>\nDescription: release 1 stand-in\n' \
  >"$old/DEBIAN/control"
printf '#!/bin/sh\necho release 1\n' >"$old$folder/krn2html-convert"
cp "$old$folder/krn2html-convert" "$old$folder/krn2html"
chmod 755 "$old$folder/krn2html-convert" "$old$folder/krn2html"
echo '<!-- release 1 -->' >"$old$folder/HTML Support/generic.html"
ln -s "../lib/krn2html/krn2html-convert" "$old/usr/bin/krn2html-convert"
ln -s "../lib/krn2html/krn2html" "$old/usr/bin/krn2html"
dpkg-deb --root-owner-group -b "$old" "$WORK/old-krn2html.deb" >"$WORK/dpkg.log" 2>&1 ||
  fail "the release 1 stand-in could not be built: $(cat "$WORK/dpkg.log")"
dpkg -i "$WORK/old-krn2html.deb" >>"$WORK/dpkg.log" 2>&1 || fail "the release 1 stand-in: $(cat "$WORK/dpkg.log")"
installed="krn2html"
# As the README tells users: apt orders the upgrade of krn2html before krn2html-convert.
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$command_deb" "$window_deb" >>"$WORK/dpkg.log" 2>&1 ||
  fail "the new packages do not replace release 1's: $(cat "$WORK/dpkg.log")"
installed="krn2html krn2html-convert"
for package in krn2html krn2html-convert; do
  [ "$(dpkg-query -W -f='${Status} ${Version}' "$package")" = "install ok installed $KRN_VERSION" ] ||
    fail "after the upgrade $package is $(dpkg-query -W -f='${Status} ${Version}' "$package")"
done
[ "$(dpkg -S "$folder/HTML Support/generic.html" 2>&1)" = "krn2html-convert: $folder/HTML Support/generic.html" ] ||
  fail "the templates did not pass to krn2html-convert: $(dpkg -S "$folder/HTML Support/generic.html" 2>&1)"
grep -q 'release 1' "$folder/HTML Support/generic.html" "$folder/krn2html-convert" &&
  fail "release 1's files are left after the upgrade"
dpkg -r krn2html krn2html-convert >>"$WORK/dpkg.log" 2>&1 || fail "dpkg -r after the upgrade: $(cat "$WORK/dpkg.log")"
installed=""
[ ! -e "$folder" ] || fail "$folder is left after removing the upgraded packages: $(find "$folder")"

# The user: nobody, with a home of its own in the work folder.
chmod 755 "$WORK"
home="$WORK/nobody"
mkdir -p "$home/scenes" "$home/pages"
cp "$KRN_DATA_E2E/scene.krn" "$home/scenes/scene.krn"
chown -R nobody: "$home"
chmod 700 "$home"
as_nobody() { runuser -u nobody -- env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin KRN2HTML_VERBOSE=1 "$@"; }
# The same user on a machine without a display: no DISPLAY at all.
as_nobody_without_display() { runuser -u nobody -- env -i HOME="$home" PATH=/usr/bin:/bin "$@"; }
# The installed files of the command's package (the shared folder itself changes with the other).
command_files() { find "$folder" -mindepth 1 ! -path "$folder/krn2html" -printf '%p %s %T@\n' | sort; }

# The command's package alone: no window program, a program that links no GUI library, and a
# conversion without a display.
dpkg -i "$command_deb" >"$WORK/dpkg.log" 2>&1 || fail "dpkg -i krn2html-convert failed: $(cat "$WORK/dpkg.log")"
installed="krn2html-convert"
[ -x /usr/bin/krn2html-convert ] || fail "no krn2html-convert on the PATH"
[ ! -e /usr/bin/krn2html ] && [ ! -e "$folder/krn2html" ] || fail "the command's package installed the window program"
[ -f /usr/share/doc/krn2html-convert/copyright ] || fail "no copyright file of the command's package"
grep -q '^License: Expat' /usr/share/doc/krn2html-convert/copyright || fail "the copyright file names no MIT (Expat) licence"
ldd "$folder/krn2html-convert" >"$WORK/ldd" 2>&1 || fail "ldd: $(cat "$WORK/ldd")"
if grep -iE "$gui_libraries" "$WORK/ldd" >"$WORK/gui"; then
  fail "the installed command links a GUI library: $(cat "$WORK/gui")"
fi
command_before=$(command_files)
as_nobody_without_display krn2html-convert --list-templates >"$WORK/list" 2>&1 || fail "krn2html-convert as nobody: $(cat "$WORK/list")"
grep -q 'generic.html' "$WORK/list" || fail "the installed templates are not listed: $(cat "$WORK/list")"
as_nobody_without_display krn2html-convert -o "$home/pages/command.html" "$home/scenes/scene.krn" >"$WORK/convert.log" 2>&1 ||
  fail "krn2html-convert could not convert without a display: $(cat "$WORK/convert.log")"
grep -q 'scenes/scene.krn' "$home/pages/command.html" || fail "the command's page does not refer to the scene"

# The window package beside it.
dpkg -i "$window_deb" >>"$WORK/dpkg.log" 2>&1 || fail "dpkg -i krn2html failed: $(cat "$WORK/dpkg.log")"
installed="krn2html krn2html-convert"
[ -x /usr/bin/krn2html ] || fail "no krn2html on the PATH"
[ -f /usr/share/applications/krn2html.desktop ] || fail "no desktop entry"
[ -f /usr/share/icons/hicolor/scalable/apps/krn2html.svg ] || fail "no icon"
[ -f /usr/share/doc/krn2html/copyright ] || fail "no copyright file of the window's package"
[ "$(command_files)" = "$command_before" ] || fail "the window's package changed the command's files"
before=$(find "$folder" -printf '%p %s %T@\n' | sort)

start_display
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

cmp -s "$home/pages/scene.html" "$home/pages/command.html" ||
  fail "the window's page and the command's page of the same scene differ"

dpkg -r krn2html >>"$WORK/dpkg.log" 2>&1 || fail "dpkg -r krn2html failed: $(cat "$WORK/dpkg.log")"
installed="krn2html-convert"
[ ! -e "$folder/krn2html" ] && [ -x "$folder/krn2html-convert" ] || fail "removing the window's package touched the command's"
dpkg -r krn2html-convert >>"$WORK/dpkg.log" 2>&1 || fail "dpkg -r krn2html-convert failed: $(cat "$WORK/dpkg.log")"
installed=""
for path in "$folder" /usr/bin/krn2html /usr/bin/krn2html-convert /usr/share/applications/krn2html.desktop \
  /usr/share/icons/hicolor/scalable/apps/krn2html.svg /usr/share/doc/krn2html /usr/share/doc/krn2html-convert; do
  [ ! -e "$path" ] && [ ! -L "$path" ] || fail "$path is left after dpkg -r"
done
echo "PASS [$CASE]"
