#pragma once

#include <string>

#include "ui/form.h"

namespace veltrano {

// The installer's uninstaller, started from the program's folder.
inline constexpr char kUninstallerFile[] = "unins000.exe";
inline constexpr char kRemoveAnywayQuestion[] =
    "The Windows default settings could not be restored. Remove Veltrano anyway?";

// Uninstall mode, entered from start-up when argument 1 is exactly "/uninstall":
// restores the Windows default settings, tells the user so in `warning` (the uninstall
// warning TForm7, shown modally), starts the uninstaller from the folder of exePath
// and ends the program. When the defaults cannot be restored (an unusable LastOptim,
// a refused write) the user is asked whether to remove the program anyway: Yes starts
// the uninstaller without the warning, No ends the program. It never returns.
[[noreturn]] void EnterUninstallMode(ui::Form& warning, const std::string& exePath);

}  // namespace veltrano
