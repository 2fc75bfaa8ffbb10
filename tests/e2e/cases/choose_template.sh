#!/usr/bin/env bash
# Choosing another template with the menu widget (press, drag over the pop-up
# list, release) rebuilds the window with that template's fields, keeps its
# top-left corner and remembers the choice.
. "$(dirname "$0")/../lib.sh"
start_display
make_program_folder "$KRN_DATA_E2E/plain.html" "$KRN_DATA_E2E/fields.html"
printf 'plain.html\r\n' >"$PROGRAM_DIR/Defaults/defaulttemplate.txt"
# The catalogue lists the templates by name, whatever the folder's order.
listed=(fields.html plain.html)
current=-1; wanted=-1
for i in "${!listed[@]}"; do
  [ "${listed[$i]}" = plain.html ] && current=$i
  [ "${listed[$i]}" = fields.html ] && wanted=$i
done
start_program
win=$(wait_window "$MAIN_TITLE")
sleep 0.5
window_geometry "$win"
[ "$H" -eq 75 ] || fail "the plain template's window is $H high, expected 75"
x0=$X; y0=$Y
# Press on the selector (151, 25) - (347, 50) and hold.
pointer_to $((X + 250)) $((Y + 37))
xdotool mousedown 1
sleep 0.2
pointer_to $((X + 253)) $((Y + 37))
popup=""
for _ in $(seq 50); do
  popup=$("$KRN_XPROBE" popups | head -1)
  [ -n "$popup" ] && break
  sleep 0.1
done
[ -n "$popup" ] || { xdotool mouseup 1; fail "no pop-up list while the button is held"; }
read -r pid px py pw ph <<<"$popup"
[ "$pw" -eq 160 ] && [ "$ph" -eq 40 ] || { xdotool mouseup 1; fail "pop-up list is ${pw}x${ph}, expected 160x40"; }
# The pointer sits in the middle of the current row.
[ "$py" -eq $((Y + 37 - 20 * current - 10)) ] || { xdotool mouseup 1; fail "pop-up top $py does not centre row $current on the pointer"; }
pointer_to $((px + 80)) $((py + 20 * wanted + 10))
sleep 0.3
screenshot popup-list
xdotool mouseup 1
wait_id_gone "$win" 5
win=$(wait_window "$MAIN_TITLE")
sleep 0.5
window_geometry "$win"
# fields.html has TITLE and AUTHOR: two rows of 25 more; a = 150.
[ "$W" -eq 481 ] && [ "$H" -eq 125 ] || fail "rebuilt window is ${W}x${H}, expected 481x125"
[ "$X" -eq "$x0" ] && [ "$Y" -eq "$y0" ] || fail "rebuilt window moved from $x0,$y0 to $X,$Y"
screenshot rebuilt-window
[ "$(cat "$PROGRAM_DIR/Defaults/defaulttemplate.txt")" = $'fields.html\r' ] ||
  fail "defaulttemplate.txt holds $(cat -A "$PROGRAM_DIR/Defaults/defaulttemplate.txt")"
"$KRN_XPROBE" close "$win"
expect_exit 0
echo "PASS [$CASE]"
