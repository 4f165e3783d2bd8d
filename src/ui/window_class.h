// Window class registration, once per class name, with the result checked.
#pragma once

#include <windows.h>

#include <string>

namespace veltrano::ui::detail {

HINSTANCE ModuleInstance();

// Registers the class on first use; throws SystemRefusal when the system refuses.
void RegisterClassOnce(const std::string& name, WNDPROC procedure, UINT style, HBRUSH background);

}  // namespace veltrano::ui::detail
