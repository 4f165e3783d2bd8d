#!/bin/sh
# Starts the built Veltrano.exe under Wine in a prefix kept inside the build folder.
# The prefix is made once and provisioned as the installer does it: the program folder,
# ProgramKey with LastOptim "7" and First "Yes", and the uninstall entry Veltrano_is1.
# VELTRANO_WINVER picks the emulated Windows (winxp unless told otherwise). Without a
# display it starts a virtual one, saves a screenshot of the main window under the
# build folder, prints its path and ends the program.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/win64/bin"
export WINEPREFIX="$root/build/win64/run-prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
winver="${VELTRANO_WINVER:-winxp}"
[ -f "$bin/Veltrano.exe" ] || { echo "run: $bin/Veltrano.exe is not built" >&2; exit 1; }

if [ -z "${DISPLAY:-}" ] && [ -z "${VELTRANO_RUN_INNER:-}" ]; then
  # Everything, prefix creation included, runs inside one virtual display.
  export VELTRANO_RUN_INNER=1
  wineserver -k 2>/dev/null || true
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

case "$winver" in
  win95|win98|winme) software=Software ;;
  *) software=SOFTWARE ;;
esac
programdir_win='C:\Program Files\Veltrano'
stamp="$WINEPREFIX/.veltrano-provisioned"

wineserver -k 2>/dev/null || true
if [ ! -f "$stamp" ]; then
  echo "making the Wine prefix $WINEPREFIX (once)"
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  key="HKLM\\$software\\QuarnSoft\\Veltrano"
  uninst="HKLM\\$software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano_is1"
  wine reg add "$key" /v LastOptim /t REG_SZ /d 7 /f >/dev/null
  wine reg add "$key" /v First /t REG_SZ /d Yes /f >/dev/null
  wine reg add "$uninst" /v DisplayName /t REG_SZ /d "Veltrano 2.11" /f >/dev/null
  wine reg add "$uninst" /v UninstallString /t REG_SZ /d "\"$programdir_win\\unins000.exe\"" /f >/dev/null
  touch "$stamp"
fi
# A real Windows 9x also keeps SystemRoot under ...\Windows\CurrentVersion.
case "$winver" in
  win95|win98|winme)
    wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v SystemRoot /t REG_SZ /d 'C:\windows' /f >/dev/null ;;
esac
wine reg add 'HKCU\Software\Wine\AppDefaults\Veltrano.exe' /v Version /t REG_SZ /d "$winver" /f >/dev/null

programdir="$(winepath -u "$programdir_win")"
mkdir -p "$programdir"
cp "$bin/Veltrano.exe" "$programdir/"
for set in VLO VLU; do
  [ -d "$bin/$set" ] && rm -rf "$programdir/$set" && cp -r "$bin/$set" "$programdir/"
done

echo "starting $programdir_win\\Veltrano.exe (emulating $winver)"
if [ -z "${VELTRANO_RUN_INNER:-}" ]; then
  cd "$programdir" && exec wine Veltrano.exe "$@"
fi

# Headless: wait for the main window, take a screenshot of it, end the program.
(cd "$programdir" && wine Veltrano.exe "$@") &
shot="$root/build/win64/screenshot-main.png"
geometry=""
for _ in $(seq 1 60); do
  for id in $(xwininfo -root -tree 2>/dev/null | awk '/"Veltrano v2.11"/ {print $1}'); do
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
if [ -n "$geometry" ]; then
  xwd -root -silent | convert xwd:- -crop "$geometry" +repage "$shot"
else
  xwd -root -silent | convert xwd:- "$shot"
fi
wineserver -k 2>/dev/null || true
wait 2>/dev/null || true
if [ -z "$geometry" ]; then
  echo "run: the main window did not appear; screenshot of the screen: $shot" >&2
  exit 1
fi
echo "screenshot of the main window: $shot"
