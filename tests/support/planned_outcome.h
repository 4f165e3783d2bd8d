// What a profile leaves in the registry, worked out by the same line application the
// program uses (the profile tool's plan), and the registry's values read back in the
// plan's words. Windows builds only.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "engine/apply.h"
#include "platform/registry_api.h"

namespace planned_outcome {

// Root, key path without a leading backslash, value name.
using ValueId = std::tuple<veltrano::RegKey, std::string, std::string>;
// Each value the profile names: the description of what it is left holding
// ("REG_DWORD 0x00000040 (64)"), or nullopt when it is left deleted.
using Outcome = std::map<ValueId, std::optional<std::string>>;

// The profile file (scrambled) at profilePath, applied from startMode: kDelete for a
// defaults profile, kWrite for an optimization profile. Empty when it cannot be read.
Outcome PlannedOutcome(const std::string& profilePath, veltrano::ScriptMode startMode);

// The value as the registry holds it, described as the plan describes it.
std::optional<std::string> Described(const ValueId& id);

}  // namespace planned_outcome
