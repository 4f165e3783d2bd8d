#!/bin/sh
# check-imports.sh OBJDUMP EXE...: every DLL an executable imports must be a
# Windows system DLL, so that the static build runs without MinGW's runtime DLLs.
set -u
objdump="$1"; shift
allowed='^(kernel32|user32|gdi32|advapi32|shell32|comctl32|comdlg32|ole32|oleaut32|msvcrt|ws2_32|wsock32|version|shlwapi|uxtheme)\.dll$'
status=0
for exe in "$@"; do
  dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
  [ -n "$dlls" ] || { echo "FAIL $exe: no import table read"; status=1; continue; }
  for dll in $dlls; do
    if ! echo "$dll" | grep -Eq "$allowed"; then
      echo "FAIL $exe imports $dll"; status=1
    fi
  done
  echo "checked $(basename "$exe"): $(echo $dlls)"
done
exit $status
