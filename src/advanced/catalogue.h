// The catalogue of advanced settings: the choice lists, the values their choices write,
// the registry keys they write into, and the one table of all 36 settings that both the
// apply operation and the advanced window are built from. Portable: no window here.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano {

// The choices of a list are identified by their position; 0 is always "Default",
// which writes nothing.
enum class ChoiceList { kSwitch, kCount, kSmallCount, kMtu, kReceiveWindow };

// What a choice is written as.
enum class DataKind {
  kString,  // REG_SZ with the decimal text
  kDword,   // REG_DWORD with the number of the chosen MTU
  kByte,    // one REG_BINARY byte: 0x01 for On, 0x00 for Off
  kPorts,   // the serial-port entries of win.ini and system.ini
};

enum class AdvancedTab { kGeneral, kTcpIp, kSpxIpx, kNetBeui };

inline constexpr const char* kDefaultChoice = "Default";

// What is written, indexed by the choice position minus one. The receive-window list
// has no table of its own: it writes 16 times the MTU at the same position.
inline constexpr std::array<const char*, 2> SwitchValues = {"1", "0"};
inline constexpr std::array<const char*, 7> CountValues = {"4",  "8",   "16", "32",
                                                           "64", "128", "255"};
inline constexpr std::array<const char*, 8> SmallCountValues = {"2",  "4",  "8",   "16",
                                                                "32", "64", "128", "255"};
inline constexpr std::array<const char*, 9> MtuValues = {"576",  "1006", "1492", "1500", "1524",
                                                         "4352", "4464", "9180", "17914"};
inline constexpr int kReceiveWindowFactor = 16;

// The captions of a list, "Default" first. Every numeric caption equals the text its
// choice writes.
std::vector<std::string> ChoicesOf(ChoiceList list);

// The registry keys, all under HKEY_LOCAL_MACHINE. K7 is the root key itself.
enum class CatalogueKey {
  K1 = 1,
  K2,
  K3,
  K4,
  K5,
  K6,
  K7,
  K8,
  K9,
  K10,
  K11,
  K12,
  K13,
  K14,
  K15,
  K16
};

enum class KeyForm {
  kBuilt,  // "\" + SystemKeyName + tail
  kFixed,  // a literal path that spells "\System\" on every system
  kRoot,   // "\" alone: the root key, opened without creating
};

struct CatalogueKeyEntry {
  KeyForm form;
  const char* path;  // the tail for built keys
};

const CatalogueKeyEntry& KeyEntryOf(CatalogueKey key);
// The absolute path of the key; systemKeyName is "System" (9x) or "SYSTEM" (NT).
std::string KeyPathOf(CatalogueKey key, const std::string& systemKeyName);

// One value a setting writes: its name in one key.
struct ValueTarget {
  CatalogueKey key = CatalogueKey::K1;
  const char* name = nullptr;  // nullptr marks an unused slot
};

// A group box of the advanced window, with its place on its tab's page.
struct SettingGroup {
  AdvancedTab tab;
  const char* caption;  // shown as given, blanks included
  int left, top, width, height;
};

// Where a setting's row sits in its group box: the label's corner and the list's
// left edge and width; the list is centred on the label's line.
struct RowPlace {
  int labelLeft, labelTop, listLeft, listWidth;
};

struct Setting {
  const char* control;  // the list's name, "a1" to "bs3"
  int group;            // index into SettingGroups()
  const char* label;
  ChoiceList list;
  DataKind kind;
  // Where the value goes; a setting with several targets writes the same data to each,
  // at the step of the apply sequence where that target's key is open.
  std::array<ValueTarget, 3> targets;
  RowPlace place;
};

// The twelve groups, tab by tab, in the window's focus order.
const std::vector<SettingGroup>& SettingGroups();
// The 36 settings, group by group, in the window's focus order.
const std::vector<Setting>& Settings();
const Setting* FindSetting(std::string_view control);

// The text a string setting writes for the choice at `position`; "" when the position
// writes nothing ("Default" or outside the list).
std::string ChoiceValueText(ChoiceList list, int position);
// The number of the MTU at `position` (a DWORD setting); 0 outside the list.
unsigned ChoiceMtuNumber(int position);

// One step of the apply sequence: the key opened, and the settings whose targets in
// that key are written there, in order.
struct ApplyStep {
  CatalogueKey key;
  std::array<const char*, 7> controls;  // nullptr after the last
};

// The 17 steps, K9 twice.
const std::vector<ApplyStep>& ApplySteps();

// The control whose choice sets the serial ports.
inline constexpr const char* kPortsControl = "g7";

}  // namespace veltrano
