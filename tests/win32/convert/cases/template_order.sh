#!/usr/bin/env bash
# The templates in one order, as on Linux: names compared without regard to case.
. "$(dirname "$0")/../lib.sh"
make_program_folder
cd "$WORK"
for name in presentation.html Zeta.html _under.html generic.html Alpha.HTML embed.html; do
  printf '<p>%s</p>\n' "$name" >"$PROGRAM_DIR/HTML Support/$name"
done
convert --list-templates
expect_status 0
printf '%s\n' "* Alpha.HTML" "  embed.html" "  generic.html" "  presentation.html" "  Zeta.html" \
  "  _under.html" >want
tr -d '\r' <"$OUT" >listed
cmp -s want listed || { diff want listed >&2; fail "--list-templates order"; }
echo "PASS [$CASE]"
