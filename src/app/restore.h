// Restore mode, entered from start-up when argument 1 is exactly "/restore": puts the
// network settings of a backup back (argument 2 names the file; without it the first
// backup ever taken, the state before Veltrano first changed anything).
#pragma once

#include <string>

namespace veltrano {

// Asks first, naming when the backup was taken; then, after a backup of what it is about
// to overwrite, every saved value and INI line goes
// back as it was, LastOptim becomes "7" (no profile of Veltrano's applied), a box says so
// and the restart prompt opens. A damaged or unreadable file, or a refusal on the way,
// raises its error for the error box; No, or no backup at all, ends the program.
void EnterRestoreMode(const std::string& chosenFile);

}  // namespace veltrano
