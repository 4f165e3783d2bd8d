#include "app/uninstall.h"

#include <windows.h>

#include <exception>

#include "app/chained_defaults.h"
#include "app/startup.h"
#include "engine/profile_files.h"
#include "platform/app_state.h"
#include "platform/convert.h"
#include "platform/errors.h"
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
    Starter1.ExecFromFolder(DirectoryOf(exePath), kUninstallerFile);
  } catch (const std::exception&) {
  }
}

// A number that is no connection type selects no defaults profile: the run would
// report a missing file and end the program, and the removal could never go on.
bool NamesNoConnectionType(const std::string& lastOptim) {
  try {
    const int type = StrToInt(lastOptim);
    return type < 1 || type > kWindowsDefaultsType;
  } catch (const EConvertError&) {
    return false;  // the run itself reports a text that is no number
  }
}

// True once the Windows default settings are back; otherwise the reason has been shown.
bool RestoreDefaults() {
  if (!NamesNoConnectionType(AppState().LastOptim)) return RunChainedDefaults();
  AppState().DefaultsChained = true;
  ui::TApplication& application = ui::Application();
  application.ShowMessageBox(kMissingFileMessage, application.Title(), MB_ICONWARNING | MB_OK);
  return false;
}

bool RemoveAnyway() {
  ui::TApplication& application = ui::Application();
  return application.ShowMessageBox(kRemoveAnywayQuestion, application.Title(),
                                    MB_ICONQUESTION | MB_YESNO) == IDYES;
}

}  // namespace

void EnterUninstallMode(ui::Form& warning, const std::string& exePath) {
  ui::TApplication& application = ui::Application();
  const bool restored = RestoreDefaults();
  if (application.Halted()) application.Halt(0);  // the run has ended the program already
  if (restored) {
    warning.ShowModal();  // "&Ok" and the system's close command go on alike
  } else if (!RemoveAnyway()) {
    // Without the defaults the uninstaller would remove the only program that can
    // restore them; the user keeps it.
    application.Halt(kEndedOnError);
  }
  // A removal without restored defaults gets no warning: it would claim they are back.
  StartUninstaller(exePath);
  Sleep(kPauseBeforeEndMs);
  application.Halt(0);
}

}  // namespace veltrano
