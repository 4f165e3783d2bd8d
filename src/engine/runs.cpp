#include "engine/runs.h"

#include "platform/app_state.h"

#include "engine/apply.h"
#include "engine/backup.h"
#include "engine/codec.h"
#include "engine/profile_files.h"
#include "engine/profile_plan.h"
#include "engine/script.h"
#include "platform/convert.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace veltrano {
namespace {

ProfilePlaces PlacesOf(const RunEnvironment& env) {
  return ProfilePlaces{env.programDir, env.windowsDir, env.osSuffix};
}

std::string BackupFolderOf(const RunEnvironment& env) {
  return env.backupFirst ? env.programDir : std::string();
}

void RecordLastOptim(RegistryApi& api, const RunEnvironment& env, const std::string& type) {
  TRegistry registry(api);
  registry.SelectRoot(kHkeyLocalMachine);
  // Without its own key the record must fail rather than land in a profile's key.
  if (!registry.OpenPath(ProgramKeyPath(env.softwareKeyName), true)) registry.CloseCurrent();
  registry.WriteText(kLastOptimValueName, type);
}

void ApplyScriptFrom(ByteSource& source, RegistryApi& api, ScriptMode mode) {
  TRegistry registry(api);
  ScriptReader reader(source);
  ApplyScript(reader, registry, mode);
}

// What an optimization writes, in its order: ports, the record, the profile.
void OptimizationSteps(RegistryApi& registry, ProfileStringApi& ini, const RunEnvironment& env,
                       ByteSource& script, int selectedType) {
  WritePortSpeeds(ini, env.windowsDir, kOptimizedPortSetting);
  RecordLastOptim(registry, env, std::to_string(selectedType));
  ApplyScriptFrom(script, registry, ScriptMode::kWrite);
}

// What undoing a profile writes: ports, the defaults profile, then the record.
void DefaultsSteps(RegistryApi& registry, ProfileStringApi& ini, const RunEnvironment& env,
                   ByteSource* script) {
  WritePortSpeeds(ini, env.windowsDir, kDefaultPortSetting);
  if (script) ApplyScriptFrom(*script, registry, ScriptMode::kDelete);
  RecordLastOptim(registry, env, "7");
}

// The steps read the work file from its start each time they run: once planned, once made.
Change WorkFileSteps(std::FILE* work,
                     std::function<void(RegistryApi&, ProfileStringApi&, ByteSource&)> steps) {
  return [work, steps](RegistryApi& registry, ProfileStringApi& ini) {
    std::rewind(work);
    FileByteSource source(work);
    steps(registry, ini, source);
  };
}

// The work file goes last, so a run that stops on an error leaves it behind.
void RemoveWorkFile(const RunEnvironment& env, FileHandle work, ProfileSet set) {
  work.reset();
  PrepareWorkFile(PlacesOf(env), set, kWindowsDefaultsType);
}

// A profile descrambled in memory, for a plan that must write nothing, not even the
// work file.
std::string ProfileScript(const RunEnvironment& env, ProfileSet set, int type) {
  const std::string path = ProfileFilePath(PlacesOf(env), set, type);
  const auto bytes = path.empty() ? std::nullopt : ReadWholeFile(path);
  if (!bytes) throw MissingProfileFile(path);
  return TransformProfile(*bytes);
}

}  // namespace

int RecordedType(const std::string& lastOptim) {
  return StrToInt(lastOptim);
}

bool RecordsWindowsDefaults(const std::string& lastOptim) {
  try {
    return RecordedType(lastOptim) == kWindowsDefaultsType;
  } catch (const EConvertError&) {
    return false;
  }
}

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
  const std::string before =
      env.typeCaption.empty() ? "an optimization" : "an optimization for " + env.typeCaption;
  BackUpAndApply(env.registry, env.ini, BackupFolderOf(env), before,
                 WorkFileSteps(work.get(), [&](RegistryApi& r, ProfileStringApi& i, ByteSource& s) {
                   OptimizationSteps(r, i, env, s, selectedType);
                 }));
  RemoveWorkFile(env, std::move(work), set);
}

void RunWindowsDefaults(const RunEnvironment& env, const std::string& lastOptim, bool chained) {
  const int lastType = RecordedType(lastOptim);
  constexpr char kBefore[] = "Windows default settings";
  if (lastType == kWindowsDefaultsType && !chained) {
    // Already at Windows defaults: there is no profile to undo and no work file to
    // delete, but the user asked for defaults, so the ports and the record are reset.
    BackUpAndApply(env.registry, env.ini, BackupFolderOf(env), kBefore,
                   [&](RegistryApi& r, ProfileStringApi& i) { DefaultsSteps(r, i, env, nullptr); });
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
  BackUpAndApply(env.registry, env.ini, BackupFolderOf(env), kBefore,
                 WorkFileSteps(work.get(), [&](RegistryApi& r, ProfileStringApi& i, ByteSource& s) {
                   DefaultsSteps(r, i, env, &s);
                 }));
  RemoveWorkFile(env, std::move(work), set);
}

ChangePlan PlanWizardOptimize(const RunEnvironment& env, const std::string& lastOptim,
                              int selectedType) {
  return PlanChange(env.registry, env.ini, [&](RegistryApi& registry, ProfileStringApi& ini) {
    const int lastType = RecordedType(lastOptim);
    if (lastType != kWindowsDefaultsType) {
      const std::string undo = ProfileScript(env, ProfileSet::kDefaults, lastType);
      MemoryByteSource source(undo);
      DefaultsSteps(registry, ini, env, &source);
    }
    if (selectedType == kWindowsDefaultsType) {
      if (lastType == kWindowsDefaultsType) DefaultsSteps(registry, ini, env, nullptr);
      return;
    }
    const std::string script = ProfileScript(env, ProfileSet::kOptimization, selectedType);
    MemoryByteSource source(script);
    OptimizationSteps(registry, ini, env, source, selectedType);
  });
}

}  // namespace veltrano
