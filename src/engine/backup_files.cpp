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
constexpr unsigned long kLargestNumber = 999999999;  // nine digits

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

// The number the next backup gets. A name numbered so high that the next one's number
// could not be read back is not counted: it would hide every later backup.
unsigned long NextBackupNumber(const std::vector<std::string>& files) {
  unsigned long last = 0;
  for (const std::string& file : files) {
    const unsigned long number = BackupNumberOf(file);
    if (number < kLargestNumber && number > last) last = number;
  }
  return last + 1;
}

// Adds what `backup` holds and `first` does not; true when anything was added.
bool TakeInFirstTouches(SettingsBackup& first, const SettingsBackup& backup) {
  std::set<TargetId> known;
  for (const SavedValue& value : first.values) known.insert(IdOf(value.target));
  for (const SavedIniLine& line : first.iniLines) known.insert(IdOf(line));
  const std::size_t before = first.values.size() + first.iniLines.size();
  for (const SavedValue& value : backup.values) {
    if (known.insert(IdOf(value.target)).second) first.values.push_back(value);
  }
  for (const SavedIniLine& line : backup.iniLines) {
    if (known.insert(IdOf(line)).second) first.iniLines.push_back(line);
  }
  return first.values.size() + first.iniLines.size() != before;
}

// The backup from before Veltrano, or nullopt when there is none. A replacement that
// stopped between removing the old file and renaming the fresh one is finished here.
std::optional<SettingsBackup> ReadFirstBackup(const std::string& programDir) {
  const std::string path = FirstBackupPath(programDir);
  const std::string found = FoundFirstBackup(programDir);
  if (found.empty()) return std::nullopt;
  SettingsBackup first = ReadBackupFile(found);
  if (found != path) std::rename(NativePath(found).c_str(), NativePath(path).c_str());
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

unsigned long BackupNumberOf(const std::string& path) {
  return BackupNumber(NameOf(path));
}

std::string FoundFirstBackup(const std::string& programDir) {
  const std::string path = FirstBackupPath(programDir);
  for (const std::string& candidate : {path, path + kFreshSuffix}) {
    if (ReadFileAtMost(candidate, 0).status != FileRead::kMissing) return candidate;
  }
  return "";
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
  const FileRead read = ReadFileAtMost(path, kLargestBackupFile);
  if (read.status == FileRead::kTooLarge) {
    throw EBackupRefused("The backup file " + path + " is larger than " +
                         std::to_string(kLargestBackupFile / 1024) +
                         " KB, which no backup of Veltrano is. Nothing has been restored");
  }
  if (read.status != FileRead::kRead) {
    throw EInOutError("Cannot read the backup file " + path +
                      (read.reason.empty() ? "" : ": " + read.reason));
  }
  try {
    return ParseBackup(read.bytes);
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
  const unsigned long next = NextBackupNumber(files);
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
