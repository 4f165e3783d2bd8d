// What a change would do, found before it is made: the change runs against a layer over
// the live registry and INI files that reads through to them and keeps every write and
// removal to itself. The same plan gives the rows of the Changes window, the backup
// taken before the first write, and a restore's checks.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "engine/backup.h"
#include "platform/ini_file.h"
#include "platform/registry_api.h"

namespace veltrano {

// One line of the Changes window: "HKLM\System\...\MSTCP\DefaultRcvWindow" or
// "C:\WINDOWS\win.ini [Ports] COM1:", and the data now and after ("not set" when absent).
struct ChangeRow {
  std::string setting;
  std::string now;
  std::string after;
  bool operator==(const ChangeRow&) const = default;
};

struct ChangePlan {
  // Every value and line the change writes or removes, each once, in the order the
  // change first touches it; now and after at the same index.
  std::vector<SavedValue> valuesNow, valuesAfter;
  std::vector<SavedIniLine> linesNow, linesAfter;
  // Only the targets whose data would differ, in first-touch order across both kinds.
  std::vector<ChangeRow> rows;
  // The error that would stop the change part-way, if any ("" when it runs through).
  std::string error;
};

// A change, written against whatever registry and INI files it is handed.
using Change = std::function<void(RegistryApi&, ProfileStringApi&)>;

// Runs `change` against the planning layer over `live` and `ini`; nothing is written.
// A value that exists but cannot be read raises EBackupUnreadable: a plan must never
// take an unreadable value for an absent one.
ChangePlan PlanChange(RegistryApi& live, ProfileStringApi& ini, const Change& change);

// What each value and INI line (its path, section and key) holds now, a row each in the
// given order, "after" the same as "now": the rows of a change that changes nothing. An
// unreadable value raises EBackupUnreadable.
std::vector<ChangeRow> RowsNow(RegistryApi& live, ProfileStringApi& ini,
                               const std::vector<ChangedValue>& values,
                               const std::vector<SavedIniLine>& lines);

// Every value a change writes or removes, whatever the system holds: the change runs
// against a registry in which every key and value exists, with nothing written.
std::vector<ChangedValue> TargetsOf(const Change& change);

// The backup a plan calls for: the data now of every target, in first-touch order.
SettingsBackup BackupFromPlan(const ChangePlan& plan, const std::string& before);

// The steps every change takes: plan it, keep what it will overwrite in
// programDir\Backup, then make it, stopping at the first refusal. With programDir empty
// it is only made. Raises before the first write when the backup cannot be kept.
void BackUpAndApply(RegistryApi& live, ProfileStringApi& ini, const std::string& programDir,
                    const std::string& before, const Change& change);

// "REG_SZ" data as its text, a DWORD as its decimal number, any other kind as hex bytes,
// "not set" when absent.
std::string DataForDisplay(const SavedValue& value);

// The line above the rows: "<what> will change 12 settings:" / "<what> will change 1
// setting:", or "<what> changes nothing: every setting already has the value it would
// get." when there is no row.
std::string ChangesHeadline(const std::string& what, std::size_t rowCount);

// The header line and every row, tab-separated, a line each ("\r\n"), for the clipboard.
std::string ChangesAsText(const std::vector<ChangeRow>& rows);

}  // namespace veltrano
