#include "engine/runs.h"

#include "platform/app_state.h"

#include "engine/apply.h"
#include "engine/backup.h"
#include "engine/profile_files.h"
#include "engine/profile_plan.h"
#include "engine/script.h"
#include "platform/convert.h"
#include "platform/registry.h"

namespace veltrano {
namespace {

ProfilePlaces PlacesOf(const RunEnvironment& env) {
  return ProfilePlaces{env.programDir, env.windowsDir, env.osSuffix};
}

void BackUpIfAsked(const RunEnvironment& env, const std::vector<ChangedValue>& targets,
                   const std::string& before) {
  if (env.backupFirst) {
    BackUpBeforeChange(env.registry, env.ini, targets, env.windowsDir, env.programDir, before);
  }
}

void WritePorts(const RunEnvironment& env, const char* setting) {
  WritePortSpeeds(env.ini, env.windowsDir, setting);
}

void RecordLastOptim(const RunEnvironment& env, const std::string& type) {
  TRegistry registry(env.registry);
  registry.SelectRoot(kHkeyLocalMachine);
  // Without its own key the record must fail rather than land in a profile's key.
  if (!registry.OpenPath(ProgramKeyPath(env.softwareKeyName), true)) registry.CloseCurrent();
  registry.WriteText(kLastOptimValueName, type);
}

// Learns from the script itself which values it will write or remove, saves them, and
// winds the work file back for the run.
void BackUpScriptTargets(const RunEnvironment& env, std::FILE* work, ScriptMode mode,
                         const std::string& before) {
  if (!env.backupFirst) return;
  std::vector<ChangedValue> targets;
  FileByteSource source(work);
  PlanScript(source, mode, &targets);
  std::rewind(work);
  BackUpBeforeChange(env.registry, env.ini, targets, env.windowsDir, env.programDir, before);
}

void ApplyWork(const RunEnvironment& env, std::FILE* work, ScriptMode mode) {
  TRegistry registry(env.registry);
  FileByteSource source(work);
  ScriptReader reader(source);
  ApplyScript(reader, registry, mode);
}

// The work file goes last, so a run that stops on an error leaves it behind.
void RemoveWorkFile(const RunEnvironment& env, FileHandle work, ProfileSet set) {
  work.reset();
  PrepareWorkFile(PlacesOf(env), set, kWindowsDefaultsType);
}

}  // namespace

void WritePortSpeeds(ProfileStringApi& ini, const std::string& windowsDir,
                     const std::string& setting) {
  for (const char* iniName : {"\\win.ini", "\\system.ini"}) {
    TIniFile file(ini, windowsDir + iniName);
    for (const char* port : kPortEntries) file.WriteEntry("Ports", port, setting);
  }
}

void RunOptimization(const RunEnvironment& env, int selectedType) {
  constexpr ProfileSet set = ProfileSet::kOptimization;
  FileHandle work = DescrambleToWorkFile(PlacesOf(env), set, selectedType);
  BackUpScriptTargets(env, work.get(), ScriptMode::kWrite, "an optimization");
  WritePorts(env, kOptimizedPortSetting);
  RecordLastOptim(env, std::to_string(selectedType));
  ApplyWork(env, work.get(), ScriptMode::kWrite);
  RemoveWorkFile(env, std::move(work), set);
}

void RunWindowsDefaults(const RunEnvironment& env, const std::string& lastOptim, bool chained) {
  const int lastType = StrToInt(lastOptim);
  if (lastType == kWindowsDefaultsType && !chained) {
    // Already at Windows defaults: there is no profile to undo and no work file to
    // delete, but the user asked for defaults, so the ports and the record are reset.
    BackUpIfAsked(env, {}, "Windows default settings");
    WritePorts(env, kDefaultPortSetting);
    RecordLastOptim(env, "7");
    return;
  }
  constexpr ProfileSet set = ProfileSet::kDefaults;
  if (lastType == kWindowsDefaultsType) {
    // Chained after "7" there is no profile to undo: the work file is deleted ("File not
    // found" when there is none) and, gone, cannot be applied.
    PrepareWorkFile(PlacesOf(env), set, lastType);
    throw MissingProfileFile(WorkFilePath(env.windowsDir));
  }
  FileHandle work = DescrambleToWorkFile(PlacesOf(env), set, lastType);
  BackUpScriptTargets(env, work.get(), ScriptMode::kDelete, "Windows default settings");
  WritePorts(env, kDefaultPortSetting);
  ApplyWork(env, work.get(), ScriptMode::kDelete);
  RecordLastOptim(env, "7");
  RemoveWorkFile(env, std::move(work), set);
}

}  // namespace veltrano
