// The command line for running Veltrano without anyone at the machine: one table of
// commands ("/optimize T", "/changes T", "/restore before", "/report", "/uninstall"), the
// modifiers that go with them ("/quiet", "/log FILE", "/out FILE", "/restart",
// "/settings defaults|before") and the exit codes a script can act on. Portable: it
// reads the arguments only.
#pragma once

#include <string>
#include <vector>

namespace veltrano {

// What the program tells a script when it ends after a command.
enum ExitCode : int {
  kExitDone = 0,
  kExitWrongCommandLine = 1,  // the usage is written to the log, or shown in a box
  kExitRefused = 2,           // a damaged or foreign file, a missing profile: nothing written
  kExitNoAdministrator = 3,
  kExitPartWay = 4,         // failed part-way: the log names what was written, the backup is kept
  kExitAlreadyRunning = 5,  // another Veltrano is running; it is left alone
  kExitNothingMeasured = 6,
};

enum class Command {
  kWizard,  // no command: the wizard (also for an argument that is no command)
  kUninstall,
  kRestore,  // "/restore" alone, "/restore FILE" or "/restore before"
  kOptimize,
  kChanges,
  kReport,
};

inline constexpr char kRestoreBeforeOperand[] = "before";

struct CommandArguments {
  Command command = Command::kWizard;
  std::string operand;  // as given: the type of /optimize and /changes, the file of /restore
  int type = 0;         // /optimize and /changes: the connection type, 1 to 7
  bool quiet = false;
  bool restart = false;
  std::string logFile;
  std::string outFile;
  std::string settings;  // /uninstall: "defaults" or "before"; "" counts as "defaults"
  std::string error;     // why the command line is wrong; "" when it is right
};

// Reads argument 1 onward. Commands and modifiers are exact and lower-case; the command
// comes first, its operand next, the modifiers after it in any order.
CommandArguments ParseCommandLine(const std::vector<std::string>& arguments);

// The command an argument names exactly; kWizard for none.
Command CommandNamed(const std::string& argument);

// True when the windows go on as they always did despite `error`: the wizard for an
// argument that is no command, uninstall mode and restore mode.
bool WindowsIgnoreError(const CommandArguments& arguments);

// 1 to 7 for "1" to "7" or "modem56", "modem33", "cable", "pppoe", "lan", "satellite",
// "defaults"; 0 for anything else.
int ConnectionTypeNamed(const std::string& name);

// The commands, modifiers and exit codes, their lines joined with "\r\n".
std::string UsageText();

}  // namespace veltrano
