// Where a command's result goes: with /quiet only the log and the exit code, never a
// window or a box; otherwise the boxes and windows the user knows, and the log too when
// /log names one.
#pragma once

#include <string>
#include <vector>

#include "app/commands.h"

namespace veltrano {

inline constexpr char kQuietLogFile[] = "Veltrano.log";  // in the program's folder

// The arguments as one line, for the log.
std::string CommandText(const std::vector<std::string>& arguments);

// The log's line for a result: date and time, the command line, the exit code and the
// result in words, the words' further lines indented below it; "\r\n" ends each line.
std::string LogLine(const std::string& taken, const std::string& commandText,
                    const CommandResult& result);

// The result of a command line that is wrong: the reason and the usage.
CommandResult WrongCommandLine(const std::string& reason);

// Runs a command line that carries /quiet: the single-instance check (another instance
// is left alone), start-up without the first run, the command; the result goes to the
// log. Returns the exit code.
int RunQuietly(const CommandArguments& arguments, const std::string& commandText);

// The reporter of a command run with windows. Finish ends the program, but after a
// change, when it opens the restart prompt and returns.
class WindowReporter : public Reporter {
 public:
  WindowReporter(std::string logFile, std::string commandText)
      : logFile_(std::move(logFile)), commandText_(std::move(commandText)) {}
  int Finish(const CommandArguments& arguments, CommandResult result) override;

 private:
  std::string logFile_;  // "" for none
  std::string commandText_;
};

}  // namespace veltrano
