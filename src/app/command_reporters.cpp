#include "app/command_reporters.h"

#include <windows.h>

#include <cstdio>
#include <exception>

#include "app/startup.h"
#include "engine/backup.h"
#include "engine/changes_window.h"
#include "platform/app_state.h"
#include "platform/files.h"
#include "platform/os_version.h"
#include "platform/registry_api.h"
#include "platform/shutdown.h"
#include "platform/single_instance.h"
#include "platform/system_root.h"
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

// Asks for the restart /restart calls for; a refusal is added to the result.
void RestartIfAsked(const CommandArguments& arguments, CommandResult& result) {
  if (!arguments.restart || !result.restartFor) return;
  try {
    TabfShutdown(SystemShutdown()).Restart();
  } catch (const std::exception& refusal) {
    result.code = kExitPartWay;
    result.words += "; " + std::string(refusal.what());
  }
}

class QuietReporter : public Reporter {
 public:
  QuietReporter(std::string logFile, std::string commandText)
      : logFile_(std::move(logFile)), commandText_(std::move(commandText)) {}

  bool Confirm(const std::string&) override { return true; }

  int Finish(const CommandArguments& arguments, const CommandResult& result) override {
    CommandResult told = result;
    RestartIfAsked(arguments, told);
    AppendToLog(logFile_, commandText_, told);
    return told.code;
  }

 private:
  std::string logFile_;
  std::string commandText_;
};

// The start-up sequence without windows; a result when it ends the command there.
std::optional<CommandResult> QuietStartup(const std::vector<std::string>& arguments,
                                          const std::string& exePath) {
  std::string rootFailure;
  const auto systemRoot = [&rootFailure] {
    return LookupSystemRoot(
        SystemRegistry(), QueryOsVersion().platformId,
        [&rootFailure](const std::string& text) { rootFailure = text; }, SystemLastErrorText);
  };
  StartupInputs inputs{QueryOsVersion(), exePath, arguments, systemRoot, true};
  switch (RunStartupSequence(SystemRegistry(), inputs, AppState()).end) {
    case StartupEnd::kEndSilently:
      return CommandResult{.code = kExitRefused,
                           .words = "Veltrano is not installed here: its registry key is missing."};
    case StartupEnd::kNeedsAdministrator:
      return CommandResult{.code = kExitNoAdministrator, .words = kNeedsAdministratorText};
    default:
      break;
  }
  if (AppState().WindowsDir.empty()) {
    return CommandResult{.code = kExitRefused,
                         .words = "The Windows folder is unknown: " + rootFailure};
  }
  return std::nullopt;
}

}  // namespace

std::string CommandText(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) {
    if (!text.empty()) text += ' ';
    const bool spaced = argument.find(' ') != std::string::npos;
    text += spaced ? "\"" + argument + "\"" : argument;
  }
  return text;
}

std::string LogLine(const std::string& taken, const std::string& commandText,
                    const CommandResult& result) {
  std::string words = result.words;
  for (std::size_t at = 0; (at = words.find("\r\n", at)) != std::string::npos; at += 4) {
    words.insert(at + 2, "  ");
  }
  return taken + "  " + commandText + "  exit " + std::to_string(result.code) + ": " + words +
         "\r\n";
}

CommandResult WrongCommandLine(const std::string& reason) {
  return {.code = kExitWrongCommandLine,
          .words = "The command line is wrong: " + reason + ".\r\n\r\n" + UsageText()};
}

int RunQuietly(const std::vector<std::string>& arguments) {
  const CommandArguments parsed = ParseCommandLine(arguments);
  std::string exePath;
  try {
    exePath = ExecutablePath();
  } catch (const std::exception&) {
    // Without its own path the program finds no profiles; start-up refuses below.
  }
  const std::string log =
      parsed.logFile.empty() ? DirectoryOf(exePath) + kQuietLogFile : parsed.logFile;
  QuietReporter reporter(log, CommandText(arguments));
  if (!parsed.error.empty()) return reporter.Finish(parsed, WrongCommandLine(parsed.error));
  TabfOneInstance guard;
  if (!guard.Acquire(kApplicationTitle)) {
    return reporter.Finish(parsed,
                           {.code = kExitAlreadyRunning,
                            .words = "Another Veltrano is running; it has been left alone."});
  }
  try {
    if (const auto ended = QuietStartup(arguments, exePath)) return reporter.Finish(parsed, *ended);
  } catch (const std::exception& error) {
    return reporter.Finish(parsed, {.code = kExitRefused, .words = error.what()});
  }
  return RunCommand(parsed, reporter);
}

bool WindowReporter::Confirm(const std::string& question) {
  return ui::Application().ShowMessageBox(question, kApplicationTitle,
                                          MB_ICONQUESTION | MB_YESNO) == IDYES;
}

int WindowReporter::Finish(const CommandArguments& arguments, const CommandResult& result) {
  ui::TApplication& application = ui::Application();
  AppendToLog(logFile_, commandText_, result);
  if (result.listed) {
    ChangePlan shown;
    shown.rows = result.rows;
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
