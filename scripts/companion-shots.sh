#!/bin/sh
# Screenshots of the companion windows "Stay Alive" and "Update": starts each built
# program under Wine on a virtual display, saves its window as
# build/win64/screenshot-<program>.png and ends it. The Wine prefix is kept in
# build/win64/companions-prefix.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/win64/bin"
export WINEPREFIX="$root/build/win64/companions-prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
for program in VadiVazar.Exe Update.Exe; do
  [ -f "$bin/$program" ] || { echo "companion-shots: $bin/$program is not built" >&2; exit 1; }
done
[ -f "$WINEPREFIX/system.reg" ] || "$root/tests/support/wine-prefix.sh" create "$WINEPREFIX" >/dev/null
wineserver -k 2>/dev/null || true

# shoot PROGRAM CAPTION: the program's window, cropped from the screen.
shoot() {
  program="$1"; caption="$2"
  shot="$root/build/win64/screenshot-${program%.Exe}.png"
  (cd "$bin" && wine "$program") &
  geometry=""
  for _ in $(seq 1 60); do
    for id in $(xwininfo -root -tree 2>/dev/null | awk -v c="\"$caption\"" 'index($0, c) {print $1}'); do
      info=$(xwininfo -id "$id" 2>/dev/null)
      echo "$info" | grep -q "IsViewable" || continue
      x=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
      y=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
      w=$(echo "$info" | awk '/Width:/ {print $2}')
      h=$(echo "$info" | awk '/Height:/ {print $2}')
      geometry="${w}x${h}+${x}+${y}"
    done
    [ -n "$geometry" ] && break
    sleep 0.5
  done
  sleep 1  # let the window finish painting
  if [ -z "$geometry" ]; then
    echo "companion-shots: the window \"$caption\" did not appear" >&2
    wineserver -k 2>/dev/null || true
    return 1
  fi
  xwd -root -silent | convert xwd:- -crop "$geometry" +repage "$shot"
  wineserver -k 2>/dev/null || true
  wait 2>/dev/null || true
  echo "screenshot of \"$caption\": $shot"
}

shoot VadiVazar.Exe "Veltrano Stay Alive"
shoot Update.Exe "Veltrano Update"
