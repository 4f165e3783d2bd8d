#!/bin/sh
# Pictures of every wizard page and side window: runs the screenshot test of the built
# GUI test program on a virtual display and saves PNG files in build/win64/screenshots.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/win64"
out="$build/screenshots"
[ -f "$build/bin/gui_tests.exe" ] || { echo "screenshots: build the win64 preset first" >&2; exit 1; }
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export VELTRANO_SOURCE_DIR="$root"

if [ -z "${VELTRANO_SHOTS_INNER:-}" ]; then
  # Prefix creation and the test share one display (a Wine session keeps its display).
  export VELTRANO_SHOTS_INNER=1
  wineserver -k 2>/dev/null || true
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

[ -f "$WINEPREFIX/system.reg" ] || "$root/tests/support/wine-prefix.sh" create "$WINEPREFIX" >/dev/null
rm -rf "$out" && mkdir -p "$out"
VELTRANO_SCREENSHOT_DIR="$(winepath -w "$out")" \
  wine "$build/bin/gui_tests.exe" --gtest_filter='Screenshots.*' >/dev/null
wineserver -k 2>/dev/null || true
for bmp in "$out"/*.bmp; do
  convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
ls "$out"/*.png
