#!/bin/sh
# bench/run.sh [BUILD_DIR]: builds the engine benchmark in a Windows x64 build folder
# (default build/win64) and runs it once under Wine, in a prefix of its own there
# (bench-prefix, made on the first run) and with a wineserver of its own, started for
# the run and stopped after it.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build/win64}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target engine_bench
export WINEPREFIX="$build/bench-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || "$repo/tests/support/wine-prefix.sh" create "$WINEPREFIX" >/dev/null
wineserver -k 2>/dev/null || true
# Every registry call is a round trip to wineserver. On two processors each trip wakes
# the other one, which an idle machine (a virtual one above all) has let sleep: the same
# loop then takes four times as long, or not, from one run to the next. On one
# processor a trip is a plain task switch. wine starts the server, which inherits it.
pin=
command -v taskset >/dev/null && pin="taskset -c 0"
status=0
$pin wine "$build/bin/engine_bench.exe" || status=$?
wineserver -k 2>/dev/null || true
exit $status
