#include "app/uninstall.h"

#include <windows.h>

#include <exception>
#include <optional>

#include "app/chained_defaults.h"
#include "app/restore.h"
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

bool RemoveAnyway(const char* question) {
  ui::TApplication& application = ui::Application();
  return application.ShowMessageBox(question, application.Title(), MB_ICONQUESTION | MB_YESNO) ==
         IDYES;
}

// The backup from before Veltrano; none when it cannot be looked for either.
std::optional<RestorePoint> KeptBeforeVeltranoPoint() noexcept {
  try {
    return BeforeVeltranoPoint();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

enum class OwnSettings { kDeclined, kRestored, kFailed };

// Offers the settings from before Veltrano once the defaults are back; a failure has been
// shown in the error box.
OwnSettings OfferOwnSettings(const RestorePoint& first) {
  ui::TApplication& application = ui::Application();
  try {
    // Checked before the question, as every restore is: a refused file is never offered.
    const SettingsBackup settings = CheckedBeforeVeltrano(first);
    if (application.ShowMessageBox(OwnSettingsQuestion(first.taken), application.Title(),
                                   MB_ICONQUESTION | MB_YESNO) != IDYES) {
      return OwnSettings::kDeclined;
    }
    RestoreBeforeVeltrano(settings);
    return OwnSettings::kRestored;
  } catch (const std::exception& error) {
    application.ShowError(error.what());
    return OwnSettings::kFailed;
  }
}

}  // namespace

std::string OwnSettingsQuestion(const std::string& taken) {
  return "Put back the network settings this computer had before Veltrano (saved on " + taken +
         ")?";
}

void EnterUninstallMode(TForm7& warning, const std::string& exePath) {
  ui::TApplication& application = ui::Application();
  // Looked for before the defaults run, whose own backup would otherwise be taken for
  // the first one on a computer that had none.
  const std::optional<RestorePoint> first = KeptBeforeVeltranoPoint();
  const bool restored = RestoreDefaults();
  if (application.Halted()) application.Halt(0);  // the run has ended the program already
  const OwnSettings own = restored && first ? OfferOwnSettings(*first) : OwnSettings::kDeclined;
  if (own == OwnSettings::kRestored) warning.ShowOwnSettings();
  if (!restored && !RemoveAnyway(kRemoveAnywayQuestion)) {
    // Without the defaults the uninstaller would remove the only program that can
    // restore them; the user keeps it.
    application.Halt(kEndedOnError);
  }
  if (own == OwnSettings::kFailed && !RemoveAnyway(kOwnSettingsFailedQuestion)) {
    application.Halt(kEndedOnError);
  }
  if (restored && own != OwnSettings::kFailed) {
    warning.ShowModal();  // "&Ok" and the system's close command go on alike
  }
  // A removal without restored settings gets no warning: it would claim they are back.
  StartUninstaller(exePath);
  Sleep(kPauseBeforeEndMs);
  application.Halt(0);
}

}  // namespace veltrano
