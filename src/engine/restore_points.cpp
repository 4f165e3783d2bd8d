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

std::string Unfit(const std::string& path, const std::string& why, std::size_t line) {
  return "The backup file " + path + " holds " + why + " at line " + std::to_string(line) +
         ". Nothing has been restored";
}

std::size_t LineAt(const std::vector<std::size_t>& lines, std::size_t index) {
  return index < lines.size() ? lines[index] : 0;
}

// The first number missing from the chain of the numbered backup files[from] and every
// later one; 0 when the chain is whole.
unsigned long FirstMissing(const std::vector<std::string>& files, std::size_t from) {
  for (std::size_t i = from; i + 1 < files.size(); ++i) {
    const unsigned long next = BackupNumberOf(files[i]) + 1;
    if (BackupNumberOf(files[i + 1]) != next) return next;
  }
  return 0;
}

}  // namespace

std::string IncompleteText(const RestorePoint& point) {
  if (point.missing == 0) return "";
  return "(incomplete: backup " + std::to_string(point.missing) + " is missing)";
}

RestorePointList ListRestorePoints(const std::string& programDir) {
  RestorePointList list;
  const std::vector<std::string> files = BackupFiles(programDir);
  for (std::size_t i = files.size(); i-- > 0;) {
    try {
      list.points.push_back(PointOf(files[i], ReadBackupFile(files[i]), false));
      list.points.back().missing = FirstMissing(files, i);
    } catch (const VeltranoError&) {
      // A damaged backup is no point to go back to.
    }
  }
  const std::string first = FoundFirstBackup(programDir);
  if (first.empty()) {
    list.firstProblem = "The backup of the settings from before Veltrano (" +
                        FirstBackupPath(programDir) + ") is missing.";
    return list;
  }
  try {
    list.points.push_back(PointOf(first, ReadBackupFile(first), true));
  } catch (const VeltranoError& error) {
    list.firstProblem = std::string(error.what()) + ".";
  }
  return list;
}

RestorePoint RestorePointOf(const std::string& programDir, const std::string& path) {
  for (const RestorePoint& point : ListRestorePoints(programDir).points) {
    if (SameFile(point.path, path)) return point;
  }
  return PointOf(path, ReadBackupFile(path), false);
}

std::vector<BackupOnDisk> BackupsOfRestorePoint(const std::string& programDir,
                                                const std::string& pointPath) {
  const std::vector<std::string> files = BackupFiles(programDir);
  auto at = std::find_if(files.begin(), files.end(),
                         [&](const std::string& file) { return SameFile(file, pointPath); });
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
  std::set<TargetId> known;
  for (const BackupOnDisk& file : backups) {
    for (const SavedValue& value : file.backup.values) {
      if (known.insert(IdOf(value.target)).second) composed.values.push_back(value);
    }
    for (const SavedIniLine& line : file.backup.iniLines) {
      if (known.insert(IdOf(line)).second) composed.iniLines.push_back(line);
    }
  }
  return composed;
}

RestoreTargets::RestoreTargets(const std::string& windowsDir) : windowsDir_(FoldCase(windowsDir)) {}

void RestoreTargets::Add(const ChangedValue& target) {
  allowed_.insert(IdOf(target));
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

bool RestoreTargets::Allows(const ChangedValue& target) const {
  return IsPlainTargetName(target.name) && allowed_.count(IdOf(target)) > 0;
}

bool RestoreTargets::Allows(const SavedIniLine& line) const {
  const TargetId id = IdOf(line);
  const bool ownFile =
      id.file == windowsDir_ + "\\win.ini" || id.file == windowsDir_ + "\\system.ini";
  const bool port = std::any_of(std::begin(kPortEntries), std::end(kPortEntries),
                                [&](const char* key) { return id.name == FoldCase(key); });
  return ownFile && id.path == "ports" && port && IsPlainTargetName(line.key);
}

std::string RestoreTargets::FirstRefused(const BackupOnDisk& file) const {
  const SettingsBackup& backup = file.backup;
  for (std::size_t i = 0; i < backup.values.size(); ++i) {
    const ChangedValue& target = backup.values[i].target;
    const std::size_t line = LineAt(backup.valueLines, i);
    if (!Allows(target)) {
      return Foreign(
          file.path,
          BackupRootName(target.root) + "\\" + target.keyPath + " \"" + target.name + "\"", line);
    }
    const std::string unfit = UnfitData(backup.values[i]);
    if (!unfit.empty()) return Unfit(file.path, unfit, line);
  }
  for (std::size_t i = 0; i < backup.iniLines.size(); ++i) {
    const SavedIniLine& entry = backup.iniLines[i];
    const std::size_t line = LineAt(backup.iniLineLines, i);
    if (!Allows(entry)) {
      return Foreign(file.path, entry.path + " [" + entry.section + "] " + entry.key, line);
    }
    const std::string unfit = UnfitData(entry);
    if (!unfit.empty()) return Unfit(file.path, unfit, line);
  }
  return "";
}

}  // namespace veltrano
