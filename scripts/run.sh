#!/bin/sh
# Installs the built x64 setup program silently into a Wine prefix kept inside the build
# folder and starts the installed Veltrano.exe as a user would: the setup program
# writes First "Yes" on every installation, so the wizard comes up with the first-run
# notice over it. A later run installs over the earlier one, keeping LastOptim.
# VELTRANO_WINVER picks the emulated Windows (winxp unless told otherwise). Without a
# display it starts a virtual one, saves screenshots of the screen and of each window
# (whole, title bar included: the first-run notice, the wizard once the notice is closed,
# and the Changes window of the wizard's last page) under the build folder, prints their
# paths and ends the program.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/win64/bin"
setup="$bin/VeltranoSetup-x64.exe"
export WINEPREFIX="$root/build/win64/run-prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
winver="${VELTRANO_WINVER:-winxp}"
[ -f "$setup" ] || { echo "run: $setup is not built" >&2; exit 1; }

if [ -z "${DISPLAY:-}" ] && [ -z "${VELTRANO_RUN_INNER:-}" ]; then
  # Everything, prefix creation included, runs inside one virtual display.
  export VELTRANO_RUN_INNER=1
  wineserver -k 2>/dev/null || true
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

wineserver -k 2>/dev/null || true
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "making the Wine prefix $WINEPREFIX (once)"
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
# A real Windows 9x also keeps SystemRoot under ...\Windows\CurrentVersion.
case "$winver" in
  win95|win98|winme)
    wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v SystemRoot /t REG_SZ /d 'C:\windows' /f >/dev/null ;;
esac
wine reg add 'HKCU\Software\Wine\AppDefaults\Veltrano.exe' /v Version /t REG_SZ /d "$winver" /f >/dev/null
# The virtual display has no window manager to draw title bars: Wine draws its windows'
# frames itself when they are not managed. On a real display the desktop's manager does.
if [ -n "${VELTRANO_RUN_INNER:-}" ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
else
  wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
fi

echo "installing $(basename "$setup") silently"
wine "$setup" /S || { echo "run: the setup program failed ($?)" >&2; exit 1; }
programdir_win=$(wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Veltrano_is1' \
  /v InstallLocation | tr -d '\r' | sed -n 's/^ *InstallLocation *REG_SZ *//p')
[ -n "$programdir_win" ] || { echo "run: the setup program wrote no uninstall entry" >&2; exit 1; }
programdir="$(winepath -u "$programdir_win")"

echo "starting $programdir_win\\Veltrano.exe (emulating $winver)"
if [ -z "${VELTRANO_RUN_INNER:-}" ]; then
  cd "$programdir" && exec wine Veltrano.exe "$@"
fi

# Headless: wait for the main window, then take screenshots of the screen and of each
# window of the program, going through them as a user would, and end it.
geometry_of() {  # the geometry of the viewable X window with that title, or nothing
  for id in $(xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\"" 'index($0, t) {print $1}'); do
    info=$(xwininfo -id "$id" 2>/dev/null)
    echo "$info" | grep -q "IsViewable" || continue
    x=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
    y=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
    w=$(echo "$info" | awk '/Width:/ {print $2}')
    h=$(echo "$info" | awk '/Height:/ {print $2}')
    echo "${w}x${h}+${x}+${y}"
    return
  done
}

(cd "$programdir" && wine Veltrano.exe "$@") &
main=""
for _ in $(seq 1 60); do
  main=$(geometry_of "Veltrano v2.11")
  [ -n "$main" ] && break
  sleep 0.5
done
sleep 1  # let the windows finish painting
shots="$root/build/win64"
# Wine's own screen has every window; an X capture of Xvfb shows the later ones black.
shot() {  # shot FILE [CAPTION]: the screen, or the visible window with that caption
  wine "$bin/winshot.exe" "$(winepath -w "$shots/$1.bmp")" ${2:+"$2"} 2>/dev/null || return 1
  convert "$shots/$1.bmp" "$shots/$1.png" && rm -f "$shots/$1.bmp"
}
press() {  # press CAPTION TEXT: clicks that button of that window
  wine "$bin/winshot.exe" --press "$1" "$2" 2>/dev/null
}
shot screenshot-screen && echo "screenshot of the screen: $shots/screenshot-screen.png"
if shot screenshot-notice "ATTENTION : Please Read"; then
  echo "screenshot of the first-run notice: $shots/screenshot-notice.png"
  press "ATTENTION : Please Read" "&OK"
fi
if [ -n "$main" ] && shot screenshot-main "Veltrano v2.11"; then
  echo "screenshot of the main window: $shots/screenshot-main.png"
fi
# Welcome, connection type (Modem), modem type (56k), then what Optimize would change.
for button in "&Next >" "&Next >" "&Next >" "Show &Changes..."; do
  press "Veltrano v2.11" "$button" || break
done
if shot screenshot-changes "Veltrano v2.11 - Changes"; then
  echo "screenshot of the Changes window: $shots/screenshot-changes.png"
fi
wineserver -k 2>/dev/null || true
wait 2>/dev/null || true
if [ -z "$main" ]; then
  echo "run: the main window did not appear" >&2
  exit 1
fi
