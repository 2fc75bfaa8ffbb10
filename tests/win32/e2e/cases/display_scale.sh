#!/usr/bin/env bash
# The window at the display's DPI (LogPixels 96, 144 and 192, in a Wine prefix
# of the case's own): the program runs DPI-aware (its manifest declares
# per-monitor awareness, read from the executable), the window's client area,
# an edit field's rectangle and its text are 1, 1.5 and 2 times their 96-DPI
# size; at 192 a choice in the template selector's pop-up list, a click into a
# field, typing and a conversion land where they are drawn.
. "$(dirname "$0")/../lib.sh"
export KRN_WINEPREFIX="$WORK/prefix"
cleanup_prefix() { WINEPREFIX=$KRN_WINEPREFIX wineserver -k 2>/dev/null || true; }
trap 'cleanup_prefix; cleanup' EXIT

# The manifest in the executable's resources declares per-monitor awareness,
# v2 first, with the older forms for older systems.
manifest=$(grep -a -o '<dpiAwareness[^<]*</dpiAwareness>' "$KRN_EXE" || true)
[ "$manifest" = '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>' ] ||
  fail "the executable's manifest declares no per-monitor v2 awareness: '$manifest'"
grep -a -q '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>' "$KRN_EXE" ||
  fail "the executable's manifest lacks the older per-monitor form"

make_program_folder "$KRN_DATA_E2E/plain.html" "$KRN_DATA_E2E/fields.html"
# A third template, so that the pop-up list's choice differs from "the next one".
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
  sizes=($CLIENT_W $CLIENT_H $((EDIT_R - EDIT_L)) $((EDIT_B - EDIT_T)) $((EDIT_L - BUTTON_L)) $((EDIT_T - BUTTON_T)))
  echo "at $dpi DPI: client ${CLIENT_W}x$CLIENT_H, edit field $((EDIT_R - EDIT_L))x$((EDIT_B - EDIT_T)), text ${INK_W}x$INK_H"
  names=("client width" "client height" "field width" "field height" "field left (from the button)" "field top (from the button)")
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

# At 192 DPI: hold the button on the selector, drawn at (151, 25) - (347, 50)
# units; its pop-up list centres the current row (20 units high) on the
# pointer; releasing over another row chooses that template.
mapfile -t listed < <(ls -f "$PROGRAM_DIR/HTML Support" | grep '\.html$' | tac)
current=-1
for i in "${!listed[@]}"; do [ "${listed[$i]}" = fields.html ] && current=$i; done
wanted=$(((current + 2) % 3))  # not the next template, which a click on free space picks
xid=$(wait_xid "$MAIN_TITLE")
xdotool mousemove --window "$xid" "$(px 250 192)" "$(px 37 192)"
xdotool mousedown 1
sleep 0.4
xdotool mousemove_relative -- 3 $(px $((20 * (wanted - current))) 192)
sleep 0.4
import -window root "$artifacts/win-display-scale-192-popup.png" || true
xdotool mouseup 1
wait_handle_gone "$win"
win=$(wait_handle "$MAIN_TITLE")
[ "$(cat "$PROGRAM_DIR/Defaults/defaulttemplate.txt")" = "${listed[$wanted]}"$'\r' ] ||
  fail "the pop-up choice at 192 DPI gave $(cat -A "$PROGRAM_DIR/Defaults/defaulttemplate.txt"), expected ${listed[$wanted]}"
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
