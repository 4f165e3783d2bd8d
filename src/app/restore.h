// Restore mode and the restores the windows offer. `Veltrano.exe /restore` opens the
// restore window (TRestore) over the kept restore points; `/restore FILE` restores a
// chosen file: a kept backup as its restore point, any other file only its own values.
// Every restore first checks that the file names only targets this installation can
// change, refusing the whole file otherwise, and backs up what it will overwrite.
#pragma once

#include <optional>
#include <string>

#include "engine/change_plan.h"
#include "engine/restore_points.h"

namespace veltrano {

// Argument 2 of "/restore": empty for the restore window.
void EnterRestoreMode(const std::string& chosenFile);

// What restoring `point` would change on this system, for the Changes window.
// Raises EBackupDamaged (a damaged file) or EBackupRefused (a foreign target).
ChangePlan PlanRestoreOf(const RestorePoint& point);

// Asks once (naming the point and how many values and lines it changes), restores,
// says so and opens the restart prompt. False when the user said No. Errors propagate
// for the error box.
bool RestorePointAfterAsking(const RestorePoint& point);

// The backup from before Veltrano, when it is there and sound.
std::optional<RestorePoint> BeforeVeltranoPoint();

// The settings from before Veltrano, checked as every restore checks its file: raises
// EBackupDamaged or EBackupRefused before anything is asked.
SettingsBackup CheckedBeforeVeltrano(const RestorePoint& first);

// Puts the checked state before Veltrano back without asking (uninstall mode asks
// itself). Errors propagate.
void RestoreBeforeVeltrano(const SettingsBackup& settings);

}  // namespace veltrano
