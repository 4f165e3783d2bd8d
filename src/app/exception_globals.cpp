// The C++ runtime finds the exceptions being handled through a record per thread, kept
// in emulated thread-local storage on MinGW: that storage's code (1.5 KB of the x86
// program) comes along for one record. The program runs all its code on one thread, so
// one record, defined here in the program alone, does.
#include <cxxabi.h>

namespace __cxxabiv1 {

// As the Itanium C++ ABI lays it out: the exceptions caught and not yet ended, and the
// number thrown and not yet caught.
struct __cxa_eh_globals {
  void* caughtExceptions;
  unsigned int uncaughtExceptions;
};

namespace {
__cxa_eh_globals theExceptions{};
}  // namespace

extern "C" __cxa_eh_globals* __cxa_get_globals() noexcept {
  return &theExceptions;
}

extern "C" __cxa_eh_globals* __cxa_get_globals_fast() noexcept {
  return &theExceptions;
}

}  // namespace __cxxabiv1
