#!/bin/sh
# bench/startup.sh [BUILD_DIR]: builds the start-up benchmark in a Windows x64 build
# folder (default build/win64) and runs it once under Wine on a virtual display, in the
# benchmarks' own prefix there (bench-prefix): the time from process start to the
# visible wizard and the working set after start-up, against a bare Win32 window
# program and the same program loading comctl32 and shell32.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build/win64}
export WINEPREFIX="$build/bench-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${VELTRANO_BENCH_INNER:-}" ]; then
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
          -DCMAKE_BUILD_TYPE=Release >/dev/null
  fi
  cmake --build "$build" -j2 --target startup_bench
  # A wineserver started without a display would give the programs no windows.
  wineserver -k 2>/dev/null || true
  # On one processor, as in bench/run.sh: the display, the server and the programs, so
  # that no round trip between them waits for a sleeping processor to wake.
  pin=
  command -v taskset >/dev/null && pin="taskset -c 0"
  VELTRANO_BENCH_INNER=1 exec $pin xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build"
fi
[ -f "$WINEPREFIX/system.reg" ] || "$repo/tests/support/wine-prefix.sh" create "$WINEPREFIX" >/dev/null
status=0
wine "$build/bin/startup_bench.exe" || status=$?
wineserver -k 2>/dev/null || true
exit $status
