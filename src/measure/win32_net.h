// Internal to the Win32 backends of this folder: a system DLL loaded when first needed
// (95 and NT 4.0 lack iphlpapi.dll, and start-up stays free of wsock32.dll), kept for the
// program's life, and its functions by name; an address as the IP helpers take it.
#pragma once

#include <windows.h>

#include "measure/echo.h"

namespace veltrano {

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const char* name) : module_(LoadLibraryA(name)) {}
  ~LoadedLibrary() {
    if (module_) FreeLibrary(module_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  // nullptr when the library or the function is not there.
  template <typename Function>
  Function Get(const char* name) const {
    return module_
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
               : nullptr;
  }

 private:
  HMODULE module_;
};

// The address in the byte order of the wire, as the IP helpers' IPAddr holds it.
inline ULONG WireAddress(Ipv4 address) {
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(address >> 24), static_cast<unsigned char>(address >> 16),
      static_cast<unsigned char>(address >> 8), static_cast<unsigned char>(address)};
  ULONG wire = 0;
  CopyMemory(&wire, bytes, 4);
  return wire;
}

}  // namespace veltrano
