#!/usr/bin/env bash
# The DLLs each Windows program imports, read from its import table with the cross objdump:
# the command krn2html-convert.exe imports no GUI library (no USER32 window, no GDI32 drawing,
# no COMDLG32 dialog), so it starts where no desktop is; the window program imports them.
#
# Usage: program_imports.sh OBJDUMP COMMAND_EXE WINDOW_EXE
set -euo pipefail
objdump=$1 command_exe=$2 window_exe=$3

imports() {
  "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:lower:]' '[:upper:]' | sort -u
}

command_dlls=$(imports "$command_exe")
window_dlls=$(imports "$window_exe")
[ -n "$command_dlls" ] || { echo "FAIL: no import table read from $command_exe"; exit 1; }
echo "krn2html-convert.exe imports: $(echo $command_dlls)"
echo "krn2html.exe imports: $(echo $window_dlls)"

status=0
for dll in USER32.DLL GDI32.DLL COMDLG32.DLL SHELL32.DLL WINMM.DLL MSVFW32.DLL; do
  if echo "$command_dlls" | grep -qx "$dll"; then
    echo "FAIL: krn2html-convert.exe imports $dll"
    status=1
  fi
done
# The same reading finds the GUI libraries where they belong.
for dll in USER32.DLL COMDLG32.DLL; do
  echo "$window_dlls" | grep -qx "$dll" || { echo "FAIL: krn2html.exe does not import $dll"; status=1; }
done
[ $status -eq 0 ] && echo "PASS"
exit $status
