// Start-up trace for the benchmark build (bench/startup-phases.sh): time stamps of the
// steps from WinMain to the first wait for input. Only a build configured with
// VELTRANO_STARTUP_TRACE compiles it in; in any other build the calls are empty and
// vanish, so the shipped program has none of it.
//
// In a trace build the marks are kept in memory (QueryPerformanceCounter) and written,
// once the program first waits for input, to the file named by the environment
// variable VELTRANO_TRACE_FILE: a line "frequency <counts a second>", then one line
// "<counter> <mark>" a mark. With VELTRANO_TRACE_DEBUGSTR set, each mark is also
// passed to OutputDebugStringA, so that Wine's +debugstr channel shows it among the
// server calls of +server.
#pragma once

namespace veltrano::ui::trace {

#ifdef VELTRANO_STARTUP_TRACE
inline constexpr bool kEnabled = true;
// Records the step `what`, with `detail` after it (a window class, say); both are
// copied. Marks after the trace was written are ignored.
void Mark(const char* what, const char* detail = "");
// Writes the marks once; later calls do nothing.
void Write();
#else
inline constexpr bool kEnabled = false;
inline void Mark(const char*, const char* = "") {}
inline void Write() {}
#endif

}  // namespace veltrano::ui::trace
