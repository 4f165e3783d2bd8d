#!/bin/sh
# Installs what the build and the tests need from Debian's packages, when missing.
set -eu
packages="build-essential cmake make git googletest g++-mingw-w64-x86-64-posix
  g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 binutils-mingw-w64-x86-64
  binutils-mingw-w64-i686 nsis wixl msitools fp-utils libjpeg-dev python3 iproute2 procps
  wine wine64 xvfb xauth x11-apps x11-utils imagemagick clang libclang-rt-14-dev"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# wine32 cannot run on these machines: keep it out.
$SUDO apt-get install -y -q $missing
