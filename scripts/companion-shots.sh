#!/bin/sh
# Screenshots of the companion windows "Stay Alive" and "Update", and of the help file
# in Wine's help viewer: starts each under Wine on a virtual display, saves its window
# as build/win64/screenshot-<name>.png and ends it. The Wine prefix is kept in
# build/win64/companions-prefix. (Wine here has no HTML engine, so the viewer shows the
# contents tree and an empty page.)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/win64/bin"
export WINEPREFIX="$root/build/win64/companions-prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
for program in VadiVazar.Exe Update.Exe Veltrano.Chm; do
  [ -f "$bin/$program" ] || { echo "companion-shots: $bin/$program is not built" >&2; exit 1; }
done
[ -f "$WINEPREFIX/system.reg" ] || "$root/tests/support/wine-prefix.sh" create "$WINEPREFIX" >/dev/null
wineserver -k 2>/dev/null || true

# shoot NAME CAPTION COMMAND...: the window of the command started in the bin folder,
# cropped from the screen.
shoot() {
  name="$1"; caption="$2"; shift 2
  shot="$root/build/win64/screenshot-$name.png"
  (cd "$bin" && wine "$@") &
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
  sleep 3  # let the window finish painting (the help viewer fills its tree late)
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

shoot VadiVazar "Veltrano Stay Alive" VadiVazar.Exe
shoot Update "Veltrano Update" Update.Exe
shoot help "Veltrano Help" hh.exe Veltrano.Chm
