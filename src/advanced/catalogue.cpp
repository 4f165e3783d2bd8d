#include "advanced/catalogue.h"

#include <algorithm>

#include "platform/convert.h"

namespace veltrano {
namespace {

using enum CatalogueKey;
using enum ChoiceList;
using enum DataKind;

// Indexed by key number; entry 0 is unused.
constexpr CatalogueKeyEntry kKeys[] = {
    {KeyForm::kRoot, R"(\)"},
    {KeyForm::kBuilt, R"(\CurrentControlSet\Services\VxD\NETBEUI)"},
    {KeyForm::kFixed, R"(\System\CurrentControlSet\Services\VxD\NETBEUI\Ndi\params\ncbs)"},
    {KeyForm::kFixed, R"(\System\CurrentControlSet\Services\VxD\NETBEUI\Ndi\params\sessions)"},
    {KeyForm::kBuilt, R"(\CurrentControlSet\Services\VxD\NWLink\Ndi\params\cachesize)"},
    {KeyForm::kBuilt, R"(\CurrentControlSet\Services\VxD\NWLink\Ndi\params\maxconnect)"},
    {KeyForm::kBuilt, R"(\CurrentControlSet\Services\VxD\NWLink\Ndi\params\maxsockets)"},
    {KeyForm::kRoot, R"(\)"},
    {KeyForm::kFixed, R"(\System\CurrentControlSet\Services\VxD\MSTCP)"},
    {KeyForm::kBuilt, R"(\CurrentControlSet\Services\Class\Net\0001)"},
    {KeyForm::kBuilt, R"(\CurrentControlSet\Services\Class\Net\0001\Ndi\params\PointToPointIP)"},
    {KeyForm::kBuilt, R"(\CurrentControlSet\Services\VxD\VCACHE)"},
    {KeyForm::kBuilt,
     R"(\CurrentControlSet\Services\Class\Net\0001\Ndi\params\IPXHeaderCompression)"},
    {KeyForm::kBuilt, R"(\CurrentControlSet\Services\Class\Net\0001\Ndi\params\Logging)"},
    {KeyForm::kBuilt, R"(\America Online\AOL\Aolsock)"},
    {KeyForm::kBuilt, R"(\America Online\AOL\AolsockBack)"},
    {KeyForm::kBuilt, R"(\Symantec\pcANYWHERE\CurrentVersion\System)"},
};

// Indices into SettingGroups(), named after the group a setting sits in.
enum Group {
  kInAol,
  kInPcAnywhere,
  kInGeneral,
  kInDefaults,
  kInPmtu,
  kInTcpGeneral,
  kInCacheSize,
  kInConnections,
  kInSockets,
  kInNetBeuiGeneral,
  kInNcbs,
  kInSessions
};

// The receive-window value names: the name alone, then with two and four backslashes.
constexpr const char* kRcvWindow = "DefaultRcvWindow";
constexpr const char* kRcvWindow2 = R"(DefaultRcvWindow\\)";
constexpr const char* kRcvWindow4 = R"(DefaultRcvWindow\\\\)";

template <std::size_t N>
std::vector<std::string> WithDefault(const std::array<const char*, N>& values) {
  std::vector<std::string> choices{kDefaultChoice};
  choices.insert(choices.end(), values.begin(), values.end());
  return choices;
}

// The table entry at position (1-based), or nullptr for "Default" and beyond the end.
template <std::size_t N>
const char* Entry(const std::array<const char*, N>& values, int position) {
  if (position < 1 || position > static_cast<int>(N)) return nullptr;
  return values[static_cast<std::size_t>(position - 1)];
}

}  // namespace

std::vector<std::string> ChoicesOf(ChoiceList list) {
  switch (list) {
    case kSwitch:
      return {kDefaultChoice, "On", "Off"};
    case kCount:
      return WithDefault(CountValues);
    case kSmallCount:
      return WithDefault(SmallCountValues);
    case kMtu:
      return WithDefault(MtuValues);
    case kReceiveWindow: {
      std::vector<std::string> choices{kDefaultChoice};
      for (int position = 1; position <= static_cast<int>(MtuValues.size()); ++position) {
        choices.push_back(ChoiceValueText(kReceiveWindow, position));
      }
      return choices;
    }
  }
  return {kDefaultChoice};
}

const CatalogueKeyEntry& KeyEntryOf(CatalogueKey key) {
  return kKeys[static_cast<int>(key)];
}

std::string KeyPathOf(CatalogueKey key, const std::string& systemKeyName) {
  const CatalogueKeyEntry& entry = KeyEntryOf(key);
  if (entry.form == KeyForm::kBuilt) return "\\" + systemKeyName + entry.path;
  return entry.path;
}

const std::vector<SettingGroup>& SettingGroups() {
  using enum AdvancedTab;
  static const std::vector<SettingGroup> groups = {
      {kGeneral, " America Online ", 8, 208, 313, 57},
      {kGeneral, " PcANYWHERE ", 8, 272, 313, 57},
      {kGeneral, " General ", 8, 16, 313, 185},
      {kTcpIp, " Defaults ", 16, 16, 305, 89},
      {kTcpIp, " PMTU ", 16, 112, 305, 121},
      {kTcpIp, " General ", 16, 240, 305, 89},
      {kSpxIpx, " Cache Size ", 16, 16, 305, 57},
      {kSpxIpx, " Maximum Connections  ", 16, 96, 305, 89},
      {kSpxIpx, " Maximum Sockets ", 16, 216, 305, 89},
      {kNetBeui, " General ", 16, 16, 305, 89},
      {kNetBeui, " NCBS ", 16, 120, 305, 89},
      {kNetBeui, " Sessions ", 16, 224, 305, 89},
  };
  return groups;
}

const std::vector<Setting>& Settings() {
  // clang-format off
  static const std::vector<Setting> settings = {
      {"a1", kInAol, "NDI :", kSwitch, kString, {{{K14, "aolndi"}}}, {16, 24, 48, 89}},
      {"a2", kInAol, "MTU :", kMtu, kDword, {{{K14, "MTU"}, {K15, "MTU"}}}, {160, 24, 200, 89}},
      {"p1", kInPcAnywhere, "TCP/IP Multicast MTU :", kMtu, kDword, {{{K16, "TCPIPMcastMTU"}}},
       {16, 24, 136, 97}},
      {"g1", kInGeneral, "IP MTU :", kMtu, kString, {{{K9, "IPMTU"}}}, {8, 24, 56, 81}},
      {"g3", kInGeneral, "Maximum MSS :", kMtu, kString, {{{K9, "MaxMSS"}}}, {8, 56, 88, 73}},
      {"g2", kInGeneral, "Logging :", kSwitch, kString, {{{K9, "Logging"}, {K13, "default"}}},
       {168, 24, 216, 81}},
      {"g4", kInGeneral, "SlowNet :", kSwitch, kByte, {{{K9, "SLOWNET"}}}, {168, 56, 216, 81}},
      {"g5", kInGeneral, "Maximum MTU :", kMtu, kString, {{{K9, "MaxMTU"}}}, {8, 88, 88, 73}},
      {"g6", kInGeneral, "IPX Header Compression :", kSwitch, kString,
       {{{K9, "IPXHeaderCompression"}, {K12, "default"}}}, {8, 120, 136, 89}},
      {"g7", kInGeneral, "Communication  Ports Speed-Up :", kSwitch, kPorts, {}, {8, 152, 176, 89}},
      {"td1", kInDefaults, "TTL :", kCount, kString, {{{K7, "DefaultTTL"}, {K8, "DefaultTTL"}}},
       {16, 24, 48, 97}},
      {"td2", kInDefaults, "MSS :", kMtu, kString, {{{K8, "DefaultMSS"}}}, {160, 24, 192, 97}},
      {"td3", kInDefaults, "Receive Window Size :", kReceiveWindow, kString,
       {{{K8, kRcvWindow}, {K8, kRcvWindow2}, {K8, kRcvWindow4}}}, {16, 56, 136, 97}},
      {"tp1", kInPmtu, "Discovery :", kSwitch, kString, {{{K8, "PMTUDiscovery"}}}, {8, 24, 64, 73}},
      {"tp2", kInPmtu, "Auto Detection :", kSwitch, kString, {{{K8, "PMTUAutoDetection"}}},
       {144, 24, 224, 73}},
      {"tp3", kInPmtu, "Black Hole Enabled :", kSwitch, kString, {{{K8, "PMTUBlackHoleEnabled"}}},
       {8, 56, 112, 81}},
      {"tp4", kInPmtu, "Black Hole Detection :", kSwitch, kString, {{{K8, "PMTUBlackHoleDetect"}}},
       {8, 88, 120, 81}},
      {"tg1", kInTcpGeneral, "Point to Point IP :", kSwitch, kString,
       {{{K9, "PointToPointIP"}, {K10, "default"}}}, {16, 24, 104, 81}},
      {"tg2", kInTcpGeneral, "Cache :", kSwitch, kByte, {{{K11, "Start"}}}, {16, 56, 64, 81}},
      {"s1", kInCacheSize, "Default :", kSmallCount, kString, {{{K4, "default"}}}, {16, 24, 64, 73}},
      {"s2", kInCacheSize, "NDI Value :", kSmallCount, kString, {{{K4, "NdiValue"}}},
       {152, 24, 216, 73}},
      {"sc1", kInConnections, "Default :", kSmallCount, kString, {{{K5, "default"}}},
       {16, 24, 72, 81}},
      {"sc2", kInConnections, "Minumum :", kSmallCount, kString, {{{K5, "min"}}}, {16, 56, 72, 81}},
      {"sc3", kInConnections, "Maximum :", kSmallCount, kString, {{{K5, "max"}}},
       {160, 56, 216, 73}},
      {"ss1", kInSockets, "Default :", kSmallCount, kString, {{{K6, "default"}}}, {16, 24, 72, 81}},
      {"ss2", kInSockets, "Minimum :", kSmallCount, kString, {{{K6, "min"}}}, {16, 56, 72, 81}},
      {"ss3", kInSockets, "Maximum :", kSmallCount, kString, {{{K6, "max"}}}, {160, 56, 216, 73}},
      {"b1", kInNetBeuiGeneral, "Default :", kCount, kString, {{{K1, "default"}}}, {16, 24, 64, 73}},
      {"b2", kInNetBeuiGeneral, "NCBS :", kCount, kString, {{{K1, "ncbs"}}}, {16, 56, 64, 73}},
      {"b3", kInNetBeuiGeneral, "Sessions :", kCount, kString, {{{K1, "sessions"}}},
       {144, 56, 200, 89}},
      {"bn1", kInNcbs, "Default :", kCount, kString, {{{K2, "default"}}}, {16, 24, 72, 73}},
      {"bn2", kInNcbs, "Minimum :", kCount, kString, {{{K2, "min"}}}, {16, 56, 72, 73}},
      {"bn3", kInNcbs, "Maximum :", kCount, kString, {{{K2, "max"}}}, {152, 56, 208, 81}},
      {"bs1", kInSessions, "Default :", kCount, kString, {{{K3, "default"}}}, {16, 24, 72, 73}},
      {"bs2", kInSessions, "Minimum :", kCount, kString, {{{K3, "min"}}}, {16, 56, 72, 73}},
      {"bs3", kInSessions, "Maximum :", kCount, kString, {{{K3, "max"}}}, {152, 56, 208, 81}},
  };
  // clang-format on
  return settings;
}

const Setting* FindSetting(std::string_view control) {
  const std::vector<Setting>& settings = Settings();
  const auto found = std::find_if(settings.begin(), settings.end(),
                                  [control](const Setting& s) { return s.control == control; });
  return found == settings.end() ? nullptr : &*found;
}

std::string ChoiceValueText(ChoiceList list, int position) {
  const char* text = nullptr;
  switch (list) {
    case kSwitch:
      text = Entry(SwitchValues, position);
      break;
    case kCount:
      text = Entry(CountValues, position);
      break;
    case kSmallCount:
      text = Entry(SmallCountValues, position);
      break;
    case kMtu:
      text = Entry(MtuValues, position);
      break;
    case kReceiveWindow:
      if (const char* mtu = Entry(MtuValues, position)) {
        return std::to_string(kReceiveWindowFactor * StrToInt(mtu));
      }
      break;
  }
  return text ? text : "";
}

unsigned ChoiceMtuNumber(int position) {
  const char* mtu = Entry(MtuValues, position);
  return mtu ? static_cast<unsigned>(StrToInt(mtu)) : 0;
}

const std::vector<ApplyStep>& ApplySteps() {
  static const std::vector<ApplyStep> steps = {
      {K1, {"b1", "b2", "b3"}},
      {K2, {"bn1", "bn2", "bn3"}},
      {K3, {"bs1", "bs2", "bs3"}},
      {K4, {"s1", "s2"}},
      {K5, {"sc1", "sc2", "sc3"}},
      {K6, {"ss1", "ss2", "ss3"}},
      {K7, {"td1"}},
      {K8, {"td1", "td2", "td3", "tp1", "tp2", "tp3", "tp4"}},
      {K9, {"tg1"}},
      {K10, {"tg1"}},
      {K11, {"tg2"}},
      {K9, {"g1", "g3", "g5", "g2", "g6", "g4"}},
      {K12, {"g6"}},
      {K13, {"g2"}},
      {K14, {"a1", "a2"}},
      {K15, {"a2"}},
      {K16, {"p1"}},
  };
  return steps;
}

}  // namespace veltrano
