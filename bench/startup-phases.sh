#!/bin/sh
# bench/startup-phases.sh [--calls] [BUILD_DIR]: where Veltrano's start-up time goes.
# Builds a trace build of the x64 program in its own folder (default build/win64-trace,
# configured with VELTRANO_STARTUP_TRACE: see src/ui/startup_trace.h; the presets and
# the shipped program never have the trace) and runs bench/startup_phases.cpp under
# Wine on a virtual display, in that folder's own prefix, on one processor as
# bench/startup.sh does: the time of each step from CreateProcess to the first wait for
# input, over many starts, beside the bare window program with comctl32 and shell32.
#
# With --calls it starts the program once more under WINEDEBUG=+server,+debugstr and
# counts the wineserver calls of the program's thread between the marks: a figure that
# a busy machine does not move.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
calls=
if [ "${1:-}" = --calls ]; then calls=1; shift; fi
build=${1:-$repo/build/win64-trace}
export WINEPREFIX="$build/bench-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${VELTRANO_BENCH_INNER:-}" ]; then
  cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DVELTRANO_STARTUP_TRACE=ON >/dev/null
  cmake --build "$build" -j2 --target startup_phases
  wineserver -k 2>/dev/null || true
  pin=
  command -v taskset >/dev/null && pin="taskset -c 0"
  VELTRANO_BENCH_INNER=1 VELTRANO_BENCH_CALLS=$calls exec $pin \
    xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build"
fi
[ -f "$WINEPREFIX/system.reg" ] || "$repo/tests/support/wine-prefix.sh" create "$WINEPREFIX" >/dev/null
status=0
wine "$build/bin/startup_phases.exe" || status=$?
if [ -n "${VELTRANO_BENCH_CALLS:-}" ] && [ $status -eq 0 ]; then
  log="$build/startup-calls.log"
  # wineserver traces the calls when it is itself started with +server.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  WINEDEBUG=+server,+debugstr wine "$build/bin/startup_phases.exe" --once 2>"$log" || status=$?
  # The marks of the last start name the thread to count: "tid:trace:debugstr:..."
  # lines carry them, "tid: request( ... )" lines are the calls.
  awk '
    /veltrano-trace: / {
      thread = $0; sub(/:.*/, "", thread)
      mark = $0; sub(/.*veltrano-trace: /, "", mark); sub(/\\n.*$/, "", mark); sub(/".*$/, "", mark)
      if (mark == "WinMain") { n = 0; delete count; delete name; delete ctl; current = "" }
      if (mark ~ /^control /) { ctl[n]++; next }
      name[++n] = mark; count[n] = 0; current = thread; next
    }
    current != "" && index($0, current ": ") == 1 && $0 !~ /\) = / && $0 !~ /DBWIN_BUFFER/ && $2 ~ /^[a-z_]+\(/ { count[n]++ }
    END {
      printf "Wineserver calls of the program thread, by the mark they lead up to (one start):\n"
      total = 0
      for (i = 2; i <= n; i++) { printf "  %6d  %s%s\n", count[i - 1], name[i], ctl[i - 1] ? " (" ctl[i - 1] " controls)" : ""; total += count[i - 1] }
      printf "  %6d  in all, WinMain to the first wait for input\n", total
    }' "$log"
fi
wineserver -k 2>/dev/null || true
exit $status
