#include "app/commands.h"

#include <exception>

#include "advanced/apply_settings.h"
#include "app/restore.h"
#include "app/startup.h"
#include "engine/apply.h"
#include "engine/backup.h"
#include "engine/codec.h"
#include "engine/optimizing.h"
#include "engine/profile_files.h"
#include "engine/script.h"
#include "measure/measurement.h"
#include "platform/app_state.h"
#include "platform/files.h"
#include "platform/os_version.h"
#include "platform/registry.h"
#include "platform/system_root.h"
#include "ui/error_text.h"

namespace veltrano {
namespace {

using Operation = CommandResult (*)(const CommandArguments&);

// Without a window the lookup's failure is not shown: start-up refuses an empty folder.
void IgnoreFailure(const std::string&) {}

std::string SystemRootWithoutBox() {
  return LookupSystemRoot(SystemRegistry(), QueryOsVersion().platformId, IgnoreFailure,
                          SystemLastErrorText);
}

CommandResult Refused(const std::string& why) {
  static const char kNothing[] = "Nothing has been changed.";
  std::string words = ui::ErrorBoxText(why);
  if (words.find(kNothing) == std::string::npos) words += std::string(" ") + kNothing;
  return CommandEnd(kExitRefused, words);
}

// The settings a plan touches, as rows of their data now.
std::vector<ChangeRow> PlannedRowsNow(const ChangePlan& plan) {
  std::vector<ChangedValue> values;
  for (const SavedValue& value : plan.valuesNow) values.push_back(value.target);
  return RowsNow(SystemRegistry(), SystemProfileStrings(), values, plan.linesNow);
}

// What a change that stopped part-way had written: the settings whose data is no longer
// what it was before (`before`, the rows of the plan's settings read then).
CommandResult PartWay(const std::exception& error, const std::vector<ChangeRow>& before,
                      const ChangePlan& plan) {
  std::string words = ui::ErrorBoxText(error.what());
  std::string written;
  try {
    const std::vector<ChangeRow> now = PlannedRowsNow(plan);
    for (std::size_t i = 0; i < before.size() && i < now.size(); ++i) {
      if (before[i].now != now[i].now) written += "\r\n" + now[i].setting + " = " + now[i].now;
    }
    words += written.empty() ? " Nothing was written." : " Written:";
  } catch (const std::exception& unreadable) {
    words += " " + ui::ErrorBoxText(unreadable.what());
  }
  return CommandEnd(kExitPartWay, words + written + "\r\nThe backup is kept in " +
                                      BackupFolder(AppState().ProgramDir));
}

std::string Counted(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " setting" : " settings");
}

std::string WhatOptimizes(int type) {
  return "Optimize for " + ConnectionCaption(type);
}

// The wizard's "Optimize": the Windows-defaults run alone for type 7; otherwise the
// chained defaults run (unless the system is at its defaults already), then the profile.
void OptimizeAsTheWizard(const RunEnvironment& env, const std::string& lastOptim, int type) {
  if (type == kWindowsDefaultsType) {
    RunWindowsDefaults(env, lastOptim, false);
    return;
  }
  if (!RecordsWindowsDefaults(lastOptim)) RunWindowsDefaults(env, lastOptim, true);
  RunOptimization(env, type);
}

// A change as every change is made: planned, and refused before anything is written
// when it could not be made whole; then made, with its own backup. It is the restore of
// `point`, or without one the wizard's optimization for `type`.
CommandResult Change(const RestorePoint* point, int type) {
  AppStateRecord& state = AppState();
  state.SelectedType = static_cast<std::uint8_t>(type);
  const RunEnvironment env = SystemRunEnvironment(state);
  ChangePlan plan;
  std::vector<ChangeRow> before;
  try {
    plan = point ? PlanRestoreOf(*point) : PlanWizardOptimize(env, state.LastOptim, type);
    if (!plan.error.empty()) return Refused(plan.error);
    before = PlannedRowsNow(plan);
  } catch (const std::exception& error) {
    return Refused(error.what());  // a damaged or foreign file, an unreadable value
  }
  try {
    if (point) {
      // Checked as the restore window checks it, and backed up before the first write.
      RestoreBeforeVeltrano(CheckedBeforeVeltrano(*point));
    } else {
      OptimizeAsTheWizard(env, state.LastOptim, type);
      state.LastOptim = std::to_string(type);
    }
  } catch (const std::exception& error) {
    return PartWay(error, before, plan);
  }
  CommandResult made =
      CommandEnd(kExitDone, (point ? "Restored " + point->path : WhatOptimizes(type)) + ": " +
                                Counted(plan.rows.size()) + " changed");
  const bool optimized = !point && type != kWindowsDefaultsType;
  made.restartFor = optimized ? RestartCause::kOptimized : RestartCause::kRestored;
  return made;
}

CommandResult Optimize(const CommandArguments& arguments) {
  return Change(nullptr, arguments.type);
}

// Rows for the Changes window, with its headline; the result in words.
CommandResult Listed(const std::string& headline, std::vector<ChangeRow> rows, std::string words) {
  CommandResult result = CommandEnd(kExitDone, std::move(words));
  result.listed = true;
  result.headline = headline;
  result.rows = std::move(rows);
  return result;
}

CommandResult Changes(const CommandArguments& arguments) {
  AppStateRecord& state = AppState();
  state.SelectedType = static_cast<std::uint8_t>(arguments.type);
  const ChangePlan plan =
      PlanWizardOptimize(SystemRunEnvironment(state), state.LastOptim, arguments.type);
  CommandResult result = Listed(ChangesHeadline(WhatOptimizes(arguments.type), plan.rows.size()),
                                plan.rows, Counted(plan.rows.size()) + " would change");
  if (!plan.error.empty()) {
    result.code = kExitRefused;
    result.words = plan.error;  // where it would stop: /optimize refuses it
  }
  return result;
}

void Touch(RegistryApi& registry, const ChangedValue& target) {
  static const std::uint8_t kNothing = 0;
  RegKey key = 0;
  registry.CreateKey(target.root, target.keyPath, kKeyAllAccess, &key);
  registry.SetValue(key, target.name, kRegNone, &kNothing, 0);
}

// A change that touches every value and port line Veltrano can change here, each once:
// the record of the type applied, what the profiles of this Windows family write or
// remove, the advanced settings, the ports. Only ever planned.
struct TouchAll {
  const AppStateRecord& state;

  void operator()(RegistryApi& registry, ProfileStringApi& ini) const {
    Touch(registry, {kHkeyLocalMachine, ProgramKeyPath(state.SoftwareKeyName).substr(1),
                     kLastOptimValueName});
    const ProfilePlaces places{state.ProgramDir, state.WindowsDir, state.OsSuffix};
    TRegistry store(registry);
    for (const ProfileSet set : {ProfileSet::kOptimization, ProfileSet::kDefaults}) {
      for (int type = 1; type < kWindowsDefaultsType; ++type) {
        const auto bytes = ReadWholeFile(ProfileFilePath(places, set, type));
        if (!bytes) continue;  // a profile that is not there changes nothing
        const std::string script = TransformProfile(*bytes);
        MemoryByteSource source(script);
        ScriptReader reader(source);
        ApplyScript(reader, store,
                    set == ProfileSet::kOptimization ? ScriptMode::kWrite : ScriptMode::kDelete);
      }
    }
    for (const ChangedValue& target : CatalogueTargets()) Touch(registry, target);
    WritePortSpeeds(ini, state.WindowsDir, kOptimizedPortSetting);
  }
};

CommandResult Report(const CommandArguments&) {
  std::vector<ChangeRow> rows =
      PlannedRowsNow(PlanChange(SystemRegistry(), SystemProfileStrings(), TouchAll{AppState()}));
  const std::string count = Counted(rows.size());
  return Listed("Veltrano can change " + count + ". What each holds now:", std::move(rows),
                count + " listed");
}

// The backup from before Veltrano.
CommandResult Restore(const CommandArguments&) {
  const std::optional<RestorePoint> point = BeforeVeltranoPoint();
  if (!point) return Refused("The backup from before Veltrano is missing.");
  return Change(&*point, 0);
}

// The removal's first step, as uninstall mode takes it without windows: the Windows
// default settings back, then, with /settings before, the backup from before Veltrano.
// The program's files are the package's to remove.
CommandResult Uninstall(const CommandArguments& arguments) {
  AppStateRecord& state = AppState();
  const bool own = arguments.settings == kRestoreBeforeOperand;
  // Looked for before the defaults run, whose own backup would otherwise be taken for
  // the one from before Veltrano on a computer that had none.
  std::optional<RestorePoint> first;
  bool untouched = false;  // no backup, no profile applied: nothing of Veltrano to undo
  try {
    first = BeforeVeltranoPoint();
    untouched = RecordsWindowsDefaults(state.LastOptim) &&
                ListRestorePoints(state.ProgramDir).points.empty();
  } catch (const std::exception&) {
    // as a missing backup
  }
  const CommandResult defaults =
      RecordsWindowsDefaults(state.LastOptim)
          ? CommandEnd(kExitDone, "The Windows default settings are in place")
          : Change(nullptr, kWindowsDefaultsType);
  if (!own || untouched || defaults.code != kExitDone) return defaults;
  CommandResult put =
      first ? Change(&*first, 0) : Refused("The backup from before Veltrano is missing.");
  // Whatever stops it, the defaults stay written: for the removal that is part-way.
  if (put.code != kExitDone && defaults.restartFor) put.code = kExitPartWay;
  put.words = defaults.words + "; then: " + put.words;
  return put;
}

// The path to the host measured as the measure window does it, and with /apply the
// adapter's MTU set through the same plan, backup and write.
CommandResult Measure(const CommandArguments& arguments) {
  const MeasureEnvironment env = SystemMeasureEnvironment();
  const Measurement measured = MeasureHost(env, arguments.operand, -1, FinderHooks{});
  CommandResult result = CommandEnd(kExitDone, measured.Summary());
  result.figures = measured.AsText();
  if (!measured.Measured()) {
    result.code = kExitNothingMeasured;
    return result;
  }
  if (!arguments.apply) return result;
  ChangePlan plan;
  std::vector<ChangeRow> before;
  try {
    plan = PlanMeasured(env, measured);
    if (!plan.error.empty()) return Refused(plan.error);
    before = PlannedRowsNow(plan);
  } catch (const std::exception& error) {
    return Refused(error.what());
  }
  try {
    ApplyMeasured(env, measured);
  } catch (const std::exception& error) {
    return PartWay(error, before, plan);
  }
  result.words += " " + Counted(plan.rows.size()) + " changed.";
  if (!plan.rows.empty()) result.restartFor = RestartCause::kOptimized;
  return result;
}

struct OperationRow {
  Command command;
  Operation operation;
};

constexpr OperationRow kOperations[] = {
    {Command::kOptimize, Optimize}, {Command::kChanges, Changes},     {Command::kReport, Report},
    {Command::kRestore, Restore},   {Command::kUninstall, Uninstall}, {Command::kMeasure, Measure},
};

CommandResult Run(const CommandArguments& arguments) {
  for (const OperationRow& row : kOperations) {
    if (row.command != arguments.command) continue;
    try {
      return row.operation(arguments);
    } catch (const std::exception& error) {
      // The changes catch their own errors: what escapes comes from a listing.
      return Refused(error.what());
    }
  }
  return CommandEnd(kExitWrongCommandLine, "There is no command to run.");
}

}  // namespace

CommandResult CommandEnd(int code, std::string words) {
  CommandResult result;
  result.code = code;
  result.words = std::move(words);
  return result;
}

CommandResult StartWithoutWindows(const std::string& exePath) {
  AppStateRecord& state = AppState();
  StartupInputs inputs{QueryOsVersion(), exePath, {}, SystemRootWithoutBox, true};
  const StartupEnd end = RunStartupSequence(SystemRegistry(), inputs, state).end;
  if (end == StartupEnd::kEndSilently) {
    return CommandEnd(kExitRefused, "Veltrano is not installed here.");
  }
  if (end == StartupEnd::kNeedsAdministrator) {
    return CommandEnd(kExitNoAdministrator, kNeedsAdministratorText);
  }
  if (state.WindowsDir.empty()) {
    return CommandEnd(kExitRefused, "The Windows folder is unknown.");
  }
  return CommandResult{};
}

void EnterRestoreModeFor(const std::string& chosen) {
  const bool first = chosen == kRestoreBeforeOperand;
  EnterRestoreMode(first ? FirstBackupPath(AppState().ProgramDir) : chosen);
}

int RunCommand(const CommandArguments& arguments, Reporter& reporter) {
  CommandResult result = Run(arguments);
  const bool written = result.listed || !result.figures.empty();
  const std::string text = result.listed ? ChangesAsText(result.rows) : result.figures;
  if (written && !arguments.outFile.empty() && !WriteWholeFile(arguments.outFile, text)) {
    result.code = kExitPartWay;
    result.words += "; the rows could not be written to " + arguments.outFile;
  }
  return reporter.Finish(arguments, std::move(result));
}

}  // namespace veltrano
