#!/bin/sh
# check-x86-loads.sh CHECK_PY OBJDUMP EXE: would this x86 program load and work on
# Windows 95, 98, 98 SE, Me, NT 4.0, 2000 and XP? The export lists of those systems'
# DLLs say whether every import is there; and on 9x the wide (...W) functions of
# KERNEL32 are stubs that fail, so none may be imported but the three that the C and
# C++ runtime imports and copes without.
set -u
check_py="$1"; objdump="$2"; exe="$3"
status=0
report=$(python3 "$check_py" "$exe") || status=1
# Imports the export lists cannot judge are not counted; the summary says how many.
printf '%s\n' "$report" | grep -v '^  unknown'

runtime_wide='^(CreateSemaphoreW|GetModuleHandleW|LoadLibraryW)$'
wide=$("$objdump" -p "$exe" | awk '
  /DLL Name:/ { dll = tolower($3) }
  dll == "kernel32.dll" && $1 ~ /^[0-9a-f]+$/ && NF >= 3 { print $3 }' |
  grep -E 'W$' | grep -Ev "$runtime_wide")
if [ -n "$wide" ]; then
  echo "FAIL $(basename "$exe") imports wide KERNEL32 functions that fail on Windows 9x:" $wide
  status=1
fi
exit $status
