#!/usr/bin/env bash
# Replacing a page: owner and group kept where the system allows it (as root: always), a page
# that is a symbolic link written through the link, a page with other hard links refused.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
make_scenes "$WORK/s"
cd "$WORK"
mkdir -p pages real

# A link to a page elsewhere and one to a page not made yet.
echo old >real/a.html
ln -s ../real/a.html pages/a.html
ln -s "$WORK/real/b.html" pages/b.html
convert -d pages s/a.krn s/b.krn
expect_status 0
for name in a b; do
  [ -L "pages/$name.html" ] || fail "pages/$name.html is no longer a link"
  expect_contains "real/$name.html" "<p>$KRN_VERSION</p>"
done
[ -z "$(find pages real -name '*.tmp')" ] || fail "a temporary file stayed behind"

# Other hard links: refused, every name keeps the old page.
echo "old linked" >pages/linked.html
ln pages/linked.html real/second-name.html
cp s/a.krn s/linked.krn
convert -d pages s/linked.krn
expect_status 1
expect_stderr "krn2html-convert: s/linked.krn: Could not write the page $WORK/pages/linked.html: The file has other hard links, which a new file would part from it"
[ "$(cat pages/linked.html)" = "old linked" ] && [ "$(cat real/second-name.html)" = "old linked" ] ||
  fail "a hard-linked page was changed"

# Owner and group (only root may give a file away).
if [ "$(id -u)" -eq 0 ]; then
  echo old >pages/owned.html
  chown 65534:4 pages/owned.html
  chmod 640 pages/owned.html
  cp s/a.krn s/owned.krn
  convert -d pages s/owned.krn
  expect_status 0
  [ "$(stat -c '%u:%g %a' pages/owned.html)" = "65534:4 640" ] ||
    fail "owner, group and mode became $(stat -c '%u:%g %a' pages/owned.html)"
  expect_contains pages/owned.html "<p>$KRN_VERSION</p>"
  # The owner of a link's file, not of the link.
  echo old >real/c.html
  chown 65534:4 real/c.html
  ln -s ../real/c.html pages/c.html
  cp s/a.krn s/c.krn
  convert -d pages s/c.krn
  expect_status 0
  [ "$(stat -c '%u:%g' real/c.html)" = "65534:4" ] || fail "the link's file lost its owner"
else
  echo "($CASE: owner check skipped, not root)"
fi
echo "PASS [$CASE]"
