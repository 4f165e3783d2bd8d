#include "app/commands.h"

#include <exception>
#include <functional>
#include <set>

#include "advanced/apply_settings.h"
#include "app/restore.h"
#include "app/uninstall.h"
#include "engine/backup.h"
#include "engine/codec.h"
#include "engine/optimizing.h"
#include "engine/profile_files.h"
#include "engine/profile_plan.h"
#include "engine/script.h"
#include "platform/app_state.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "ui/error_text.h"

namespace veltrano {
namespace {

using Operation = CommandResult (*)(const CommandArguments&, Reporter&);

CommandResult Refused(const std::string& why) {
  return {.code = kExitRefused, .words = ui::ErrorBoxText(why) + " Nothing has been changed."};
}

// What a change that stopped part-way had written: the settings whose data is no longer
// what it was before (`before`, the rows of the same settings read then).
std::string WrittenPart(const std::vector<ChangeRow>& before, const std::vector<ChangeRow>& now) {
  std::string written;
  for (std::size_t i = 0; i < before.size() && i < now.size(); ++i) {
    if (before[i].now != now[i].now) written += "\r\n" + now[i].setting + " = " + now[i].now;
  }
  return written.empty() ? " Nothing had been written." : " Written before it stopped:" + written;
}

// The settings a plan touches, as rows of their data now.
std::vector<ChangeRow> PlannedRowsNow(const ChangePlan& plan) {
  std::vector<ChangedValue> values;
  for (const SavedValue& value : plan.valuesNow) values.push_back(value.target);
  return RowsNow(SystemRegistry(), SystemProfileStrings(), values, plan.linesNow);
}

CommandResult PartWay(const std::exception& error, const std::vector<ChangeRow>& before,
                      const ChangePlan& plan) {
  std::string words = ui::ErrorBoxText(error.what());
  try {
    words += WrittenPart(before, PlannedRowsNow(plan));
  } catch (const std::exception& unreadable) {
    words += " " + ui::ErrorBoxText(unreadable.what());
  }
  words += "\r\nThe backup is kept in " + BackupFolder(AppState().ProgramDir);
  return {.code = kExitPartWay, .words = words};
}

std::string Counted(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " setting" : " settings");
}

struct Made {
  std::optional<CommandResult> failure;  // refused, failed part-way or declined
  std::size_t changed = 0;               // settings whose data changed
};

// The steps of every change: plan it and refuse, before anything is written, what it
// could not make whole; ask (`confirm`, when given); make it, with its own backup.
Made PlanThenMake(const std::function<ChangePlan()>& plan, const std::function<void()>& make,
                  const std::function<bool()>& confirm = nullptr) {
  ChangePlan planned;
  std::vector<ChangeRow> before;
  try {
    planned = plan();
    if (!planned.error.empty()) return {Refused(planned.error)};
    before = PlannedRowsNow(planned);
  } catch (const std::exception& error) {
    return {Refused(error.what())};
  }
  if (confirm && !confirm()) {
    return {CommandResult{.words = "Nothing changed: the question was answered No."}};
  }
  try {
    make();
  } catch (const std::exception& error) {
    return {PartWay(error, before, planned)};
  }
  return {std::nullopt, planned.rows.size()};
}

// The wizard's "Optimize": the Windows-defaults run alone for type 7; otherwise the
// chained defaults run (unless the system is at its defaults already), then the profile.
void OptimizeAsTheWizard(const RunEnvironment& env, const std::string& lastOptim, int type) {
  if (type == kWindowsDefaultsType) {
    RunWindowsDefaults(env, lastOptim, false);
    return;
  }
  if (lastOptim != "7") RunWindowsDefaults(env, lastOptim, true);
  RunOptimization(env, type);
}

std::string WhatOptimizes(int type) {
  return "Optimize for " + ConnectionCaption(type);
}

CommandResult Optimize(const CommandArguments& arguments, Reporter&) {
  AppStateRecord& state = AppState();
  state.SelectedType = static_cast<std::uint8_t>(arguments.type);
  const RunEnvironment env = SystemRunEnvironment(state);
  const Made made =
      PlanThenMake([&] { return PlanWizardOptimize(env, state.LastOptim, arguments.type); },
                   [&] { OptimizeAsTheWizard(env, state.LastOptim, arguments.type); });
  if (made.failure) return *made.failure;
  state.LastOptim = std::to_string(arguments.type);
  return {.words = WhatOptimizes(arguments.type) + ": done, " + Counted(made.changed) +
                   " changed; the backup is kept in " + BackupFolder(state.ProgramDir),
          .restartFor = RestartCause::kOptimized};
}

CommandResult Changes(const CommandArguments& arguments, Reporter&) {
  AppStateRecord& state = AppState();
  state.SelectedType = static_cast<std::uint8_t>(arguments.type);
  const ChangePlan plan =
      PlanWizardOptimize(SystemRunEnvironment(state), state.LastOptim, arguments.type);
  const std::string headline = ChangesHeadline(WhatOptimizes(arguments.type), plan.rows.size());
  CommandResult result{.words = headline.substr(0, headline.find(':')),
                       .listed = true,
                       .headline = headline,
                       .rows = plan.rows};
  if (!plan.error.empty()) {
    result.code = kExitRefused;
    result.words = plan.error;  // where it would stop: /optimize refuses it
  }
  return result;
}

// Every value the profiles of this Windows family and the advanced settings write, and
// the record of the type applied, each once.
std::vector<ChangedValue> ChangeableValues(const AppStateRecord& state) {
  std::vector<ChangedValue> values;
  std::set<std::string> seen;
  const auto add = [&](const ChangedValue& target) {
    if (seen.insert(TargetKey(target)).second) values.push_back(target);
  };
  add({kHkeyLocalMachine, ProgramKeyPath(state.SoftwareKeyName).substr(1), kLastOptimValueName});
  const ProfilePlaces places{state.ProgramDir, state.WindowsDir, state.OsSuffix};
  for (const ProfileSet set : {ProfileSet::kOptimization, ProfileSet::kDefaults}) {
    const ScriptMode mode =
        set == ProfileSet::kOptimization ? ScriptMode::kWrite : ScriptMode::kDelete;
    for (int type = 1; type < kWindowsDefaultsType; ++type) {
      const auto bytes = ReadWholeFile(ProfileFilePath(places, set, type));
      if (!bytes) continue;  // a profile that is not there changes nothing
      const std::string script = TransformProfile(*bytes);
      MemoryByteSource source(script);
      std::vector<ChangedValue> targets;
      PlanScript(source, mode, &targets);
      for (const ChangedValue& target : targets) add(target);
    }
  }
  for (const ChangedValue& target : CatalogueTargets()) add(target);
  return values;
}

std::vector<SavedIniLine> PortLines(const std::string& windowsDir) {
  std::vector<SavedIniLine> lines;
  for (const char* iniName : {"\\win.ini", "\\system.ini"}) {
    for (const char* port : kPortEntries)
      lines.push_back({windowsDir + iniName, "Ports", port, false, ""});
  }
  return lines;
}

CommandResult Report(const CommandArguments&, Reporter&) {
  const AppStateRecord& state = AppState();
  CommandResult result{.listed = true};
  result.rows = RowsNow(SystemRegistry(), SystemProfileStrings(), ChangeableValues(state),
                        PortLines(state.WindowsDir));
  result.headline = "Veltrano can change " + Counted(result.rows.size()) + "; each holds now:";
  result.words = Counted(result.rows.size()) + " listed";
  return result;
}

// The backup from before Veltrano, or why there is none.
RestorePoint KeptBeforeVeltrano(const std::optional<RestorePoint>& first) {
  if (first) return *first;
  const std::string problem = ListRestorePoints(AppState().ProgramDir).firstProblem;
  throw EBackupDamaged(problem.empty() ? "The backup from before Veltrano is missing." : problem);
}

RestorePoint PointToRestore(const std::string& operand) {
  if (operand == kRestoreBeforeOperand) return KeptBeforeVeltrano(BeforeVeltranoPoint());
  const SettingsBackup backup = ReadBackupFile(operand);
  return RestorePoint{operand, backup.taken, backup.before, false};
}

// Puts back the point `find` gives (a kept backup or a backup file), after asking.
CommandResult RestorePointOf(const std::function<RestorePoint()>& find, Reporter& reporter) {
  RestorePoint point;
  const Made made = PlanThenMake(
      [&] {
        point = find();
        return PlanRestoreOf(point);  // refuses a damaged or foreign file whole
      },
      [&] { RestoreBeforeVeltrano(point); },  // checks and backs up as the window's restore
      [&] {
        return reporter.Confirm(point.first ? OwnSettingsQuestion(point.taken)
                                            : "Restore the settings saved on " + point.taken +
                                                  " from " + point.path + "?");
      });
  if (made.failure) return *made.failure;
  return {.words = "Restored the settings saved on " + point.taken + " from " + point.path + ", " +
                   Counted(made.changed) + " changed",
          .restartFor = RestartCause::kRestored};
}

CommandResult Restore(const CommandArguments& arguments, Reporter& reporter) {
  return RestorePointOf([&] { return PointToRestore(arguments.operand); }, reporter);
}

// The Windows default settings back, unless the system has them already.
CommandResult RestoreDefaults(AppStateRecord& state) {
  if (state.LastOptim == "7") return {.words = "The Windows default settings are in place"};
  const RunEnvironment env = SystemRunEnvironment(state);
  const Made made =
      PlanThenMake([&] { return PlanWizardOptimize(env, state.LastOptim, kWindowsDefaultsType); },
                   [&] { RunWindowsDefaults(env, state.LastOptim, true); });
  if (made.failure) return *made.failure;
  state.LastOptim = "7";
  return {.words = "Restored the Windows default settings, " + Counted(made.changed) + " changed",
          .restartFor = RestartCause::kRestored};
}

// The removal's first step, as uninstall mode takes it without windows: the Windows
// default settings back, then, with /settings before, the backup from before Veltrano.
// The program's files are the package's to remove.
CommandResult Uninstall(const CommandArguments& arguments, Reporter& reporter) {
  AppStateRecord& state = AppState();
  const bool own = arguments.settings == kRestoreBeforeOperand;
  // Looked for before the defaults run, whose own backup would otherwise be taken for
  // the one from before Veltrano on a computer that had none.
  std::optional<RestorePoint> first;
  bool untouched = false;  // no backup, no profile applied: nothing of Veltrano to undo
  if (own) {
    try {
      first = BeforeVeltranoPoint();
      untouched = state.LastOptim == "7" && ListRestorePoints(state.ProgramDir).points.empty();
    } catch (const std::exception&) {
      // refused below, as a missing backup
    }
  }
  const CommandResult defaults = RestoreDefaults(state);
  if (!own || untouched || defaults.code != kExitDone) return defaults;
  CommandResult put = RestorePointOf([&] { return KeptBeforeVeltrano(first); }, reporter);
  // Whatever stops it, the defaults stay written: for the removal that is part-way.
  if (put.code != kExitDone && defaults.restartFor) put.code = kExitPartWay;
  put.words = defaults.words + "; then: " + put.words;
  return put;
}

struct OperationRow {
  Command command;
  Operation operation;
};

constexpr OperationRow kOperations[] = {
    {Command::kOptimize, Optimize}, {Command::kChanges, Changes},     {Command::kReport, Report},
    {Command::kRestore, Restore},   {Command::kUninstall, Uninstall},
};

CommandResult Run(const CommandArguments& arguments, Reporter& reporter) {
  for (const OperationRow& row : kOperations) {
    if (row.command != arguments.command) continue;
    try {
      return row.operation(arguments, reporter);
    } catch (const std::exception& error) {
      return {.code = kExitPartWay, .words = error.what()};
    }
  }
  return {.code = kExitWrongCommandLine, .words = "There is no command to run."};
}

void WriteRows(const CommandArguments& arguments, CommandResult& result) {
  if (!result.listed || arguments.outFile.empty()) return;
  if (WriteWholeFile(arguments.outFile, ChangesAsText(result.rows))) return;
  result.code = kExitPartWay;
  result.words += "; the rows could not be written to " + arguments.outFile;
}

}  // namespace

int RunCommand(const CommandArguments& arguments, Reporter& reporter) {
  CommandResult result = Run(arguments, reporter);
  WriteRows(arguments, result);
  return reporter.Finish(arguments, result);
}

}  // namespace veltrano
