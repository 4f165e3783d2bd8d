#pragma once

#include <string>

#include "ui/form.h"

namespace veltrano {

// The installer's uninstaller, started from the program's folder.
inline constexpr char kUninstallerFile[] = "unins000.exe";

// Uninstall mode, entered from start-up when argument 1 is exactly "/uninstall":
// restores the Windows default settings, tells the user so in `warning` (the uninstall
// warning TForm7, shown modally), starts the uninstaller from the folder of exePath
// and ends the program. It never returns.
[[noreturn]] void EnterUninstallMode(ui::Form& warning, const std::string& exePath);

}  // namespace veltrano
