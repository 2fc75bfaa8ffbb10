#!/usr/bin/env bash
# The window at the display's DPI (LogPixels 96, 144 and 192, in a Wine prefix
# of the case's own): the program runs DPI-aware (its manifest declares
# per-monitor awareness, read from the executable), the window's outer size,
# an edit field's rectangle and its text are 1, 1.5 and 2 times their 96-DPI
# size; at 192 a press on the template selector, a click on free space, a
# click into a field, typing and a conversion land where they are drawn.
. "$(dirname "$0")/../lib.sh"
export KRN_WINEPREFIX="$WORK/prefix"
cleanup_prefix() { WINEPREFIX=$KRN_WINEPREFIX wineserver -k 2>/dev/null || true; }
# The prefix's server goes first; the case's status reaches the common cleanup.
cleanup_all() {
  local status=$?
  set +e
  cleanup_prefix
  (exit $status)
  cleanup
}
trap cleanup_all EXIT

# The manifest in the executable's resources declares per-monitor awareness,
# v2 first, with the older forms for older systems.
manifest=$(grep -a -o '<dpiAwareness[^<]*</dpiAwareness>' "$KRN_EXE" || true)
[ "$manifest" = '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>' ] ||
  fail "the executable's manifest declares no per-monitor v2 awareness: '$manifest'"
grep -a -q '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>' "$KRN_EXE" ||
  fail "the executable's manifest lacks the older per-monitor form"

make_program_folder "$KRN_DATA_E2E/plain.html" "$KRN_DATA_E2E/fields.html"
# A third template: the pop-up list has three rows.
cp "$KRN_DATA_E2E/plain.html" "$PROGRAM_DIR/HTML Support/third.html"
mkdir -p "$WORK/scenes" "$WORK/pages"
cp "$KRN_DATA_E2E/scene.krn" "$WORK/scenes/scene.krn"

px() { echo $((($1 * $2 + 48) / 96)); }
near() { local d=$(($1 - $2)); [ ${d#-} -le "$3" ]; }

# Sets the display's DPI for the next program (Wine reads it when its server starts).
set_dpi() {
  cleanup_prefix
  local key
  for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    "$KRN_WINE" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1 ||
      fail "cannot set LogPixels to $1"
  done
  WINEPREFIX=$KRN_WINEPREFIX wineserver -w 2>/dev/null || true
}

# Sets EDIT_* to the first edit field's screen rectangle and BUTTON_* to the first button's.
read_controls() {
  local lines
  lines=$(probe children "$1") || fail "no controls of window $1"
  read -r _ _ EDIT_L EDIT_T EDIT_R EDIT_B < <(echo "$lines" | awk 'toupper($1) == "EDIT"' | head -1)
  read -r _ _ BUTTON_L BUTTON_T BUTTON_R BUTTON_B < <(echo "$lines" | awk 'toupper($1) == "BUTTON"' | head -1)
  [ -n "${EDIT_L:-}" ] && [ -n "${BUTTON_L:-}" ] || fail "no edit field or button among: $lines"
}

# Sets INK_W and INK_H to the size of the dark pixels in a screen rectangle (inset 3 pixels).
ink_at() {
  local geometry
  import -window root "$WORK/screen.png" || fail "no screenshot"
  geometry=$(convert "$WORK/screen.png" +repage -crop "$(($3 - $1 - 6))x$(($4 - $2 - 6))+$(($1 + 3))+$(($2 + 3))" \
    +repage -colorspace Gray -threshold 50% -format '%@' info:) || fail "cannot measure text"
  INK_W=${geometry%%x*}
  geometry=${geometry#*x}
  INK_H=${geometry%%+*}
}

artifacts=${KRN_ARTIFACTS:-$WORK/artifacts}
mkdir -p "$artifacts"
for dpi in 96 144 192; do
  set_dpi $dpi
  printf 'fields.html\r\n' >"$PROGRAM_DIR/Defaults/defaulttemplate.txt"
  start_program
  win=$(wait_handle "$MAIN_TITLE" 60)
  sleep 1
  got=$(probe dpi "$win")
  [ "$got" -eq "$dpi" ] || fail "the window's DPI is $got, expected $dpi (not DPI-aware?)"
  window_info "$win"
  read_controls "$win"
  ink_at "$EDIT_L" "$EDIT_T" "$EDIT_R" "$EDIT_B"
  cp "$WORK/screen.png" "$artifacts/win-display-scale-$dpi.png"
  echo "screenshot: $artifacts/win-display-scale-$dpi.png"
  # The outer size is the layout's; the client area is what the system's frame leaves of it.
  sizes=($((RIGHT - LEFT)) $((BOTTOM - TOP)) $((EDIT_R - EDIT_L)) $((EDIT_B - EDIT_T)) $((EDIT_L - BUTTON_L)) $((EDIT_T - BUTTON_T)))
  echo "at $dpi DPI: window $((RIGHT - LEFT))x$((BOTTOM - TOP)) (client ${CLIENT_W}x$CLIENT_H), edit field $((EDIT_R - EDIT_L))x$((EDIT_B - EDIT_T)), text ${INK_W}x$INK_H"
  names=("window width" "window height" "field width" "field height" "field left (from the button)" "field top (from the button)")
  if [ $dpi -eq 96 ]; then
    base=("${sizes[@]}")
    base_ink=($INK_W $INK_H)
  else
    for i in "${!sizes[@]}"; do
      near "${sizes[$i]}" "$(px "${base[$i]}" $dpi)" 1 ||
        fail "at $dpi DPI the ${names[$i]} is ${sizes[$i]}, expected $(px "${base[$i]}" $dpi) (${base[$i]} at 96)"
    done
    near "$INK_W" "$(px "${base_ink[0]}" $dpi)" $((base_ink[0] * dpi / 640 + 2)) &&
      near "$INK_H" "$(px "${base_ink[1]}" $dpi)" $((base_ink[1] * dpi / 640 + 2)) ||
      fail "at $dpi DPI the field's text is ${INK_W}x$INK_H, expected about $(px "${base_ink[0]}" $dpi)x$(px "${base_ink[1]}" $dpi)"
  fi
  [ $dpi -eq 192 ] && break
  probe close "$win" >/dev/null
  expect_exit 0
done

# At 192 DPI: holding the button on the selector, drawn at (151, 25) - (347, 50)
# units, opens its pop-up list (160 units wide, a row of 20 units per
# template) with the current row centred on the pointer. (Wine does not hand
# the held pointer's moves to the list, so the choice by dragging is left to
# the Linux case; releasing where it was pressed keeps the template.)
xid=$(wait_xid "$MAIN_TITLE")
xdotool mousemove --window "$xid" "$(px 250 192)" "$(px 37 192)"
xdotool mousedown 1
sleep 0.3
xdotool mousemove_relative -- 3 0
popup=""
for _ in $(seq 30); do
  popup=$(probe popups - | head -1)
  [ -n "$popup" ] && break
  sleep 0.2
done
[ -n "$popup" ] || { xdotool mouseup 1; fail "no pop-up list at 192 DPI while the button is held on the selector"; }
read -r _ pl pt pr pb <<<"$popup"
eval "$(xdotool getmouselocation --shell)"
current=$(((Y - pt) / $(px 20 192)))
import -window root "$artifacts/win-display-scale-192-popup.png" || true
xdotool mouseup 1
[ $((pr - pl)) -eq "$(px 160 192)" ] && [ $((pb - pt)) -eq "$(px 60 192)" ] ||
  fail "the pop-up list is $((pr - pl))x$((pb - pt)) at 192 DPI, expected $(px 160 192)x$(px 60 192)"
[ $((Y - pt)) -eq $(($(px 20 192) * current + $(px 10 192))) ] ||
  fail "the pop-up list (top $pt) does not centre row $current on the pointer ($Y)"
sleep 0.5
[ "$(tr -d '\r' <"$PROGRAM_DIR/Defaults/defaulttemplate.txt")" = fields.html ] ||
  fail "releasing over the current row changed the template"

# A quick click on free space, left of the convert button (8, 10 units),
# moves to the next template: the window is rebuilt for a template without
# fields (75 units high).
xdotool mousemove --window "$xid" "$(px 8 192)" "$(px 10 192)" click 1
wait_handle_gone "$win"
win=$(wait_handle "$MAIN_TITLE")
sleep 0.5
chosen=$(tr -d '\r' <"$PROGRAM_DIR/Defaults/defaulttemplate.txt")
[ "$chosen" != fields.html ] || fail "the click on free space at 192 DPI kept fields.html"
window_info "$win"
[ $((BOTTOM - TOP)) -eq "$(px 75 192)" ] || fail "the window for $chosen is $((BOTTOM - TOP)) high at 192 DPI, expected $(px 75 192)"
probe close "$win" >/dev/null
expect_exit 0

# A click into the TITLE field where it is drawn, typing, and a conversion
# through the convert button, at its drawn place.
printf 'fields.html\r\n' >"$PROGRAM_DIR/Defaults/defaulttemplate.txt"
start_program
win=$(wait_handle "$MAIN_TITLE" 60)
sleep 1
read_controls "$win"
xdotool mousemove $(((EDIT_L + EDIT_R) / 2)) $(((EDIT_T + EDIT_B) / 2)) click 1
sleep 0.3
xdotool key Home shift+End BackSpace
xdotool type --delay 15 "Scaled Scene"
sleep 0.3
xdotool mousemove $(((BUTTON_L + BUTTON_R) / 2)) $(((BUTTON_T + BUTTON_B) / 2)) click 1
answer_file_dialog "Select KRN/KRQ File" "$(winpath "$WORK/scenes/scene.krn")"
answer_file_dialog "Saving HTML File (HTML)" "$(winpath "$WORK/pages/scene.html")"
wait_file "$WORK/pages/scene.html"
sleep 0.5
grep -q '<title>Scaled Scene</title>' "$WORK/pages/scene.html" ||
  fail "the typed title is not in the page: $(cat "$WORK/pages/scene.html")"
probe close "$win" >/dev/null
expect_exit 0
echo "PASS [$CASE]"
