// Window class registration, once per class name, with the result checked.
#pragma once

#include <windows.h>

#include <string>

namespace veltrano::ui::detail {

HINSTANCE ModuleInstance();

// Registers the class on first use; throws SystemRefusal when the system refuses.
void RegisterClassOnce(const std::string& name, WNDPROC procedure, UINT style, HBRUSH background);

// Throws SystemRefusal with `what` and the system's last error: "<what> (error <n>)".
[[noreturn]] void ThrowRefusal(const std::string& what);

}  // namespace veltrano::ui::detail
