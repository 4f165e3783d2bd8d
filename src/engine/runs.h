// The two profile runs without their windows: everything the optimizing window and the
// Windows-defaults window do inside their creation, against injectable services.
// Errors propagate as exceptions for the window's dispatcher: MissingProfileFile (the
// warning box and the end of the program), ERegistryException, EIniFileException,
// EInOutError and EConvertError (the error box).
#pragma once

#include <string>

#include "engine/change_plan.h"
#include "platform/ini_file.h"
#include "platform/registry_api.h"

namespace veltrano {

struct RunEnvironment {
  RegistryApi& registry;
  ProfileStringApi& ini;
  std::string programDir;       // with a trailing backslash
  std::string windowsDir;       // without one
  std::string osSuffix;         // "" or "2k"
  std::string softwareKeyName;  // "Software" or "SOFTWARE"
  // Saves what the run will change in programDir\Backup before its first write.
  bool backupFirst = true;
  // The caption of the type an optimization applies, for its backup's description.
  std::string typeCaption{};
};

inline constexpr char kOptimizedPortSetting[] = "921600,n,8,1,p";
inline constexpr char kDefaultPortSetting[] = "9600,n,8,1,x";
inline constexpr char kLastOptimValueName[] = "LastOptim";

// The connection type a LastOptim text records, as every run and preview reads it
// (" 7" and "+7" are 7); raises EConvertError for a text that is no number.
int RecordedType(const std::string& lastOptim);
// Whether LastOptim records the Windows defaults: then a chained run has nothing to
// undo. False for a text that is no number, which the run itself reports.
bool RecordsWindowsDefaults(const std::string& lastOptim);

// Writes `setting` under "COM1:" to "COM5:" of the section "Ports", first in
// windowsDir + "\win.ini", then in windowsDir + "\system.ini", one writer per file.
void WritePortSpeeds(ProfileStringApi& ini, const std::string& windowsDir,
                     const std::string& setting);

// Applies the optimization profile of `selectedType` (1..6): a backup of what it will
// change, ports to 921600 baud in win.ini then system.ini, LastOptim = the type (before
// the first profile line, so that a run that stops can still be undone), every profile
// line, work file removed.
void RunOptimization(const RunEnvironment& env, int selectedType);

// Undoes the optimization recorded in `lastOptim`: a backup of what it will change,
// ports to 9600 baud, the defaults profile deleting until "(CHG)" and writing after it,
// LastOptim = "7" (only once every line has been applied), work file removed. A standalone run (not
// chained) with "7" has nothing to undo and skips the profile, but still resets the ports and
// records "7".
void RunWindowsDefaults(const RunEnvironment& env, const std::string& lastOptim, bool chained);

// What "Optimize" in the wizard would change now, nothing written: the undo of
// `lastOptim` (unless it is "7") and the optimization of `selectedType`, or the
// Windows-defaults run alone for type 7. A profile that cannot be read gives a plan whose
// error says so.
ChangePlan PlanWizardOptimize(const RunEnvironment& env, const std::string& lastOptim,
                              int selectedType);

}  // namespace veltrano
