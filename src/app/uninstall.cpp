#include "app/uninstall.h"

#include <windows.h>

#include <exception>

#include "app/chained_defaults.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "ui/application.h"

namespace veltrano {
namespace {

constexpr DWORD kPauseBeforeEndMs = 500;

// Nothing that goes wrong here is reported: a missing or unstartable uninstaller, or an
// error while its folder is worked out, still lets the program pause and end.
void StartUninstaller(const std::string& exePath) noexcept {
  try {
    TBUExecute Starter1(ui::Application().Handle());
    Starter1.exec(kUninstallerFile, "", DirectoryOf(exePath));
  } catch (const std::exception&) {
  }
}

}  // namespace

void EnterUninstallMode(ui::Form& warning, const std::string& exePath) {
  ui::TApplication& application = ui::Application();
  // A defaults run that stopped has shown its error; the warning would then claim
  // settings that were not restored, and the uninstaller would remove the only program
  // that can restore them. The program ends instead.
  if (!RunChainedDefaults()) application.Halt(0);
  warning.ShowModal();  // "&Ok" and the system's close command go on alike
  StartUninstaller(exePath);
  Sleep(kPauseBeforeEndMs);
  application.Halt(0);
}

}  // namespace veltrano
