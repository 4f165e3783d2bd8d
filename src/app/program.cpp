#include "app/program.h"

#include <cstdlib>

#include "app/command_reporters.h"
#include "app/restore.h"
#include "app/startup.h"
#include "app/uninstall.h"
#include "app/uninstwrn.h"
#include "platform/files.h"
#include "ui/application.h"
#include "ui/startup_trace.h"

namespace veltrano {

namespace {

std::vector<std::string> Arguments() {
  return std::vector<std::string>(__argv + 1, __argv + __argc);
}

}  // namespace

CommandLine ReadCommandLine() {
  CommandLine commandLine;
  commandLine.exePath = ExecutablePath();
  commandLine.arguments = Arguments();
  return commandLine;
}

int RunVeltrano(HINSTANCE instance) {
  const std::vector<std::string> arguments = Arguments();
  const CommandArguments command = ParseCommandLine(arguments);
  // With /quiet no window is ever made, not even the application's hidden one.
  if (command.quiet) return RunQuietly(command, CommandText(arguments));
  WindowReporter reporter(command.logFile, CommandText(arguments));
  ui::TApplication& application = ui::Application();
  application.Initialize(instance);
  // The title names the single-instance lock, so it comes before any window.
  application.SetTitle(kApplicationTitle);
  ui::trace::Mark("application ready");
  // A window the system refuses to make, or a path of its own it cannot read, is shown
  // in the error box, and the program ends rather than run on without it.
  const bool built = application.Dispatch([&] {
    // A command line the windows cannot run as given: the reason and the usage in a box.
    if (!command.error.empty() && !WindowsIgnoreError(command)) {
      reporter.Finish(command, WrongCommandLine(command.error));
    }
    const CommandLine commandLine = ReadCommandLine();
    TForm1& mainForm = application.CreateForm<TForm1>(commandLine);
    // The side windows are made when first asked for: the about box by "&About", the
    // uninstall warning as uninstall mode starts, before the defaults run.
    mainForm.onUninstallMode = [exePath = commandLine.exePath] {
      EnterUninstallMode(ui::Application().CreateForm<TForm7>(), exePath);
    };
    mainForm.onRestoreMode = EnterRestoreModeFor;
    // The reporter and the command live as long as the message loop below.
    mainForm.onCommand = [&] { RunCommand(command, reporter); };
  });
  if (!built) return kEndedOnError;
  ui::trace::Mark("forms built");
  application.ShowMainForm = false;
  return application.Run();
}

}  // namespace veltrano
