// The apply operation of advanced mode: writes the chosen settings of the catalogue into
// the registry in one fixed order of keys, then the serial-port entries.
#pragma once

#include <map>
#include <string>

#include "engine/change_plan.h"
#include "platform/ini_file.h"
#include "platform/registry_api.h"

namespace veltrano {

// The choice position of each list by control name ("a1" to "bs3"). 0 is "Default"; a
// control that is missing counts as "Default".
using AdvancedChoices = std::map<std::string, int>;

struct AdvancedEnvironment {
  RegistryApi& registry;
  ProfileStringApi& ini;
  std::string systemKeyName;  // "System" or "SYSTEM"
  std::string windowsDir;     // without a trailing backslash
  // With a trailing backslash; when set, what the apply will write is saved in its
  // Backup folder first.
  std::string programDir{};
};

// Opens every key of the sequence (creating it when missing, except the root key), writes
// each setting not at "Default" where its key is open, then sets the ports of win.ini and
// system.ini when g7 is "On" or "Off". A key that can be neither opened nor created
// leaves no key open, so its step's first write fails instead of landing in the key of
// the step before. Refused writes raise ERegistryException or EIniFileException and end
// the operation there; what was written before stays written.
void ApplyAdvancedSettings(const AdvancedEnvironment& env, const AdvancedChoices& choices);

// What ApplyAdvancedSettings would change now with these choices; nothing is written.
ChangePlan PlanAdvancedApply(const AdvancedEnvironment& env, const AdvancedChoices& choices);

// Every value the catalogue can write, under either spelling of the system key.
std::vector<ChangedValue> CatalogueTargets();

}  // namespace veltrano
