#!/usr/bin/env bash
# -j on Windows: 40 scenes with a malformed and a missing one, converted by four workers, give the
# pages, standard error (in the order of the scenes) and exit status of -j 1.
. "$(dirname "$0")/../lib.sh"
make_program_folder "$KRN_DATA_E2E/plain.html"
cd "$WORK"
mkdir s
operands=()
for i in $(seq -w 1 40); do
  if ((10#$i == 17)); then
    cp "$KRN_DATA_E2E/broken.krn" "s/$i.krn"
  else
    sed "s/Spin/Spin$i/" "$KRN_DATA_E2E/scene.krn" >"s/$i.krn"
  fi
  operands+=("s/$i.krn")
  ((10#$i == 30)) && operands+=("s/missing.krn")
done

for jobs in 1 4; do
  convert -j "$jobs" -v -d "out$jobs" "${operands[@]}"
  tr -d '\r' <"$ERR" | sed "s|out$jobs|OUT|g" >"err$jobs"
  echo "$STATUS" >"status$jobs"
done
[ "$(cat status1)" -eq 1 ] || fail "the missing scene did not fail the run"
[ "$(find out1 -name '*.html' | wc -l)" -eq 40 ] || fail "not 40 pages with -j 1"
diff -r out1 out4 >/dev/null || fail "the pages of -j 4 differ from -j 1"
cmp -s err1 err4 || { diff err1 err4 >&2 || true; fail "standard error of -j 4 differs from -j 1"; }
cmp -s status1 status4 || fail "the status of -j 4 differs from -j 1"
grep -q "missing.krn: No such file or directory" err1 || fail "the missing scene was not told"
[ "$(grep -c -- '-> ' err1)" -eq 40 ] || fail "not every page was named"
echo "PASS [$CASE]"
