#!/bin/sh
# check-msi.sh OBJDUMP PACKAGE PLATFORM FORMAT: the package is marked for PLATFORM
# ("Intel", "x64") and Windows Installer 2.0, and the Veltrano.exe inside it is of
# object FORMAT ("pei-i386", "pei-x86-64").
set -eu
info=$(msiinfo suminfo "$2")
echo "$info" | grep -qx "Template: $3;1033" || { echo "FAIL: not marked $3"; echo "$info"; exit 1; }
echo "$info" | grep -q "^Version: 200 " || { echo "FAIL: not for Windows Installer 2.0"; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
msiextract -C "$dir" "$2" >/dev/null
exe=$(find "$dir" -name Veltrano.exe)
"$1" -f "$exe" | grep -q "file format $4\$" || { echo "FAIL: $exe is not $4"; "$1" -f "$exe"; exit 1; }
echo "ok: $2 is $3 and holds a $4 Veltrano.exe"
