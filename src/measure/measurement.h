// A measurement from end to end, without a window: the host's address, the adapter that
// carries the route to it, the path's figures, and the change they call for, which goes
// through the one plan (show, keep, apply) like every other change. The measure window
// and the command line both call these.
#pragma once

#include <string>
#include <vector>

#include "engine/change_plan.h"
#include "measure/adapters.h"
#include "measure/finder.h"

namespace veltrano {

// The smallest MTU every IPv4 host takes: a smaller figure is never written.
inline constexpr int kSmallestWrittenMtu = 576;

struct MeasureEnvironment {
  RegistryApi& registry;
  ProfileStringApi& ini;
  EchoApi& echo;
  AdapterInfoApi& info;
  AdapterLayout layout = AdapterLayout::kNt5;
  std::string systemKeyName;  // "System" / "SYSTEM"
  std::string programDir;     // where the backups go
};

struct Measurement {
  std::string host;
  bool resolved = false;
  Ipv4 address = 0;
  std::vector<Adapter> adapters;
  int adapter = -1;  // the one carrying the route; -1 when none could be told
  PathMeasurement path;

  const Adapter* Chosen() const { return adapter >= 0 ? &adapters[adapter] : nullptr; }
  bool Measured() const { return resolved && path.end == MeasureEnd::kDone; }
  // The result line: the figures, or why there are none.
  std::string Summary() const;
  // "Host", "Address", "Adapter", "Adapter MTU now", "Largest packet", "MTU",
  // "Round trip", "Black hole": a tab-separated line each, for the clipboard.
  std::string AsText() const;
};

// Resolves `host`, picks the adapter (`userChoice`: the row the user selected, or -1)
// and measures the path. Nothing is written.
Measurement MeasureHost(const MeasureEnvironment& env, const std::string& host, int userChoice,
                        const FinderHooks& hooks);

// The change a measurement calls for: the chosen adapter's MTU when the path carries
// less than it uses (or the registry holds another figure), and black-hole detection
// when a black hole was found. Empty when nothing was measured.
Change MeasuredChange(const Measurement& measurement, AdapterLayout layout,
                      const std::string& systemKeyName);

// "a measured MTU for <adapter>", as the backup names it.
std::string MeasuredBefore(const Measurement& measurement);

ChangePlan PlanMeasured(const MeasureEnvironment& env, const Measurement& measurement);
// Keeps a backup of what the plan overwrites, then writes it.
void ApplyMeasured(const MeasureEnvironment& env, const Measurement& measurement);

// Every value a measurement may write on this machine: the MTU of each adapter found and
// the black-hole switch. A restore accepts these and no other measured values.
std::vector<ChangedValue> MeasureTargets(const std::vector<Adapter>& adapters, AdapterLayout layout,
                                         const std::string& systemKeyName);

// Windows only: the system's registry, INI files, echoes and IP helper, with the family,
// key names and program folder start-up found (AppState).
MeasureEnvironment SystemMeasureEnvironment();
// MeasureTargets of the adapters this machine has now.
std::vector<ChangedValue> MeasureTargetsOfThisMachine();

}  // namespace veltrano
