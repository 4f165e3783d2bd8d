#!/bin/sh
# Runs every test with one CTest: native tests natively, Windows tests under wine64 in
# a fresh prefix inside build/win64, GUI tests on a virtual display, and the x86 import
# check. Ends with CTest's summary line; non-zero on any failure.
set -u
cd "$(dirname "$0")/.."
printf 'subdirs("native" "win64" "win32")\n' > build/CTestTestfile.cmake
# A wineserver left over from an earlier prefix would hold the display it started with.
WINEPREFIX="$PWD/build/win64/wineprefix" wineserver -k 2>/dev/null || true
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build --output-on-failure -j 2
status=$?
WINEPREFIX="$PWD/build/win64/wineprefix" wineserver -k 2>/dev/null || true
# The windows the GUI tests saved as BMP files, also as PNG files beside them.
if command -v convert >/dev/null; then
  for bmp in build/win64/screenshots/*.bmp; do
    [ -f "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png"
  done
fi
exit $status
