#!/usr/bin/env bash
# Peak memory of krn2html-convert on a large scene of geometry with four animations: the scene
# (SIZE MiB, 1024 by default) is made in a temporary folder, converted from its file and from
# standard input under /usr/bin/time -v, and deleted. Prints each peak and its ratio to the
# file; exits 1 when a ratio passes LIMIT (1.3 by default).
#   bash bench/large_scene_memory.sh PATH/TO/krn2html-convert [SIZE_MIB] [LIMIT]
set -euo pipefail
convert=${1:?usage: large_scene_memory.sh krn2html-convert [SIZE_MIB] [LIMIT]}
size_mib=${2:-1024}
limit=${3:-1.3}
work=$(mktemp -d "${TMPDIR:-/tmp}/krn-large-scene.XXXXXX")
trap 'rm -rf "$work"' EXIT
scene=$work/large.krn
/usr/bin/python3 - "$scene" "$size_mib" <<'PY'
import sys
path, mib = sys.argv[1], int(sys.argv[2])
vertices = "0.125 -1.5 2.25 " * 40
head = ('<?xml version="1.0"?>\r\n<KRNScene Name="large">\r\n<KRSTimeline Name="Main">\r\n'
        '<KRSTimeElem Name="Open" On="0"/>\r\n<KRSTimeElem Name="Close" On="0"/>\r\n'
        '<KRSTimeElem Name="Spin" On="0" Clamp="0"/>\r\n<KRSTimeElem Name="Glow" On="0"/>\r\n'
        '</KRSTimeline>\r\n')
meshes = []
n = 0
while sum(len(m) for m in meshes) < 1 << 20:
    n += 1
    meshes.append('<Mesh Name="mesh%d">\r\n' % n
                  + ("<Vertices>%s</Vertices>\r\n" % vertices) * 16 + "</Mesh>\r\n")
block = "".join(meshes).encode()
with open(path, "wb") as f:
    f.write(head.encode())
    written = len(head)
    while written + len(block) < mib << 20:
        f.write(block)
        written += len(block)
    f.write(b"</KRNScene>\r\n")
PY
bytes=$(stat -c %s "$scene")
status=0
measure() {  # what, then the command's arguments
  local what=$1
  shift
  /usr/bin/time -v "$@" 2>"$work/time" >/dev/null
  grep -q "Open" "$work/page.html" || { echo "$what: the page has no buttons" >&2; status=1; }
  local kib
  kib=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time")
  awk -v what="$what" -v kib="$kib" -v bytes="$bytes" -v limit="$limit" 'BEGIN {
    ratio = kib * 1024 / bytes
    printf "%-16s scene %.0f MiB, peak %.0f MiB, %.3f times the file\n", what, bytes / 1048576, kib / 1024, ratio
    exit ratio > limit }' || status=1
  rm -f "$work/page.html"
}
measure "file:" "$convert" -q -o "$work/page.html" "$scene"
measure "standard input:" sh -c 'exec "$0" -q -o "$1" - <"$2"' "$convert" "$work/page.html" "$scene"
exit $status
