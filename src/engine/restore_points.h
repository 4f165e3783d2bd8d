// Restore points: the kept backups, newest first, and the backup from before Veltrano.
// Restoring point N gives back, for every value and line that change N or any later one
// touched, the data it had just before change N: each target is taken from the oldest
// kept backup at or after N that holds it. The backup from before Veltrano holds the
// first state of every target Veltrano ever touched, so restoring it gives back the
// state before Veltrano.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/backup.h"

namespace veltrano {

struct RestorePoint {
  std::string path;    // the backup file
  std::string taken;   // "2026-12-08 13:20:05"
  std::string before;  // "an optimization for Satellite Dish", ...
  bool first = false;  // the backup from before Veltrano
  // The number of the first backup missing from the point's chain (0 when it is whole):
  // what only that change touched cannot be put back.
  unsigned long missing = 0;
};

// "(incomplete: backup 7 is missing)", or "" for a whole point.
std::string IncompleteText(const RestorePoint& point);

struct RestorePointList {
  std::vector<RestorePoint> points;  // newest first; the backup from before Veltrano last
  // "" when the backup from before Veltrano is there and sound; otherwise what is wrong
  // with it ("The backup from before Veltrano is missing." ...), said to the user, who is
  // offered the oldest kept backup instead.
  std::string firstProblem;
};

// Every kept backup (damaged ones are left out of the list).
RestorePointList ListRestorePoints(const std::string& programDir);

// The restore point of a file given by any path: a kept backup (or the backup from before
// Veltrano) is recognised by the file itself, however the path spells it; any other
// file is a point of its own. Raises as ReadBackupFile does.
RestorePoint RestorePointOf(const std::string& programDir, const std::string& path);

struct BackupOnDisk {
  std::string path;
  SettingsBackup backup;
};

// The files a point is made of, each read whole: a kept numbered backup and every later
// one, oldest first; the backup from before Veltrano, or a file from elsewhere, alone.
// Raises EInOutError or EBackupDamaged naming the first file that cannot be read back.
std::vector<BackupOnDisk> BackupsOfRestorePoint(const std::string& programDir,
                                                const std::string& pointPath);

// One backup of the targets of them all, each target from the oldest file that holds it.
SettingsBackup ComposeRestorePoint(const std::vector<BackupOnDisk>& backups);

// What a restore may write: the values the shipped profiles and the catalogue write, the
// record of the type applied, and COM1: to COM5: of [Ports] in the two INI files of this
// Windows. A file never widens it.
class RestoreTargets {
 public:
  explicit RestoreTargets(const std::string& windowsDir);
  void Add(const ChangedValue& target);
  // Every value each shipped profile (both families) writes or removes.
  void AddProfileTargets(const std::string& programDir);
  // "" when the backup names only allowed targets with data a restore may write;
  // otherwise a sentence naming the file, the line and why.
  std::string FirstRefused(const BackupOnDisk& file) const;

 private:
  bool Allows(const ChangedValue& target) const;
  bool Allows(const SavedIniLine& line) const;

  std::string windowsDir_;
  std::set<TargetId> allowed_;
};

}  // namespace veltrano
