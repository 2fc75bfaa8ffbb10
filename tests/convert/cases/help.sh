#!/usr/bin/env bash
# --help, the README and the manual page describe every option the command takes, and --help
# names the settings folder the settings decision picks for this copy.
. "$(dirname "$0")/../lib.sh"
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
make_program_folder "$KRN_DATA_E2E/fields.html"
cd "$WORK"

convert --help
expect_status 0
cp "$OUT" help
# Every long option of the help's option list (its lines that start with "-" after spaces).
options=$(grep -oE '^ +(-[a-z], )?--[a-z-]+' help | grep -oE -- '--[a-z-]+' | sort -u)
[ "$(echo "$options" | wc -l)" -ge 14 ] || fail "the help lists too few options: $options"
# Each one is an option the command accepts: a wrong argument is refused, not unknown.
for option in $options; do
  convert "$option=" s.krn
  if grep -q "unrecognized option" "$ERR"; then fail "--help lists $option, which is refused"; fi
done
# The manual page (its hyphens escaped) and the README name each one.
man_page="$source_dir/packaging/krn2html-convert.1"
sed 's/\\-/-/g' "$man_page" >man.txt
for option in $options; do
  grep -qF -- "$option" man.txt || fail "the manual page does not describe $option"
  grep -qF -- "$option" "$source_dir/README.md" || fail "the README does not name $option"
done
for short in $(grep -oE '^ +-[a-z],' help | grep -oE -- '-[a-z]'); do
  grep -qE -- "^\.BR $short \"?, \"?" "$man_page" ||
    grep -qF -- "$short" man.txt || fail "the manual page lacks $short"
done

# The settings folder: the program folder's Defaults while it is there, else the user's.
expect_contains help "This copy reads them from $PROGRAM_DIR/Defaults/ (the program folder's \"Defaults\")."
rmdir "$PROGRAM_DIR/Defaults"
convert --help
expect_contains "$OUT" "This copy reads them from $USER_SETTINGS/ (the user's settings folder)."
echo "PASS [$CASE]"
