#!/bin/sh
# run-as-old-windows.sh VERSION PROGRAM [ARGS...]: runs a test program as Wine's emulated
# VERSION (win95, win98, nt40 ...), under a name of its own so that no other test program
# is emulated with it. As that version the program's old-Windows rules layer
# (tests/support/old_windows_rules.cpp) refuses what the old system refuses; the run
# fails unless the layer says it patched at least one import. A 9x
# machine keeps SystemRoot under ...\Windows\CurrentVersion too; it is there meanwhile.
set -u
version="$1"; program="$2"; shift 2
copy="$(dirname "$program")/$(basename "$program" .exe)-$version.exe"
cp "$program" "$copy" || exit 1
name=$(basename "$copy")
wine_reg() { wine reg "$@" >/dev/null 2>&1; }
wine_reg add "HKCU\\Software\\Wine\\AppDefaults\\$name" /v Version /t REG_SZ /d "$version" /f
windows_key='HKLM\Software\Microsoft\Windows\CurrentVersion'
case "$version" in
  win95|win98|winme) wine_reg add "$windows_key" /v SystemRoot /t REG_SZ /d 'C:\windows' /f ;;
esac
output=$(wine "$copy" "$@" 2>&1)
status=$?
printf '%s\n' "$output"
# The rules layer names what it patched: a banner without a count, or with 0, means
# that the program ran with the system's own functions after all.
if ! printf '%s\n' "$output" | grep -Eq '^old-Windows rules: .*, [1-9][0-9]* imports patched'; then
  echo "run-as-old-windows: the program did not run under the old-Windows rules" >&2; status=1
fi
wine_reg delete "$windows_key" /v SystemRoot /f
wine_reg delete "HKCU\\Software\\Wine\\AppDefaults\\$name" /f
rm -f "$copy"
exit $status
