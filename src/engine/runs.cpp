#include "engine/runs.h"

#include "platform/app_state.h"

#include "engine/apply.h"
#include "engine/profile_files.h"
#include "engine/script.h"
#include "platform/convert.h"
#include "platform/registry.h"

namespace veltrano {
namespace {

constexpr const char* kPortKeys[] = {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:"};

ProfilePlaces PlacesOf(const RunEnvironment& env) {
  return ProfilePlaces{env.programDir, env.windowsDir, env.osSuffix};
}

FileHandle OpenWorkFile(const RunEnvironment& env) {
  const std::string path = WorkFilePath(env.windowsDir);
  FileHandle work = OpenForReading(path);
  if (!work) throw MissingProfileFile(path);
  return work;
}

void WritePorts(const RunEnvironment& env, const char* setting) {
  WritePortSpeeds(env.ini, env.windowsDir, setting);
}

void RecordLastOptim(TRegistry& registry, const RunEnvironment& env, const std::string& type) {
  registry.SelectRoot(kHkeyLocalMachine);
  // Without its own key the record must fail rather than land in a profile's key.
  if (!registry.OpenPath(ProgramKeyPath(env.softwareKeyName), true)) registry.CloseCurrent();
  registry.WriteText(kLastOptimValueName, type);
  registry.CloseCurrent();
}

// Everything after the profile has been descrambled: the work file is read, the ports
// set, the script applied and the type recorded; the work file goes last, so a run that
// stops on an error leaves it behind.
void ApplyWorkFile(const RunEnvironment& env, ProfileSet set, const char* portSetting,
                   ScriptMode startMode, const std::string& recordedType) {
  FileHandle work = OpenWorkFile(env);
  WritePorts(env, portSetting);
  {
    TRegistry registry(env.registry);
    FileByteSource source(work.get());
    ScriptReader reader(source);
    ApplyScript(reader, registry, startMode);
    RecordLastOptim(registry, env, recordedType);
  }
  work.reset();
  PrepareWorkFile(PlacesOf(env), set, kWindowsDefaultsType);
}

}  // namespace

void WritePortSpeeds(ProfileStringApi& ini, const std::string& windowsDir,
                     const std::string& setting) {
  for (const char* iniName : {"\\win.ini", "\\system.ini"}) {
    TIniFile file(ini, windowsDir + iniName);
    for (const char* port : kPortKeys) file.WriteEntry("Ports", port, setting);
  }
}

void RunOptimization(const RunEnvironment& env, int selectedType) {
  PrepareWorkFile(PlacesOf(env), ProfileSet::kOptimization, selectedType);
  ApplyWorkFile(env, ProfileSet::kOptimization, kOptimizedPortSetting, ScriptMode::kWrite,
                std::to_string(selectedType));
}

void RunWindowsDefaults(const RunEnvironment& env, const std::string& lastOptim, bool chained) {
  const int lastType = StrToInt(lastOptim);
  if (lastType == kWindowsDefaultsType && !chained) {
    // Already at Windows defaults: there is no profile to undo and no work file to
    // delete, but the user asked for defaults, so the ports and the record are reset.
    WritePorts(env, kDefaultPortSetting);
    TRegistry registry(env.registry);
    RecordLastOptim(registry, env, "7");
    return;
  }
  PrepareWorkFile(PlacesOf(env), ProfileSet::kDefaults, lastType);
  ApplyWorkFile(env, ProfileSet::kDefaults, kDefaultPortSetting, ScriptMode::kDelete, "7");
}

}  // namespace veltrano
