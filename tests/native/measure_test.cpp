// The path finder and the change it calls for, against scripted echoes, and the adapter
// search of each Windows family against prepared registries.
#include <gtest/gtest.h>

#include "measure/measurement.h"
#include "platform/memory_profile_strings.h"
#include "platform/memory_registry.h"

namespace veltrano {
namespace {

constexpr char kGuid[] = "{00000002-0000-0000-0000-4E6574446576}";
constexpr char kInterfaces[] =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";

// A path as echoes see it: a router that says "too big" above routerMtu, a link that
// drops everything above holeMtu without a word, and every lossEvery-th echo lost.
struct ScriptedPath {
  int routerMtu = 1500, holeMtu = 1500, lossEvery = 0;
  bool resolves = true, answers = true;
  std::uint32_t adapterMtu = 1500;
};

class ScriptedEcho : public EchoApi, public AdapterInfoApi {
 public:
  explicit ScriptedEcho(ScriptedPath path) : path_(path) {}
  bool Resolve(const std::string&, Ipv4* address) override {
    *address = 0x0A000202;
    return path_.resolves;
  }
  EchoReply Send(Ipv4, int payload, unsigned) override {
    sizes.push_back(payload);
    const int size = payload + kIpIcmpHeaderBytes;
    const bool lost = path_.lossEvery && sizes.size() % path_.lossEvery == 0;
    if (size > path_.routerMtu) return {EchoStatus::kTooBig, 0};
    if (!path_.answers || lost || size > path_.holeMtu) return {EchoStatus::kNoAnswer, 0};
    return {EchoStatus::kFits, 200 + static_cast<unsigned>(sizes.size() % 3)};
  }
  std::vector<SystemAdapter> Adapters() override {
    return {{kGuid, "h1-r", "10.0.1.2", 2, path_.adapterMtu}, {"{LOOP}", "lo", "", 1, 65536}};
  }
  std::optional<std::uint32_t> BestInterface(Ipv4) override { return 2; }
  std::vector<int> sizes;
  const ScriptedPath path_;
};

// The copied lines from "Largest packet" on.
std::string Copied(const char* largest, const char* mtu, const char* trip, const char* hole) {
  return std::string("Largest packet\t") + largest + "\r\nMTU\t" + mtu + "\r\nRound trip\t" + trip +
         "\r\nBlack hole\t" + hole + "\r\n";
}

TEST(Measure, FindsThePathAndPlansTheAdapterMtu) {
  const std::string mtuKey = std::string("HKLM\\") + kInterfaces + kGuid + "\\MTU";
  const ChangeRow bh{
      "HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\"
      "EnablePMTUBHDetect",
      "not set", "1"};
  const std::string none = Copied("", "", "", "");
  const struct {
    const char* name;
    ScriptedPath path;
    std::size_t stopAfter;  // echoes; 0 never
    std::string copied;
    std::vector<ChangeRow> rows;
  } cases[] = {
      // clang-format off
      {"path of 1400", {.routerMtu = 1400}, 0, Copied("1372", "1400", "200/201/202 ms", "no"),
       {{mtuKey, "not set", "1400"}}},
      {"local cap", {.adapterMtu = 1400}, 0, Copied("1372", "1400", "200/201/202 ms", "no"), {}},
      {"black hole", {.holeMtu = 1404}, 0, Copied("1376", "1404", "200/201/202 ms", "yes"),
       {{mtuKey, "not set", "1404"}, bh}},
      {"loss", {.routerMtu = 1400, .lossEvery = 4}, 0,
       Copied("1372", "1400", "200/202/202 ms", "no"), {{mtuKey, "not set", "1400"}}},
      {"unreachable", {.answers = false}, 0, none, {}},
      {"unresolved", {.resolves = false}, 0, none, {}},
      {"stop", {.routerMtu = 1400}, 7, none, {}},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRegistry registry;
    MemoryProfileStrings ini;
    ScriptedEcho echo(c.path);
    const MeasureEnvironment env{registry, ini, echo, echo, AdapterLayout::kNt5, "SYSTEM", ""};
    FinderHooks hooks;
    hooks.stopRequested = [&] { return c.stopAfter && echo.sizes.size() >= c.stopAfter; };
    const Measurement measurement = MeasureHost(env, "h2", -1, hooks);
    const std::string text = measurement.AsText();
    EXPECT_EQ(text.substr(text.find("Largest packet")), c.copied);
    EXPECT_EQ(PlanMeasured(env, measurement).rows, c.rows);
    for (const int size : echo.sizes) EXPECT_LE(size + kIpIcmpHeaderBytes, int(c.path.adapterMtu));
    EXPECT_EQ(c.stopAfter ? echo.sizes.size() : 0u, c.stopAfter);
  }
}

// Each family's layout as the real systems keep it; the adapter without TCP/IP and the
// ServiceName that would walk out of its key are not adapters.
TEST(Measure, FindsTheAdaptersOfEachFamily) {
  MemoryRegistry registry;
  const RegKey hklm = kHkeyLocalMachine;
  registry.PutNumber(hklm, std::string(kInterfaces) + kGuid, "MTU", 1400);
  const std::string cards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\";
  const std::string nt4Tcpip = "SYSTEM\\CurrentControlSet\\Services\\El90x1\\Parameters\\Tcpip";
  const std::string nettrans = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\";
  const std::string net = "System\\CurrentControlSet\\Services\\Class\\Net\\";
  const std::string mstcp = "Enum\\Network\\MSTCP\\", root = "Enum\\Root\\Net\\0000";
  const std::string card = "Enum\\PCI\\VEN_10B7\\BUS_00", other = "Enum\\PCI\\VEN_8086\\BUS_01";
  const std::string texts[][3] = {
      // clang-format off
      {cards + "1", "ServiceName", "El90x1"}, {cards + "1", "Description", "3Com Etherlink"},
      {cards + "2", "ServiceName", "..\\Tcpip"}, {nt4Tcpip, "IPAddress", "192.168.0.5"},
      {nettrans + "0000", "DriverDesc", "TCP/IP"}, {nettrans + "0000", "MaxMTU", "576"},
      {nettrans + "0001", "DriverDesc", "TCP/IP"}, {nettrans + "0001", "IPAddress", "10.0.0.7"},
      {mstcp + "0000", "Driver", "NetTrans\\0000"}, {mstcp + "0001", "Driver", "NetTrans\\0001"},
      {root, "Driver", "Net\\0000"}, {root + "\\Bindings", "MSTCP\\0000", ""},
      {card, "Driver", "Net\\0001"}, {card + "\\Bindings", "MSTCP\\0001", ""},
      {other, "Driver", "Net\\0002"}, {net + "0000", "DriverDesc", "Dial-Up Adapter"},
      {net + "0001", "DriverDesc", "3Com EtherLink III"},
      // clang-format on
  };
  for (const auto& [key, name, text] : texts) registry.PutText(hklm, key, name, text);
  registry.PutNumber(hklm, nt4Tcpip, "MTU", 1492);
  ScriptedEcho info({});
  const auto described = [&](AdapterLayout layout, const char* system) {
    std::string text;
    const std::vector<Adapter> adapters = FindAdapters(registry, layout, info, system);
    for (const Adapter& a : adapters) {
      text += a.name + " | " + a.address + " | " + a.MtuNowText() + " | " + a.mtuValue.keyPath +
              " " + a.mtuValue.name + (a.mtuIsText ? " (text)" : "") + "\n";
    }
    return text + "chosen " + std::to_string(ChooseAdapter(adapters, std::nullopt, -1));
  };
  EXPECT_EQ(described(AdapterLayout::kNt5, "SYSTEM"),
            "h1-r | 10.0.1.2 | 1500, registry 1400 | " + std::string(kInterfaces) + kGuid +
                " MTU\nlo |  | 65536, Windows default | " + kInterfaces + "{LOOP} MTU\nchosen 0");
  EXPECT_EQ(described(AdapterLayout::kNt4, "SYSTEM"),
            "3Com Etherlink | 192.168.0.5 | 1492, registry 1492 | " + nt4Tcpip + " MTU\nchosen 0");
  EXPECT_EQ(described(AdapterLayout::k9x, "System"),
            "Dial-Up Adapter |  | 576, registry 576 | " + nettrans + "0000 MaxMTU (text)\n" +
                "3Com EtherLink III | 10.0.0.7 | 1500, Windows default | " + nettrans +
                "0001 MaxMTU (text)\nchosen 1");
}

}  // namespace
}  // namespace veltrano
