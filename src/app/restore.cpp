#include "app/restore.h"

#include <windows.h>

#include <exception>

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
    const std::string refused = allowed.FirstRefused(file);
    if (!refused.empty()) throw EBackupRefused(refused);
  }
  return ComposeRestorePoint(files);
}

Change RestoreChange(const SettingsBackup& settings) {
  return [&settings](RegistryApi& registry, ProfileStringApi& ini) {
    RestoreSettings(settings, registry, ini);
  };
}

// The plan of a restore; one that would stop part-way stops here, before any question.
ChangePlan PlanWhole(const SettingsBackup& settings) {
  ChangePlan plan = PlanChange(SystemRegistry(), SystemProfileStrings(), RestoreChange(settings));
  if (plan.failure) std::rethrow_exception(plan.failure);
  return plan;
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

// What a point with a gap in its chain cannot put back, said before the question.
std::string GapWarning(const RestorePoint& point) {
  if (point.missing == 0) return "";
  return "Backup " + std::to_string(point.missing) +
         " of this restore point is missing: the settings that the change it was taken "
         "before touched first, and no later change did, cannot be put back.\r\n\r\n";
}

void Restore(const SettingsBackup& settings, const ChangePlan& plan) {
  const AppStateRecord& state = AppState();
  SaveBackup(state.ProgramDir, BackupFromPlan(plan, "a restore"));
  RestoreSettings(settings, SystemRegistry(), SystemProfileStrings());
}

}  // namespace

ChangePlan PlanRestoreOf(const RestorePoint& point) {
  const SettingsBackup settings = CheckedSettingsOf(point);
  return PlanChange(SystemRegistry(), SystemProfileStrings(), RestoreChange(settings));
}

bool RestorePointAfterAsking(const RestorePoint& point) {
  const SettingsBackup settings = CheckedSettingsOf(point);
  const ChangePlan plan = PlanWhole(settings);
  if (Ask(GapWarning(point) + "Restore " + Described(point) + " from " + point.path +
              "?\r\n\r\nThis changes " + ChangeCount(plan) + ".",
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

SettingsBackup CheckedBeforeVeltrano(const RestorePoint& first) {
  return CheckedSettingsOf(first);
}

void RestoreBeforeVeltrano(const SettingsBackup& settings) {
  Restore(settings, PlanWhole(settings));
}

void EnterRestoreMode(const std::string& chosenFile) {
  if (chosenFile.empty()) {
    ui::Application().CreateForm<TRestore>();  // shows itself; the program ends from it
    return;
  }
  const RestorePoint point = RestorePointOf(AppState().ProgramDir, chosenFile);
  if (!RestorePointAfterAsking(point)) ui::Application().Halt(0);
}

}  // namespace veltrano
