#include "app/restore.h"

#include <windows.h>

#include "advanced/apply_settings.h"
#include "app/restar.h"
#include "app/restore_window.h"
#include "app/startup.h"
#include "engine/backup.h"
#include "engine/runs.h"
#include "measure/measurement.h"
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

// What a restore may write on this installation.
RestoreTargets AllowedTargets(const AppStateRecord& state) {
  RestoreTargets allowed(state.WindowsDir);
  allowed.AddProfileTargets(state.ProgramDir);
  for (const ChangedValue& target : CatalogueTargets()) allowed.Add(target);
  // A measured MTU only for the adapters this machine has: a file never names the key.
  for (const ChangedValue& target : MeasureTargetsOfThisMachine()) allowed.Add(target);
  for (const char* software : {"Software", "SOFTWARE"}) {
    allowed.Add({kHkeyLocalMachine, ProgramKeyPath(software).substr(1), kLastOptimValueName});
  }
  return allowed;
}

// The settings a point puts back, every file of it checked before anything is asked.
SettingsBackup CheckedSettingsOf(const RestorePoint& point) {
  const AppStateRecord& state = AppState();
  const std::vector<BackupOnDisk> files = BackupsOfRestorePoint(state.ProgramDir, point.path);
  const RestoreTargets allowed = AllowedTargets(state);
  for (const BackupOnDisk& file : files) {
    const std::string foreign = allowed.FirstForeign(file);
    if (!foreign.empty()) throw EBackupRefused(foreign);
  }
  return ComposeRestorePoint(files);
}

Change RestoreChange(const SettingsBackup& settings) {
  return [&settings](RegistryApi& registry, ProfileStringApi& ini) {
    RestoreSettings(settings, registry, ini);
  };
}

std::string Counted(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "3 values and 10 lines".
std::string ChangeCount(const ChangePlan& plan) {
  std::size_t values = 0, lines = 0;
  for (std::size_t i = 0; i < plan.valuesNow.size(); ++i) {
    values += plan.valuesNow[i] == plan.valuesAfter[i] ? 0 : 1;
  }
  for (std::size_t i = 0; i < plan.linesNow.size(); ++i) {
    lines += plan.linesNow[i] == plan.linesAfter[i] ? 0 : 1;
  }
  return Counted(values, "registry value", "registry values") + " and " +
         Counted(lines, "INI line", "INI lines");
}

std::string Described(const RestorePoint& point) {
  if (point.first) return "the settings from before Veltrano, saved on " + point.taken;
  return "the network settings saved on " + point.taken + " (before " + point.before + ")";
}

void Restore(const SettingsBackup& settings, const ChangePlan& plan) {
  const AppStateRecord& state = AppState();
  SaveBackup(state.ProgramDir, BackupFromPlan(plan, "a restore"));
  RestoreSettings(settings, SystemRegistry(), SystemProfileStrings());
}

RestorePoint PointOfFile(const std::string& path) {
  const AppStateRecord& state = AppState();
  const SettingsBackup backup = ReadBackupFile(path);
  const bool first = FoldCase(path) == FoldCase(FirstBackupPath(state.ProgramDir));
  return RestorePoint{path, backup.taken, backup.before, first};
}

}  // namespace

ChangePlan PlanRestoreOf(const RestorePoint& point) {
  const SettingsBackup settings = CheckedSettingsOf(point);
  return PlanChange(SystemRegistry(), SystemProfileStrings(), RestoreChange(settings));
}

bool RestorePointAfterAsking(const RestorePoint& point) {
  const SettingsBackup settings = CheckedSettingsOf(point);
  const ChangePlan plan =
      PlanChange(SystemRegistry(), SystemProfileStrings(), RestoreChange(settings));
  if (Ask("Restore " + Described(point) + " from " + point.path + "?\r\n\r\nThis changes " +
              ChangeCount(plan) + ".",
          MB_ICONQUESTION | MB_YESNO) != IDYES) {
    return false;
  }
  Restore(settings, plan);
  Ask("Veltrano has restored " + Described(point) +
          ".\r\nRestart the computer for them to take effect.",
      MB_ICONINFORMATION | MB_OK);
  ui::Application().CreateForm<Trestart>(RestartCause::kRestored);
  return true;
}

std::optional<RestorePoint> BeforeVeltranoPoint() {
  const RestorePointList list = ListRestorePoints(AppState().ProgramDir);
  if (list.points.empty() || !list.points.back().first) return std::nullopt;
  return list.points.back();
}

void RestoreBeforeVeltrano(const RestorePoint& first) {
  const SettingsBackup settings = CheckedSettingsOf(first);
  Restore(settings, PlanChange(SystemRegistry(), SystemProfileStrings(), RestoreChange(settings)));
}

void EnterRestoreMode(const std::string& chosenFile) {
  if (chosenFile.empty()) {
    ui::Application().CreateForm<TRestore>();  // shows itself; the program ends from it
    return;
  }
  if (!RestorePointAfterAsking(PointOfFile(chosenFile))) ui::Application().Halt(0);
}

}  // namespace veltrano
