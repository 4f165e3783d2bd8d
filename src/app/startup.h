// The start-up sequence's decisions, kept apart from the main window so that they run
// against any registry: which end the program takes, what the status line says and
// whether the first-run notice follows.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/app_state.h"
#include "platform/os_version.h"
#include "platform/registry_api.h"

namespace veltrano {

inline constexpr char kApplicationTitle[] = "Veltrano v2.11";
inline constexpr char kStatusPrefix[] = "Last optimization type that you use ";
inline constexpr char kUninstallArgument[] = "/uninstall";
inline constexpr char kNeedsAdministratorText[] =
    "Veltrano needs administrator rights to change the network settings.\r\n"
    "Please log on as an administrator and start Veltrano again.";
// The exit code of a program that ended because it could not go on (an error shown).
inline constexpr int kEndedOnError = 1;

enum class StartupEnd {
  kEndSilently,         // ProgramKey is missing: no window, no message
  kNeedsAdministrator,  // ProgramKey or the network settings' key refused to a user
                        // without rights: a box
  kUninstall,           // argument 1 was exactly "/uninstall"
  kRestore,             // argument 1 was exactly "/restore"
  kCommand,             // any other command of the command line
  kShowWizard,
};

struct StartupInputs {
  OsVersionInfo version;
  std::string exePath;                 // command line element 0, full path
  std::vector<std::string> arguments;  // argument 1 onward
  // WindowsDir from the system-root lookup; it reports its own failures.
  std::function<std::string()> systemRoot;
  // No window may follow: the first run is left for the next start with windows.
  bool quiet = false;
};

struct StartupOutcome {
  StartupEnd end = StartupEnd::kEndSilently;
  bool firstRunPending = false;
  std::string statusText;   // set only for kShowWizard
  std::string restoreFile;  // kRestore: argument 2 ("before" included), "" when none
};

// The status line for a LastOptim text. An absent or non-integer LastOptim shows the
// prefix alone, as 0 or 8 does.
std::string StatusLineFor(const std::string& lastOptim);

// Fills `state` and decides how start-up ends. Registry errors other than a missing
// ProgramKey propagate to the caller's error box.
StartupOutcome RunStartupSequence(RegistryApi& registry, const StartupInputs& inputs,
                                  AppStateRecord& state);

}  // namespace veltrano
