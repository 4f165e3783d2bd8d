// The backup files in ProgramDir\Backup: their names, the backup from before Veltrano,
// and which are kept.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <set>

#include "engine/backup.h"
#include "platform/convert.h"
#include "platform/files.h"

namespace veltrano {
namespace {

constexpr char kFilePrefix[] = "backup-";
constexpr char kFirstFileName[] = "before-veltrano.txt";
constexpr char kFreshSuffix[] = ".new";  // what ReplaceWholeFile writes before the rename
constexpr std::size_t kKeptLatest = 10;

std::string LocalTimeText(const char* format) {
  const std::time_t now = std::time(nullptr);
  char text[32] = {};
  if (const std::tm* local = std::localtime(&now)) std::strftime(text, sizeof text, format, local);
  return text;
}

bool AllDigits(const std::string& text, std::size_t from, std::size_t count) {
  if (from + count > text.size()) return false;
  return std::all_of(text.begin() + from, text.begin() + from + count,
                     [](char c) { return c >= '0' && c <= '9'; });
}

// "backup-0007-20261208-132005.txt" is number 7; 0 for any other name.
unsigned long BackupNumber(const std::string& name) {
  constexpr std::size_t kPrefix = sizeof kFilePrefix - 1;
  constexpr std::size_t kStampAndExtension = sizeof "-20261208-132005.txt" - 1;
  if (name.rfind(kFilePrefix, 0) != 0 || name.size() < kPrefix + 4 + kStampAndExtension) return 0;
  const std::size_t digits = name.size() - kPrefix - kStampAndExtension;
  const std::size_t stamp = kPrefix + digits;
  const bool exact = AllDigits(name, kPrefix, digits) && name[stamp] == '-' &&
                     AllDigits(name, stamp + 1, 8) && name[stamp + 9] == '-' &&
                     AllDigits(name, stamp + 10, 6) && name.compare(stamp + 16, 4, ".txt") == 0;
  return exact && digits <= 9 ? std::strtoul(name.c_str() + kPrefix, nullptr, 10) : 0;
}

std::string ValueKey(const SavedValue& value) {
  return TargetKey(value.target);
}

// Adds what `backup` holds and `first` does not; true when anything was added.
bool TakeInFirstTouches(SettingsBackup& first, const SettingsBackup& backup) {
  std::set<std::string> known;
  for (const SavedValue& value : first.values) known.insert(ValueKey(value));
  for (const SavedIniLine& line : first.iniLines) known.insert(LineKey(line));
  const std::size_t before = first.values.size() + first.iniLines.size();
  for (const SavedValue& value : backup.values) {
    if (known.insert(ValueKey(value)).second) first.values.push_back(value);
  }
  for (const SavedIniLine& line : backup.iniLines) {
    if (known.insert(LineKey(line)).second) first.iniLines.push_back(line);
  }
  return first.values.size() + first.iniLines.size() != before;
}

// The backup from before Veltrano, or nullopt when there is none. A replacement that
// stopped between removing the old file and renaming the fresh one is finished here.
std::optional<SettingsBackup> ReadFirstBackup(const std::string& programDir) {
  const std::string path = FirstBackupPath(programDir);
  if (ReadWholeFile(path)) return ReadBackupFile(path);
  const std::string fresh = path + kFreshSuffix;
  if (!ReadWholeFile(fresh)) return std::nullopt;
  SettingsBackup first = ReadBackupFile(fresh);
  std::rename(NativePath(fresh).c_str(), NativePath(path).c_str());
  return first;
}

[[noreturn]] void CannotKeep(const std::string& what) {
  throw EInOutError("Cannot save " + what + ". Nothing has been changed");
}

std::string NameOf(const std::string& path) {
  const std::size_t separator = LastSeparator(path);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

std::string TakenNow() {
  return LocalTimeText("%Y-%m-%d %H:%M:%S");
}

std::string BackupFolder(const std::string& programDir) {
  return programDir + "Backup";
}

std::string FirstBackupPath(const std::string& programDir) {
  return BackupFolder(programDir) + "\\" + kFirstFileName;
}

bool IsBackupFileName(const std::string& name) {
  return BackupNumber(name) > 0;
}

std::vector<std::string> BackupFiles(const std::string& programDir) {
  std::vector<std::string> names;
  for (const std::string& name : FileNamesIn(BackupFolder(programDir))) {
    if (IsBackupFileName(name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return BackupNumber(a) < BackupNumber(b);
  });
  for (std::string& name : names) name = BackupFolder(programDir) + "\\" + name;
  return names;
}

SettingsBackup ReadBackupFile(const std::string& path) {
  const auto text = ReadWholeFile(path);
  if (!text) throw EInOutError("Cannot read the backup file " + path);
  try {
    return ParseBackup(*text);
  } catch (const EBackupDamaged& damaged) {
    std::string why = damaged.what();
    const std::string prefix = "The backup file ";
    if (why.rfind(prefix, 0) == 0) why.insert(prefix.size(), path + " ");
    throw EBackupDamaged(why);
  }
}

std::string SaveBackup(const std::string& programDir, const SettingsBackup& backup) {
  const std::string folder = BackupFolder(programDir);
  if (!EnsureFolder(folder)) CannotKeep("a backup of the network settings in " + folder);
  std::optional<SettingsBackup> first;
  try {
    first = ReadFirstBackup(programDir);
  } catch (const VeltranoError& error) {
    throw EBackupDamaged(std::string(error.what()) +
                         ". The settings from before Veltrano cannot be kept in it, so nothing "
                         "has been changed. Move the file out of the Backup folder to go on "
                         "without it");
  }
  std::vector<std::string> files = BackupFiles(programDir);
  const unsigned long next = files.empty() ? 1 : BackupNumber(NameOf(files.back())) + 1;
  const std::string path = folder + "\\" + kFilePrefix + PaddedNumber(next, 4) + "-" +
                           LocalTimeText("%Y%m%d-%H%M%S") + ".txt";
  if (!WriteWholeFile(path, FormatBackup(backup))) {
    CannotKeep("a backup of the network settings in " + folder);
  }
  // Made with the first change ever; once lost it is never made again from a later state.
  const std::string firstPath = FirstBackupPath(programDir);
  bool firstKept = true;
  if (!first && files.empty()) {
    firstKept = WriteWholeFile(firstPath, FormatBackup(backup));
  } else if (first && TakeInFirstTouches(*first, backup)) {
    firstKept = ReplaceWholeFile(firstPath, FormatBackup(*first));
  }
  if (!firstKept) {
    RemoveFileIfPresent(path);
    CannotKeep("the settings from before Veltrano in " + firstPath);
  }
  files.push_back(path);
  for (std::size_t i = 0; i + kKeptLatest < files.size(); ++i) RemoveFileIfPresent(files[i]);
  return path;
}

}  // namespace veltrano
