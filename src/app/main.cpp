#include <windows.h>

#include <cstdlib>

#include "app/program.h"
#include "ui/startup_trace.h"

// An exception that escapes every handler ends the program in abort(), as the runtime's
// own terminate handler does after it has written the exception's demangled type to the
// standard error stream, which a windowed program does not have. That handler brings
// the whole demangler (about 45 KB) into the program for nothing; this one replaces it.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  veltrano::ui::trace::Mark("WinMain");
  return veltrano::RunVeltrano(instance);
}
