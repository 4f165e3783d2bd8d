// The backup reader against any bytes: it reads a backup or refuses it as damaged and
// nothing else; what it reads writes out and reads back the same; a backup made of
// fuzzed names and bytes reads back the same; and what the checks accept, restored into
// a prepared in-memory registry and INI files, changes no value but an allowed one and
// no section or key of an INI file but the port entries.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <tuple>

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

constexpr char kWinIni[] = "C:\\WINDOWS\\win.ini";
constexpr char kSystemIni[] = "C:\\WINDOWS\\system.ini";
constexpr const char* kAllowedNames[] = {"maxmtu", "defaultrcvwindow"};

using ValueAt = std::tuple<RegKey, std::string, std::string>;  // root, folded path, folded name

// Every value of the in-memory registry with its type and data, found key by key.
void CollectValues(const MemoryRegistry& registry, RegKey root, const std::string& path,
                   std::map<ValueAt, std::string>& values) {
  for (const RegistryValue& value : registry.Values(root, path)) {
    values[{root, FoldCase(path), FoldCase(value.name)}] =
        std::to_string(value.type) + ":" + std::string(value.data.begin(), value.data.end());
  }
  for (const std::string& sub : registry.SubKeyNames(root, path)) {
    CollectValues(registry, root, path.empty() ? sub : path + "\\" + sub, values);
  }
}

std::map<ValueAt, std::string> AllValues(const MemoryRegistry& registry) {
  std::map<ValueAt, std::string> values;
  for (RegKey root : {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers}) {
    CollectValues(registry, root, "", values);
  }
  return values;
}

bool AllowedValue(const ValueAt& at) {
  const auto& [root, path, name] = at;
  return root == kHkeyLocalMachine && path == FoldCase(kMstcp) &&
         (name == kAllowedNames[0] || name == kAllowedNames[1]);
}

// The sections and keys of an INI file as the system reads its text: a line break in
// a value starts a line of its own.
std::set<std::string> SectionsAndKeys(const std::string& text) {
  std::set<std::string> found;
  std::string section;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line[0] == '[') {
      section = FoldCase(line.substr(1, line.find(']') - 1));
      found.insert("[" + section + "]");
    } else if (line.find('=') != std::string::npos) {
      found.insert("[" + section + "]" + FoldCase(line.substr(0, line.find('='))));
    }
  }
  return found;
}

bool PortKey(const std::string& entry) {
  for (const char* port : kPortEntries) {
    if (entry == "[ports]" + FoldCase(port)) return true;
  }
  return entry == "[ports]";
}

// A registry and INI files with something of the user's in them.
void Prepare(MemoryRegistry& registry, MemoryProfileStrings& ini) {
  registry.PutText(kHkeyLocalMachine, kMstcp, "MaxMTU", "1500");
  registry.PutText(kHkeyLocalMachine, "System", "Kept", "mine");
  registry.PutText(kHkeyLocalMachine, kMstcp, "Other", "mine");
  for (const char* path : {kWinIni, kSystemIni}) {
    ini.WriteString("windows", "load", "", path);
    ini.WriteString("Ports", "COM1:", "9600,n,8,1", path);
    ini.WriteString("Ports", "LPT1:", "", path);
  }
}

// What the checks accept, restored into the prepared stand-ins, changes only allowed
// values, and leaves each INI file its sections and keys apart from the port entries.
void RestoresOnlyAllowedTargets(const SettingsBackup& backup) {
  RestoreTargets allowed("C:\\WINDOWS");
  allowed.Add({kHkeyLocalMachine, kMstcp, "MaxMTU"});
  allowed.Add({kHkeyLocalMachine, kMstcp, "DefaultRcvWindow"});
  if (!allowed.FirstRefused({"fuzzed", backup}).empty()) return;
  MemoryRegistry registry;
  MemoryProfileStrings ini;
  Prepare(registry, ini);
  const auto valuesBefore = AllValues(registry);
  std::map<std::string, std::set<std::string>> keysBefore;
  for (const char* path : {kWinIni, kSystemIni})
    keysBefore[path] = SectionsAndKeys(ini.Render(path));
  const ChangePlan plan = PlanChange(
      registry, ini, [&](RegistryApi& r, ProfileStringApi& i) { RestoreSettings(backup, r, i); });
  Check(plan.error.empty());
  try {
    RestoreSettings(backup, registry, ini);
  } catch (const VeltranoError&) {
    // A refused write stops the restore; what it wrote must still be allowed.
  }
  const auto valuesAfter = AllValues(registry);
  for (const auto& [at, data] : valuesAfter) {
    const auto before = valuesBefore.find(at);
    Check(AllowedValue(at) || (before != valuesBefore.end() && before->second == data));
  }
  for (const auto& [at, data] : valuesBefore) Check(AllowedValue(at) || valuesAfter.count(at));
  for (const char* path : {kWinIni, kSystemIni}) {
    const std::set<std::string> after = SectionsAndKeys(ini.Render(path));
    for (const std::string& entry : after) Check(PortKey(entry) || keysBefore[path].count(entry));
    for (const std::string& entry : keysBefore[path]) Check(PortKey(entry) || after.count(entry));
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
