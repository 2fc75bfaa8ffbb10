#!/usr/bin/env bash
# One order of templates whatever the folder's: names compared without regard to case, the
# shipped templates first, then the user's own; the first is the default when none is remembered.
. "$(dirname "$0")/../lib.sh"
make_program_folder
cd "$WORK"
mkdir -p "$USER_SETTINGS/templates"
# Made in an order unlike the wanted one, so that the folder's own order cannot pass by chance.
for name in presentation.html Zeta.html _under.html generic.html Alpha.HTML embed.html; do
  printf '<p>%s</p>\n' "$name" >"$PROGRAM_DIR/HTML Support/$name"
done
for name in own-b.html Own-a.html generic.html; do
  printf '<p>own %s</p>\n' "$name" >"$USER_SETTINGS/templates/$name"
done
convert --list-templates
expect_status 0
printf '%s\n' "* Alpha.HTML" "  embed.html" "  generic.html" "  presentation.html" "  Zeta.html" \
  "  _under.html" "  Own-a.html" "  own-b.html" >want
cmp -s want "$OUT" || { diff want "$OUT" >&2; fail "--list-templates order"; }
cp "$KRN_DATA_E2E/scene.krn" a.krn
convert a.krn
expect_status 0
expect_contains a.html "<p>Alpha.HTML</p>"

# The shipped three: embed.html first.
rm "$PROGRAM_DIR/HTML Support/"{Alpha.HTML,Zeta.html,_under.html} "$USER_SETTINGS/templates/"*
convert --list-templates
printf '%s\n' "* embed.html" "  generic.html" "  presentation.html" >want
cmp -s want "$OUT" || { diff want "$OUT" >&2; fail "--list-templates of the shipped names"; }
echo "PASS [$CASE]"
