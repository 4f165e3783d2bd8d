// The backup reader against any bytes: it reads a backup or refuses it as damaged and
// nothing else; what it reads writes out and reads back the same; a backup made of
// fuzzed names and bytes reads back the same; and restoring what it read into the
// in-memory registry touches only the targets a restore allows.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/backup.h"
#include "engine/change_plan.h"
#include "engine/restore_points.h"
#include "platform/memory_profile_strings.h"
#include "platform/memory_registry.h"

namespace {

using namespace veltrano;

constexpr char kMstcp[] = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";

bool SameBackup(const SettingsBackup& a, const SettingsBackup& b) {
  return a.taken == b.taken && a.before == b.before && a.values == b.values &&
         a.iniLines == b.iniLines;
}

void Check(bool holds) {
  if (!holds) std::abort();
}

void RestoresOnlyAllowedTargets(const SettingsBackup& backup) {
  RestoreTargets allowed("C:\\WINDOWS");
  allowed.Add({kHkeyLocalMachine, kMstcp, "MaxMTU"});
  allowed.Add({kHkeyLocalMachine, kMstcp, "DefaultRcvWindow"});
  if (!allowed.FirstRefused({"fuzzed", backup}).empty()) return;
  MemoryRegistry registry;
  MemoryProfileStrings ini;
  const ChangePlan plan = PlanChange(
      registry, ini, [&](RegistryApi& r, ProfileStringApi& i) { RestoreSettings(backup, r, i); });
  for (const SavedValue& value : plan.valuesNow) {
    Check(allowed.FirstRefused({"x", {"", "", {value}, {}, {1}, {}}}).empty());
  }
  for (const SavedIniLine& line : plan.linesNow) {
    Check(allowed.FirstRefused({"x", {"", "", {}, {line}, {}, {1}}}).empty());
  }
}

// A backup whose names and bytes are the input's own.
SettingsBackup BuiltFrom(const std::string& bytes) {
  const std::size_t cut = bytes.size() / 3;
  const std::string name = bytes.substr(0, cut), data = bytes.substr(cut, cut);
  const std::uint32_t type = bytes.empty() ? kRegSz : static_cast<std::uint8_t>(bytes.back()) % 8;
  SettingsBackup backup{"2026-12-08 13:20:05", "a fuzzed change", {}, {}, {}, {}};
  backup.values.push_back({{kHkeyLocalMachine, kMstcp, name}, true, type, data});
  backup.values.push_back({{kHkeyLocalMachine, kMstcp, data}, false, kRegNone, ""});
  backup.iniLines.push_back({"C:\\WINDOWS\\win.ini", "Ports", name, true, bytes.substr(2 * cut)});
  return backup;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  SettingsBackup read;
  bool understood = true;
  try {
    read = ParseBackup(bytes);
  } catch (const EBackupDamaged&) {
    understood = false;
  }
  if (understood) {
    Check(SameBackup(ParseBackup(FormatBackup(read)), read));
    RestoresOnlyAllowedTargets(read);
  }
  const SettingsBackup built = BuiltFrom(bytes);
  Check(SameBackup(ParseBackup(FormatBackup(built)), built));
  return 0;
}
