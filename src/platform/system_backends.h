// Internal to the platform libraries: the pieces that differ between Windows and a
// build without Windows, called by the portable code.
#pragma once

#include <string>

namespace veltrano {

// ShellExecuteA "open", SW_SHOWNORMAL, owned by `owner`; the result is not looked at.
void LaunchWithShell(void* owner, const std::string& file, const std::string& parameters,
                     const std::string& directory);

// ShellExecuteA with the verb "Open", no owner, SW_SHOWNORMAL; true when the shell
// reports success (a result above 32).
bool OpenWithShell(const std::string& address);
// The full path of a program of the system: from the system folder, or from the
// Windows folder where the system keeps it there (rundll32.exe on Windows 95 to Me).
std::string SystemProgramPath(const std::string& file);
// WinExec with SW_SHOWNORMAL; the result is not looked at.
void StartCommandLine(const std::string& commandLine);

}  // namespace veltrano
