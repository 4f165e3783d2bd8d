// How one script line becomes one call on the registry store, for both runs.
#pragma once

#include <string>

#include "platform/registry.h"

namespace veltrano {

class ScriptReader;

// The defaults run starts deleting and writes after the marker; the optimization run
// writes throughout, so for it the marker changes nothing.
enum class ScriptMode { kWrite, kDelete };

inline constexpr char kChangeMarker[] = "(CHG)";

// Section lines select HKEY_LOCAL_MACHINE ("L" as second character) or HKEY_USERS and
// open or create the key; value lines write (or, in delete mode, remove) one value;
// the exact line "(CHG)" switches to write mode; every other line is ignored.
// A key that cannot be opened leaves no key open, so that the following value lines
// fail loudly instead of landing in the key of an earlier section.
// Refused writes and removals raise ERegistryException; a value that is not there is
// passed over.
void ApplyLine(TRegistry& registry, const std::string& line, ScriptMode& mode);

// Applies every line of a script in order, starting in `mode`.
void ApplyScript(ScriptReader& reader, TRegistry& registry, ScriptMode mode);

}  // namespace veltrano
