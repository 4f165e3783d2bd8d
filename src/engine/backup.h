// Backups of what a change is about to overwrite: before an optimization, a Windows-
// defaults run or an advanced-mode apply, every registry value it will write or remove
// and the COM1 to COM5 lines of win.ini and system.ini are saved exactly as they are (or
// as absent) in a readable text file in ProgramDir\Backup, which a restore puts back.
//
// The file, in the manner of a registry export:
//   Veltrano settings backup
//   Taken=2026-12-08 13:20:05
//   Before=an optimization
//   [HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\VxD\MSTCP]
//   "DefaultRcvWindow"="4288"          a string (REG_SZ with its one closing zero)
//   "MaxMTU"=dword:000005dc            a four-byte REG_DWORD
//   "Flags"=hex:01,02,03,04            REG_BINARY; hex(N): any other kind N, exactly
//   "MTU"=-                            not there
//   [INI C:\WINDOWS\win.ini :: Ports]
//   "COM1:"="9600,n,8,1,x"
#pragma once

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
  std::string before;  // what it was taken before: "an optimization", ...
  std::vector<SavedValue> values;
  std::vector<SavedIniLine> iniLines;
};

// A backup file that cannot be read back; nothing has been restored from it.
class EBackupDamaged : public VeltranoError {
 public:
  using VeltranoError::VeltranoError;
};

std::string FormatBackup(const SettingsBackup& backup);
// Raises EBackupDamaged naming the first line that is not understood.
SettingsBackup ParseBackup(const std::string& text);

// The current state of every target (each once) and of the ports of both INI files.
SettingsBackup CaptureSettings(RegistryApi& registry, ProfileStringApi& ini,
                               const std::vector<ChangedValue>& targets,
                               const std::string& windowsDir, const std::string& before);
// Puts every value and line back as saved: absent ones are removed. Refusals raise
// ERegistryException or EIniFileException; what was put back before stays.
void RestoreSettings(const SettingsBackup& backup, RegistryApi& registry, ProfileStringApi& ini);

// ProgramDir\Backup, and its backup files oldest first.
std::string BackupFolder(const std::string& programDir);
std::vector<std::string> BackupFiles(const std::string& programDir);
// Saves the backup as a new file, then keeps only the first backup ever taken (the
// state before Veltrano first changed anything: values a later change is the first to
// touch are added to it) and the last ten. Raises EInOutError
// when the file cannot be written, before anything is changed.
std::string SaveBackup(const std::string& programDir, const SettingsBackup& backup);

// Captures and saves in one step: what every change does before its first write.
void BackUpBeforeChange(RegistryApi& registry, ProfileStringApi& ini,
                        const std::vector<ChangedValue>& targets, const std::string& windowsDir,
                        const std::string& programDir, const std::string& before);

}  // namespace veltrano
