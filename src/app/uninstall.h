#pragma once

namespace veltrano {

// Uninstall mode, entered from start-up when argument 1 is exactly "/uninstall". It
// never returns: it ends the program.
[[noreturn]] void EnterUninstallMode();

}  // namespace veltrano
