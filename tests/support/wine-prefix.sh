#!/bin/sh
# wine-prefix.sh create DIR: a fresh Wine prefix in DIR (an old one is removed).
# wine-prefix.sh stop DIR:   stops the prefix's wineserver.
set -eu
action="$1"
WINEPREFIX="$(mkdir -p "$2" && cd "$2" && pwd)"
export WINEPREFIX WINEDEBUG=-all
# Never let Wine offer to install Mono or Gecko: nothing may be downloaded here.
export WINEDLLOVERRIDES="mscoree,mshtml="
case "$action" in
  create)
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-prefix: no prefix made in $WINEPREFIX" >&2; exit 1; }
    # The virtual display has no window manager: unmanaged windows show and hide at
    # once instead of Wine waiting for a manager that never answers.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
    echo "wine prefix ready: $WINEPREFIX"
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    echo "wineserver stopped: $WINEPREFIX"
    ;;
  *)
    echo "usage: $0 create|stop DIR" >&2; exit 2 ;;
esac
