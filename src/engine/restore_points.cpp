#include "engine/restore_points.h"

#include <algorithm>
#include <set>

#include "engine/apply.h"
#include "engine/change_plan.h"
#include "engine/codec.h"
#include "engine/profile_files.h"
#include "engine/script.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace veltrano {
namespace {

RestorePoint PointOf(const std::string& path, const SettingsBackup& backup, bool first) {
  return RestorePoint{path, backup.taken, backup.before, first};
}

std::string Foreign(const std::string& path, const std::string& target, std::size_t line) {
  return "The backup file " + path + " names " + target + " at line " + std::to_string(line) +
         ", which Veltrano never changes. Nothing has been restored";
}

}  // namespace

RestorePointList ListRestorePoints(const std::string& programDir) {
  RestorePointList list;
  const std::vector<std::string> files = BackupFiles(programDir);
  for (auto file = files.rbegin(); file != files.rend(); ++file) {
    try {
      list.points.push_back(PointOf(*file, ReadBackupFile(*file), false));
    } catch (const VeltranoError&) {
      // A damaged backup is no point to go back to.
    }
  }
  const std::string first = FirstBackupPath(programDir);
  if (!ReadWholeFile(first)) {
    list.firstProblem =
        "The backup of the settings from before Veltrano (" + first + ") is missing.";
    return list;
  }
  try {
    list.points.push_back(PointOf(first, ReadBackupFile(first), true));
  } catch (const VeltranoError& error) {
    list.firstProblem = std::string(error.what()) + ".";
  }
  return list;
}

std::vector<BackupOnDisk> BackupsOfRestorePoint(const std::string& programDir,
                                                const std::string& pointPath) {
  const std::vector<std::string> files = BackupFiles(programDir);
  auto at = std::find_if(files.begin(), files.end(), [&](const std::string& file) {
    return FoldCase(file) == FoldCase(pointPath);
  });
  std::vector<BackupOnDisk> backups;
  if (at == files.end()) {
    backups.push_back({pointPath, ReadBackupFile(pointPath)});
    return backups;
  }
  for (; at != files.end(); ++at) backups.push_back({*at, ReadBackupFile(*at)});
  return backups;
}

SettingsBackup ComposeRestorePoint(const std::vector<BackupOnDisk>& backups) {
  SettingsBackup composed;
  if (backups.empty()) return composed;
  composed.taken = backups.front().backup.taken;
  composed.before = backups.front().backup.before;
  std::set<std::string> known;
  for (const BackupOnDisk& file : backups) {
    for (const SavedValue& value : file.backup.values) {
      if (known.insert(TargetKey(value.target)).second) composed.values.push_back(value);
    }
    for (const SavedIniLine& line : file.backup.iniLines) {
      if (known.insert(LineKey(line)).second) composed.iniLines.push_back(line);
    }
  }
  return composed;
}

RestoreTargets::RestoreTargets(const std::string& windowsDir) : windowsDir_(FoldCase(windowsDir)) {}

void RestoreTargets::Add(const ChangedValue& target) {
  allowed_.insert(TargetKey(target));
}

void RestoreTargets::AddProfileTargets(const std::string& programDir) {
  for (const ProfileSet set : {ProfileSet::kOptimization, ProfileSet::kDefaults}) {
    for (const char* suffix : {"", "2k"}) {
      for (int type = 1; type < kWindowsDefaultsType; ++type) {
        const std::string path = ProfileFilePath({programDir, "", suffix}, set, type);
        const auto bytes = ReadWholeFile(path);
        if (!bytes) continue;  // a profile that is not there writes nothing
        const std::string script = TransformProfile(*bytes);
        const ScriptMode mode =
            set == ProfileSet::kOptimization ? ScriptMode::kWrite : ScriptMode::kDelete;
        const auto targets = TargetsOf([&](RegistryApi& registry, ProfileStringApi&) {
          MemoryByteSource source(script);
          ScriptReader reader(source);
          TRegistry store(registry);
          ApplyScript(reader, store, mode);
        });
        for (const ChangedValue& target : targets) Add(target);
      }
    }
  }
}

std::string RestoreTargets::FirstForeign(const BackupOnDisk& file) const {
  const SettingsBackup& backup = file.backup;
  for (std::size_t i = 0; i < backup.values.size(); ++i) {
    const ChangedValue& target = backup.values[i].target;
    if (allowed_.count(TargetKey(target))) continue;
    const std::size_t line = i < backup.valueLines.size() ? backup.valueLines[i] : 0;
    return Foreign(file.path,
                   BackupRootName(target.root) + "\\" + target.keyPath + " \"" + target.name + "\"",
                   line);
  }
  for (std::size_t i = 0; i < backup.iniLines.size(); ++i) {
    const SavedIniLine& entry = backup.iniLines[i];
    const std::string path = FoldCase(entry.path);
    const bool ownFile = path == windowsDir_ + "\\win.ini" || path == windowsDir_ + "\\system.ini";
    const bool port =
        std::any_of(std::begin(kPortEntries), std::end(kPortEntries),
                    [&](const char* key) { return FoldCase(entry.key) == FoldCase(key); });
    if (ownFile && FoldCase(entry.section) == "ports" && port) continue;
    const std::size_t line = i < backup.iniLineLines.size() ? backup.iniLineLines[i] : 0;
    return Foreign(file.path, entry.path + " [" + entry.section + "] " + entry.key, line);
  }
  return "";
}

}  // namespace veltrano
