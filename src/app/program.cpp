#include "app/program.h"

#include <cstdlib>

#include "app/measure_mode.h"
#include "app/restore.h"
#include "app/startup.h"
#include "app/uninstall.h"
#include "app/uninstwrn.h"
#include "platform/files.h"
#include "ui/application.h"
#include "ui/startup_trace.h"

namespace veltrano {

CommandLine ReadCommandLine() {
  CommandLine commandLine;
  commandLine.exePath = ExecutablePath();
  for (int i = 1; i < __argc; ++i) commandLine.arguments.emplace_back(__argv[i]);
  return commandLine;
}

int RunVeltrano(HINSTANCE instance) {
  ui::TApplication& application = ui::Application();
  application.Initialize(instance);
  // The title names the single-instance lock, so it comes before any window.
  application.SetTitle(kApplicationTitle);
  ui::trace::Mark("application ready");
  // A window the system refuses to make, or a path of its own it cannot read, is shown
  // in the error box, and the program ends rather than run on without it.
  const bool built = application.Dispatch([&] {
    const CommandLine commandLine = ReadCommandLine();
    TForm1& mainForm = application.CreateForm<TForm1>(commandLine);
    // The side windows are made when first asked for: the about box by "&About", the
    // uninstall warning as uninstall mode starts, before the defaults run.
    mainForm.onUninstallMode = [exePath = commandLine.exePath] {
      EnterUninstallMode(ui::Application().CreateForm<TForm7>(), exePath);
    };
    mainForm.onRestoreMode = EnterRestoreMode;
    mainForm.onMeasureMode = [](const std::string& host) {
      OpenMeasureWindow(host, !host.empty(), true);
    };
  });
  if (!built) return kEndedOnError;
  ui::trace::Mark("forms built");
  application.ShowMainForm = false;
  return application.Run();
}

}  // namespace veltrano
