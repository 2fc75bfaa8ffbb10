#!/usr/bin/env bash
# The window at the desktop's scale (Xft.dpi 96, 144 and 192 in the X
# resources): the window, an edit field and its text are 1, 1.5 and 2 times
# their 96-DPI size; at 192 a press on the template selector, a choice in its
# pop-up list, a click into a field, typing and a conversion all land where
# they are drawn; a scene dropped on the window converts.
. "$(dirname "$0")/../lib.sh"
start_display
make_program_folder "$KRN_DATA_E2E/plain.html" "$KRN_DATA_E2E/fields.html"
mkdir -p "$WORK/scenes" "$WORK/pages"
cp "$KRN_DATA_E2E/scene.krn" "$WORK/scenes/scene.krn"

# A length in units at a DPI, rounded as the backend rounds.
px() { echo $((($1 * $2 + 48) / 96)); }

# Whether $1 is within $3 of $2.
near() { local d=$(($1 - $2)); [ ${d#-} -le "$3" ]; }

# The field's white inside, grown by the 2-pixel frame its down box draws at every scale.
measure_field() {
  white_box_at "$1" "$2"
  FIELD_L=$((BOX_L - 2)) FIELD_T=$((BOX_T - 2)) FIELD_W=$((BOX_W + 4)) FIELD_H=$((BOX_H + 4))
  ink_in "$1" "$BOX_L" "$BOX_T" "$BOX_W" "$BOX_H"
}

for dpi in 96 144 192; do
  echo "Xft.dpi: $dpi" | xrdb -nocpp -merge || fail "xrdb cannot set Xft.dpi"
  printf 'fields.html\r\n' >"$PROGRAM_DIR/Defaults/defaulttemplate.txt"
  start_program
  win=$(wait_window "$MAIN_TITLE")
  sleep 0.5
  window_geometry "$win"
  # fields.html lays the window out at 481 x 125.
  [ "$W" -eq "$(px 481 $dpi)" ] && [ "$H" -eq "$(px 125 $dpi)" ] ||
    fail "at $dpi DPI the window is ${W}x$H, expected $(px 481 $dpi)x$(px 125 $dpi)"
  import -window "$win" "$ARTIFACTS/display-scale-$dpi.png" || fail "no screenshot at $dpi DPI"
  echo "screenshot: $ARTIFACTS/display-scale-$dpi.png"
  # The TITLE field, met by the column 420 units in (right of the field's text).
  measure_field "$ARTIFACTS/display-scale-$dpi.png" "$(px 420 $dpi)"
  echo "at $dpi DPI: window ${W}x$H, field ${FIELD_W}x$FIELD_H at $FIELD_L,$FIELD_T, text ${INK_W}x$INK_H"
  if [ $dpi -eq 96 ]; then
    base=($FIELD_L $FIELD_T $FIELD_W $FIELD_H $INK_W $INK_H)
  else
    got=($FIELD_L $FIELD_T $FIELD_W $FIELD_H)
    names=(left top width height)
    for i in 0 1 2 3; do
      near "${got[$i]}" "$(px "${base[$i]}" $dpi)" 1 ||
        fail "at $dpi DPI the field's ${names[$i]} is ${got[$i]}, expected $(px "${base[$i]}" $dpi) (${base[$i]} at 96)"
    done
    # Text is hinted per size: within a tenth of the scaled size.
    near "$INK_W" "$(px "${base[4]}" $dpi)" $((base[4] * dpi / 960 + 1)) &&
      near "$INK_H" "$(px "${base[5]}" $dpi)" $((base[5] * dpi / 960 + 1)) ||
      fail "at $dpi DPI the field's text is ${INK_W}x$INK_H, expected about $(px "${base[4]}" $dpi)x$(px "${base[5]}" $dpi)"
  fi
  if [ $dpi -ne 192 ]; then
    "$KRN_XPROBE" close "$win" || fail "cannot ask the window to close"
    expect_exit 0
  fi
done

# At 192 DPI: the selector spans (151, 25) - (347, 50) units; pressing it
# opens the pop-up list (160 x 40 units, one 20-unit row per template) and
# releasing over plain.html's row rebuilds the window with that template.
mapfile -t listed < <(ls -f "$PROGRAM_DIR/HTML Support" | grep '\.html$' | tac)
wanted=-1
for i in "${!listed[@]}"; do [ "${listed[$i]}" = plain.html ] && wanted=$i; done
window_geometry "$win"
pointer_to $((X + $(px 250 192))) $((Y + $(px 37 192)))
xdotool mousedown 1
sleep 0.2
pointer_to $((X + $(px 253 192))) $((Y + $(px 37 192)))
popup=""
for _ in $(seq 50); do
  popup=$("$KRN_XPROBE" popups | head -1)
  [ -n "$popup" ] && break
  sleep 0.1
done
[ -n "$popup" ] || { xdotool mouseup 1; fail "no pop-up list at 192 DPI while the button is held"; }
read -r pid px py pw ph <<<"$popup"
[ "$pw" -eq 320 ] && [ "$ph" -eq 80 ] || { xdotool mouseup 1; fail "pop-up list is ${pw}x$ph at 192 DPI, expected 320x80"; }
pointer_to $((px + 160)) $((py + 40 * wanted + 20))
sleep 0.3
import -window root "$ARTIFACTS/display-scale-192-popup.png" || true
xdotool mouseup 1
wait_id_gone "$win" 5
win=$(wait_window "$MAIN_TITLE")
sleep 0.5
window_geometry "$win"
[ "$W" -eq 962 ] && [ "$H" -eq 150 ] || fail "the window rebuilt with plain.html is ${W}x$H, expected 962x150"
[ "$(cat "$PROGRAM_DIR/Defaults/defaulttemplate.txt")" = $'plain.html\r' ] ||
  fail "the choice at 192 DPI was not taken: $(cat -A "$PROGRAM_DIR/Defaults/defaulttemplate.txt")"
"$KRN_XPROBE" close "$win"
expect_exit 0

# Back to fields.html: a click into the TITLE field where it is drawn, typing,
# and a conversion through the convert button (21, 1) - (454, 23) units.
printf 'fields.html\r\n' >"$PROGRAM_DIR/Defaults/defaulttemplate.txt"
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.5
click_in "$win" $(px 300 192) $(px 62 192)
sleep 0.2
xdotool key Home shift+End
xdotool type --delay 2 -- "Scaled Scene"
sleep 0.2
import -window "$win" "$ARTIFACTS/display-scale-192-typed.png" || true
click_in "$win" $(px 200 192) $(px 12 192)
answer_file_dialog "Select KRN/KRQ File" "$WORK/scenes/scene.krn"
answer_file_dialog "Saving HTML File (HTML)" "$WORK/pages/scene.html"
wait_file "$WORK/pages/scene.html"
grep -q '<title>Scaled Scene</title>' "$WORK/pages/scene.html" ||
  fail "the typed title is not in the page: $(cat "$WORK/pages/scene.html")"
grep -q "triggeranimation('Spin')" "$WORK/pages/scene.html" || fail "the page lacks its buttons"
# A scene dropped on the scaled window converts too, with the typed title.
cp "$KRN_DATA_E2E/other.krn" "$WORK/scenes/other.krn"
"$KRN_XDND" "$win" $(px 240 192) $(px 60 192) "$WORK/scenes/other.krn" || fail "the drop at 192 DPI was not taken"
answer_file_dialog "Saving HTML File (HTML)" "$WORK/pages/other.html"
wait_file "$WORK/pages/other.html"
grep -q '<title>Scaled Scene</title>' "$WORK/pages/other.html" && grep -q "triggeranimation('Wave')" "$WORK/pages/other.html" ||
  fail "the dropped scene's page is not the expected one: $(cat "$WORK/pages/other.html")"
"$KRN_XPROBE" close "$win"
expect_exit 0
echo "PASS [$CASE]"
