#!/usr/bin/env bash
# The exe's VERSIONINFO gives the packed product version 0x01000001 (1, 0, 0, 1)
# through the program's own version reading.
. "$(dirname "$0")/../lib.sh"
IFS=. read -r a b c d <<<"$KRN_VERSION"
want=$(printf '0x%02X%02X%02X%02X' "$a" "$b" "$c" "$d")
got=$(probe version "$(winpath "$KRN_EXE")")
[ "$got" = "$want" ] || fail "ReadProductVersion of krn2html.exe is $got, expected $want"
[ "$want" = 0x01000001 ] || fail "the project version is $KRN_VERSION, expected 1.0.0.1"
echo "PASS [$CASE]"
