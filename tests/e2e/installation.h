// Shared ground of the end-to-end tests: the built x64 setup program, where it puts
// things in this prefix, and the checks that an installation is complete or gone.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace e2e {

inline constexpr char kProgramKey[] = "SOFTWARE\\QuarnSoft\\Veltrano";
inline constexpr char kVendorKey[] = "SOFTWARE\\QuarnSoft";
inline constexpr char kUninstallEntry[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano_is1";

std::string SetupProgram();  // <bin>\VeltranoSetup-x64.exe
std::string InstallDir();    // C:\Program Files\Veltrano
std::string MenuDir();       // the all-users Start menu folder Veltrano
std::string Installed(const std::string& relative);
// A file or a folder.
bool PathExists(const std::string& path);

// The profile files the build made, relative to the program folder ("VLO\lanisdn.vlo").
std::vector<std::string> BuiltProfiles();

// Runs the setup program silently and returns its exit code.
int InstallSilently();
// Runs the installed uninstaller silently and waits until it has finished its work
// (it goes on from a copy of itself, so its own process ends at once).
bool RemoveSilently();
// Waits until the uninstaller has taken the uninstall entry and its own file away.
bool WaitForRemoval();

// Removes the program as the system's list of programs does (the uninstall entry's
// command): uninstall mode runs (its offer of the settings from before Veltrano, when
// made, is answered No), `atWarning` looks at the system while the warning is
// up, then the user confirms the warning and the uninstaller's window. Returns once the
// uninstaller has finished; screenshots are named after shotPrefix.
void RemoveFromProgramList(const std::function<void()>& atWarning, const std::string& shotPrefix);

// Starts the installed program as its shortcut does, walks the wizard through the
// given radio buttons, optimizes and leaves without restarting.
// `onOptimizePage`, when given, runs with the wizard on its last page, before Optimize.
void OptimizeThroughWizard(std::initializer_list<const char*> choices, bool firstRun,
                           const std::string& shot,
                           const std::function<void(HWND)>& onOptimizePage = nullptr);

// The program, its companion files and the 20 profile files are installed as built.
void ExpectInstalledAsBuilt();

// Everything an installation made is gone: files, folders, shortcuts, keys.
void ExpectNothingLeft();

// The lines of an INI file in the Windows folder but its port entries (and the header
// of their section), and its port settings.
std::vector<std::string> NonPortLines(const std::string& iniName);
std::string PortSetting(const std::string& iniName, const char* port);
void ExpectAllPorts(const std::string& setting);

// Starts from a prefix without any trace of Veltrano and leaves it so.
class Installation : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  static void Scrub();
};

}  // namespace e2e
