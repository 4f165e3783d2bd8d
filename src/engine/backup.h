// Backups of what a change is about to overwrite: before an optimization, a Windows-
// defaults run, an advanced-mode apply or a restore, every registry value and INI line
// the change will write or remove is saved exactly as it is (or as absent) in a readable
// text file in ProgramDir\Backup, which a restore puts back.
//
// The file, in the manner of a registry export:
//   Veltrano settings backup
//   Taken=2026-12-08 13:20:05
//   Before=an optimization for Satellite Dish
//   [HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\VxD\MSTCP]
//   "DefaultRcvWindow"="4288"          a string (REG_SZ with its one closing zero)
//   "MaxMTU"=dword:000005dc            a four-byte REG_DWORD
//   "Flags"=hex:01,02,03,04            REG_BINARY; hex(N): any other kind N, exactly
//   "MTU"=-                            not there
//   [HKEY_LOCAL_MACHINE\SOFTWARE\QuarnSoft\Veltrano]
//   "LastOptim"="1"                    the type applied, whenever the change records one
//   [INI C:\WINDOWS\win.ini :: Ports]
//   "COM1:"="9600,n,8,1,x"
//   End=6                              the number of entries: a file cut short is refused
// In quoted texts a backslash escapes '"' and '\', and "\xHH" stands for any byte below
// 0x20 and 0x7F, so every name and INI line (tabs included) reads back byte for byte.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/profile_plan.h"
#include "platform/errors.h"
#include "platform/ini_file.h"
#include "platform/registry_api.h"

namespace veltrano {

// The serial-port entries of the section "Ports" that every run and apply sets.
inline constexpr const char* kPortEntries[] = {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:"};

struct SavedValue {
  ChangedValue target;
  bool present = false;
  std::uint32_t type = kRegNone;
  std::string data;  // the value's bytes exactly as the registry holds them
  bool operator==(const SavedValue&) const = default;
};

struct SavedIniLine {
  std::string path;
  std::string section;
  std::string key;
  bool present = false;
  std::string value;
  bool operator==(const SavedIniLine&) const = default;
};

struct SettingsBackup {
  std::string taken;   // "YYYY-MM-DD HH:MM:SS", local time
  std::string before;  // what it was taken before: "an optimization for ...", ...
  std::vector<SavedValue> values;
  std::vector<SavedIniLine> iniLines;
  // The line of the file each value and INI line was read from (0 when not read).
  std::vector<std::size_t> valueLines, iniLineLines;
};

// "HKEY_LOCAL_MACHINE", ..., as the file names a root.
std::string BackupRootName(RegKey root);
std::string FoldCase(std::string text);  // "A" to "Z" lowered, as Windows compares names

// A target as Windows tells targets apart: a registry value (root, key path, name) or an
// INI line (file, section, key), each part folded and compared on its own, so that no
// name can spell its way into a key or a file.
struct TargetId {
  RegKey root = 0;   // 0 for an INI line
  std::string file;  // the INI file; "" for a registry value
  std::string path;  // the key path, or the INI section
  std::string name;  // the value name, or the INI key
  auto operator<=>(const TargetId&) const = default;
};
TargetId IdOf(const ChangedValue& target);
TargetId IdOf(const SavedIniLine& line);
// False for a name no target of this program has: one holding '\', NUL, CR or LF.
bool IsPlainTargetName(const std::string& name);

// What a restore puts back, at most: larger files, values and INI texts are refused.
inline constexpr std::size_t kLargestBackupFile = 1024 * 1024;
inline constexpr std::size_t kLargestValueData = 16 * 1024;
inline constexpr std::size_t kLongestIniText = 1024;
// "" when a saved value or INI line is data a restore may write; otherwise why not
// ("a value of type 0xb, which Veltrano never restores").
std::string UnfitData(const SavedValue& value);
std::string UnfitData(const SavedIniLine& line);

// A backup file that cannot be read back; nothing has been restored from it.
class EBackupDamaged : public VeltranoError {
 public:
  using VeltranoError::VeltranoError;
};

// A value that exists but cannot be read: the change stops before its first write,
// rather than save it as absent and have a restore delete it.
class EBackupUnreadable : public VeltranoError {
 public:
  using VeltranoError::VeltranoError;
};

// A backup naming a target that this installation never changes: refused whole.
class EBackupRefused : public VeltranoError {
 public:
  using VeltranoError::VeltranoError;
};

std::string FormatBackup(const SettingsBackup& backup);
// Raises EBackupDamaged naming the first line that is not understood.
SettingsBackup ParseBackup(const std::string& text);

// Puts every value and line back as saved: absent ones are removed. Refusals raise
// ERegistryException or EIniFileException; what was put back before stays.
void RestoreSettings(const SettingsBackup& backup, RegistryApi& registry, ProfileStringApi& ini);

// ---- The files in ProgramDir\Backup

std::string BackupFolder(const std::string& programDir);
// The backup from before Veltrano: taken with the first change ever, and given the first
// state of every value or line a later change is the first to touch.
std::string FirstBackupPath(const std::string& programDir);
// The numbered backups, oldest first: only names this program writes
// ("backup-0007-20261208-132005.txt") count.
std::vector<std::string> BackupFiles(const std::string& programDir);
bool IsBackupFileName(const std::string& name);
// 7 for "...\\backup-0007-20261208-132005.txt"; 0 for any other name.
unsigned long BackupNumberOf(const std::string& path);
// The file that holds the backup from before Veltrano: its own, or the fresh copy a
// replacement leaves when it stops between removing the old file and renaming the copy;
// "" when neither is there. A file that is there but cannot be read still counts.
std::string FoundFirstBackup(const std::string& programDir);
// Reads and checks a whole backup file: EInOutError (with the system's reason) when it
// cannot be read, EBackupRefused when it is larger than any backup this program writes,
// EBackupDamaged when it is not whole.
SettingsBackup ReadBackupFile(const std::string& path);

// "YYYY-MM-DD HH:MM:SS", local time now.
std::string TakenNow();

// Saves the backup as a new numbered file, adds the values and lines no earlier change
// touched to the backup from before Veltrano (making it with the first change ever), and
// keeps that one and the last ten. Raises (EInOutError, EBackupDamaged) before anything
// is changed when any of it cannot be done.
std::string SaveBackup(const std::string& programDir, const SettingsBackup& backup);

}  // namespace veltrano
