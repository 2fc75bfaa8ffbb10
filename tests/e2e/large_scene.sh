# Shared by the end-to-end cases of both systems: writes a scene of one animation and then
# $2 lines of geometry (11 bytes each: 27000000 lines are about 300 MB) to $1.
write_large_scene() {
  {
    echo '<Scene><KRSTimeElem Name="Spin" On="0"/>'
    (yes '<g a="1"/>' || true) | head -n "$2"
    echo '</Scene>'
  } >"$1"
}
