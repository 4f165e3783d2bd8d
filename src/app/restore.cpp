#include "app/restore.h"

#include <windows.h>

#include "app/restar.h"
#include "app/startup.h"
#include "engine/backup.h"
#include "engine/runs.h"
#include "platform/app_state.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "ui/application.h"

namespace veltrano {
namespace {

int Ask(const std::string& text, unsigned flags) {
  return ui::Application().ShowMessageBox(text, kApplicationTitle, flags);
}

std::string ChosenBackup(const std::string& chosenFile, const std::string& programDir) {
  if (!chosenFile.empty()) return chosenFile;
  const std::vector<std::string> backups = BackupFiles(programDir);
  if (!backups.empty()) return backups.front();
  Ask("No backup of the network settings was found in " + BackupFolder(programDir) + ".",
      MB_ICONSTOP | MB_OK);
  ui::Application().Halt(kEndedOnError);
}

SettingsBackup ReadBackup(const std::string& path) {
  const auto text = ReadWholeFile(path);
  if (!text) throw EInOutError("Cannot read the backup file " + path);
  return ParseBackup(*text);
}

void RecordNoProfileApplied(const std::string& softwareKeyName) {
  TRegistry registry(SystemRegistry());
  registry.SelectRoot(kHkeyLocalMachine);
  if (!registry.OpenPath(ProgramKeyPath(softwareKeyName), false)) registry.CloseCurrent();
  registry.WriteText(kLastOptimValueName, "7");
}

}  // namespace

void EnterRestoreMode(const std::string& chosenFile) {
  const AppStateRecord& state = AppState();
  const SettingsBackup backup = ReadBackup(ChosenBackup(chosenFile, state.ProgramDir));
  const std::string when = backup.taken + " (before " + backup.before + ")";
  if (Ask("Restore the network settings saved on " + when +
              "?\r\n\r\nEvery setting saved then goes back to what it was.",
          MB_ICONQUESTION | MB_YESNO) != IDYES) {
    ui::Application().Halt(0);
  }
  // What the restore overwrites is the user's too: it is kept first, like any change's.
  std::vector<ChangedValue> targets;
  for (const SavedValue& value : backup.values) targets.push_back(value.target);
  BackUpBeforeChange(SystemRegistry(), SystemProfileStrings(), targets, state.WindowsDir,
                     state.ProgramDir, "a restore");
  RestoreSettings(backup, SystemRegistry(), SystemProfileStrings());
  RecordNoProfileApplied(state.SoftwareKeyName);
  Ask("The network settings saved on " + when +
          " are restored.\r\nRestart the computer for them to take effect.",
      MB_ICONINFORMATION | MB_OK);
  ui::Application().CreateForm<Trestart>(RestartCause::kRestored);
}

}  // namespace veltrano
