#pragma once

#include <string>

#include "app/uninstwrn.h"

namespace veltrano {

// The installer's uninstaller, started from the program's folder.
inline constexpr char kUninstallerFile[] = "unins000.exe";
inline constexpr char kRemoveAnywayQuestion[] =
    "The Windows default settings could not be restored. Remove Veltrano anyway?";
inline constexpr char kOwnSettingsFailedQuestion[] =
    "The settings from before Veltrano could not be restored. Remove Veltrano anyway?";

// "Put back the network settings this computer had before Veltrano (saved on <taken>)?"
std::string OwnSettingsQuestion(const std::string& taken);

// Uninstall mode, entered from start-up when argument 1 is exactly "/uninstall":
// restores the Windows default settings; when the backup from before Veltrano is kept,
// offers to put those settings back instead (Yes restores them, No keeps the defaults);
// tells the user what the computer now has in `warning` (the uninstall warning TForm7,
// shown modally), starts the uninstaller from the folder of exePath and ends the
// program. When the defaults or the settings from before Veltrano cannot be restored
// (an unusable LastOptim, a refused write, a damaged backup) the error is shown and the
// user is asked whether to remove the program anyway: Yes starts the uninstaller without
// the warning, No ends the program. It never returns.
[[noreturn]] void EnterUninstallMode(TForm7& warning, const std::string& exePath);

}  // namespace veltrano
