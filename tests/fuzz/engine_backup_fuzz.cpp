// The backup reader against any bytes: it reads a backup or refuses it as damaged and
// nothing else; what it reads writes out and reads back the same; a backup made of
// fuzzed names and bytes reads back the same; and restoring what it read into the
// in-memory registry and INI files changes no value but an allowed one, no line but ports.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

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

constexpr const char* kIniFiles[] = {"C:\\WINDOWS\\win.ini", "C:\\WINDOWS\\system.ini"};

// Told apart part by part, apart from the code under test.
bool AllowedValue(const ChangedValue& target) {
  const std::string name = FoldCase(target.name);
  return target.root == kHkeyLocalMachine && FoldCase(target.keyPath) == FoldCase(kMstcp) &&
         (name == "maxmtu" || name == "defaultrcvwindow");
}

// The lines of an INI file as the system reads its text, but for the port entries: a
// line break in a value starts a line of its own.
std::vector<std::string> LinesApartFromPorts(const MemoryProfileStrings& ini, const char* path) {
  std::vector<std::string> lines;
  const std::string text = FoldCase(ini.Render(path));
  for (std::size_t start = 0, end = 0; start < text.size(); start = end + 1) {
    end = std::min(text.find_first_of("\r\n", start), text.size());
    const std::string line = text.substr(start, end - start);
    const bool port = line.size() > 5 && line.compare(0, 3, "com") == 0 && line[3] >= '1' &&
                      line[3] <= '5' && line.compare(4, 2, ":=") == 0;
    if (!port && !line.empty()) lines.push_back(line);
  }
  return lines;
}

// Restored into INI files with lines of the user's, every line but the ports stays.
void RestoresOnlyAllowedTargets(const SettingsBackup& backup) {
  RestoreTargets allowed("C:\\WINDOWS");
  allowed.Add({kHkeyLocalMachine, kMstcp, "MaxMTU"});
  allowed.Add({kHkeyLocalMachine, kMstcp, "DefaultRcvWindow"});
  if (!allowed.FirstRefused({"fuzzed", backup}).empty()) return;
  MemoryRegistry registry;
  MemoryProfileStrings ini;
  std::vector<std::string> before[2];
  for (int i = 0; i < 2; ++i) {
    ini.WriteString("windows", "load", "", kIniFiles[i]);
    ini.WriteString("Ports", "LPT1:", "", kIniFiles[i]);
    before[i] = LinesApartFromPorts(ini, kIniFiles[i]);
  }
  const ChangePlan plan = PlanChange(
      registry, ini, [&](RegistryApi& r, ProfileStringApi& i) { RestoreSettings(backup, r, i); });
  for (const SavedValue& value : plan.valuesNow) Check(AllowedValue(value.target));
  RestoreSettings(backup, registry, ini);
  for (int i = 0; i < 2; ++i) Check(LinesApartFromPorts(ini, kIniFiles[i]) == before[i]);
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
