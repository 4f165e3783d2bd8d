#include "app/command_reporters.h"

#include <windows.h>

#include <cstdio>
#include <exception>

#include "app/startup.h"
#include "engine/backup.h"
#include "engine/changes_window.h"
#include "platform/files.h"
#include "platform/shutdown.h"
#include "platform/single_instance.h"
#include "ui/application.h"

namespace veltrano {
namespace {

// Appends the result to the log; a log that cannot be written changes nothing else.
void AppendToLog(const std::string& path, const std::string& commandText,
                 const CommandResult& result) {
  if (path.empty()) return;
  std::FILE* log = std::fopen(path.c_str(), "ab");
  if (!log) return;
  const std::string line = LogLine(TakenNow(), commandText, result);
  std::fwrite(line.data(), 1, line.size(), log);
  std::fclose(log);
}

// The log is written before the restart is asked for: a restart may end the program.
class QuietReporter : public Reporter {
 public:
  QuietReporter(std::string logFile, std::string commandText)
      : logFile_(std::move(logFile)), commandText_(std::move(commandText)) {}

  int Finish(const CommandArguments& arguments, CommandResult result) override {
    const bool restart = arguments.restart && result.restartFor;
    if (restart) result.words += "; Windows restarts now";
    AppendToLog(logFile_, commandText_, result);
    if (!restart) return result.code;
    try {
      TabfShutdown(SystemShutdown()).Restart();
    } catch (const std::exception& refusal) {
      result = CommandEnd(kExitPartWay, refusal.what());
      AppendToLog(logFile_, commandText_, result);
    }
    return result.code;
  }

 private:
  std::string logFile_;
  std::string commandText_;
};

}  // namespace

std::string CommandText(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) text += (text.empty() ? "" : " ") + argument;
  return text;
}

std::string LogLine(const std::string& taken, const std::string& commandText,
                    const CommandResult& result) {
  std::string line = taken + "  " + commandText + "  exit " + std::to_string(result.code) + ": ";
  for (const char c : result.words) {
    line += c;
    if (c == '\n') line += "  ";  // the lines after the first are indented
  }
  return line + "\r\n";
}

CommandResult WrongCommandLine(const std::string& reason) {
  return CommandEnd(kExitWrongCommandLine,
                    "The command line is wrong: " + reason + ".\r\n\r\n" + UsageText());
}

int RunQuietly(const CommandArguments& arguments, const std::string& commandText) {
  std::string exePath;
  try {
    exePath = ExecutablePath();
  } catch (const std::exception&) {
    // Without its own path the program finds no profiles; start-up refuses below.
  }
  QuietReporter reporter(
      arguments.logFile.empty() ? DirectoryOf(exePath) + kQuietLogFile : arguments.logFile,
      commandText);
  if (!arguments.error.empty()) {
    return reporter.Finish(arguments, WrongCommandLine(arguments.error));
  }
  TabfOneInstance guard;
  if (!guard.Acquire(kApplicationTitle)) {
    return reporter.Finish(
        arguments, CommandEnd(kExitAlreadyRunning, "Another Veltrano runs; it is left alone."));
  }
  try {
    CommandResult ended = StartWithoutWindows(exePath);
    if (!ended.words.empty()) return reporter.Finish(arguments, std::move(ended));
  } catch (const std::exception& error) {
    return reporter.Finish(arguments, CommandEnd(kExitRefused, error.what()));
  }
  return RunCommand(arguments, reporter);
}

int WindowReporter::Finish(const CommandArguments& arguments, CommandResult result) {
  ui::TApplication& application = ui::Application();
  AppendToLog(logFile_, commandText_, result);
  if (result.listed) {
    ChangePlan shown;
    shown.rows = std::move(result.rows);
    if (result.code != kExitDone) shown.error = result.words;
    ShowChanges(result.headline, shown);
    application.Halt(result.code);
  }
  if (result.code != kExitDone) {
    application.ShowError(result.words);
    application.Halt(result.code);
  }
  if (!result.restartFor) application.Halt(kExitDone);
  if (arguments.restart) {
    TabfShutdown(SystemShutdown()).Restart();  // a refusal goes to the error box
    application.Halt(kExitDone);
  }
  application.CreateForm<Trestart>(*result.restartFor);  // ends the program from there
  return kExitDone;
}

}  // namespace veltrano
