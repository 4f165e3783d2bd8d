#!/bin/sh
# Runs a Windows program under wine64 in the test prefix of its build folder
# (build/<preset>/wineprefix unless WINEPREFIX is set). CMake uses this as the
# cross-compiling emulator, so ctest runs the Windows tests unchanged.
program="$1"
if [ -z "${WINEPREFIX:-}" ]; then
  bindir=$(cd "$(dirname "$program")" && pwd)
  WINEPREFIX="$(dirname "$bindir")/wineprefix"
fi
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$(dirname "$0")/wine-prefix.sh" create "$WINEPREFIX" || exit 1
fi
exec wine "$@"
