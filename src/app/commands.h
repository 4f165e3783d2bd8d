// The commands of the command line, over the same operations the windows call: the
// wizard's optimization with its chained defaults run, the plan the Changes window
// shows, the restore of a kept backup and the removal's defaults run. Each reports its
// end to a Reporter: with windows it becomes boxes and windows, with /quiet a line of
// the log and the exit code. No operation knows which one it talks to.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/restar.h"
#include "engine/change_plan.h"

namespace veltrano {

struct CommandResult {
  int code = kExitDone;
  std::string words{};  // the result in words
  // /changes and /report: the rows, with the line above them.
  bool listed = false;
  std::string headline{};
  std::vector<ChangeRow> rows{};
  // Set when settings were written that take effect after a restart.
  std::optional<RestartCause> restartFor{};
};

class Reporter {
 public:
  virtual ~Reporter() = default;
  // Tells the result and returns the exit code; the one with windows may leave a window
  // up (the restart prompt) or end the program instead.
  virtual int Finish(const CommandArguments& arguments, CommandResult result) = 0;
};

// A result with its exit code and words.
CommandResult CommandEnd(int code, std::string words);

// Start-up without windows: the first run is left for the next start with them. A result
// with words when it ends the command there (no ProgramKey, no rights, no Windows folder).
CommandResult StartWithoutWindows(const std::string& exePath);

// Restore mode for argument 2 of "/restore": "before" is the file of the backup from
// before Veltrano.
void EnterRestoreModeFor(const std::string& chosen);

// Runs the command after start-up has filled AppState (ProgramKey read, rights checked),
// writes the rows to /out and hands the result to `reporter`.
int RunCommand(const CommandArguments& arguments, Reporter& reporter);

}  // namespace veltrano
