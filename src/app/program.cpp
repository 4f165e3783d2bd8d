#include "app/program.h"

#include <cstdlib>

#include "app/startup.h"
#include "ui/application.h"

namespace veltrano {

CommandLine ReadCommandLine() {
  CommandLine commandLine;
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  commandLine.exePath = path;
  for (int i = 1; i < __argc; ++i) commandLine.arguments.emplace_back(__argv[i]);
  return commandLine;
}

int RunVeltrano(HINSTANCE instance, const CommandLine& commandLine) {
  ui::TApplication& application = ui::Application();
  application.Initialize(instance);
  // The title names the single-instance lock, so it comes before any window.
  application.SetTitle(kApplicationTitle);
  application.CreateForm<TForm1>(commandLine);
  application.ShowMainForm = false;
  return application.Run();
}

}  // namespace veltrano
