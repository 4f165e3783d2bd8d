#!/bin/sh
# bench/run.sh [BUILD_DIR]: builds the engine benchmark in a Windows x64 build folder
# (default build/win64) and runs it once under Wine in that folder's prefix.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build/win64}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target engine_bench
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
[ -f "$WINEPREFIX/system.reg" ] || "$repo/tests/support/wine-prefix.sh" create "$WINEPREFIX"
wine "$build/bin/engine_bench.exe"
