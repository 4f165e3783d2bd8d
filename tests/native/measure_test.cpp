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
};

class ScriptedEcho : public EchoApi, public AdapterInfoApi {
 public:
  ScriptedEcho(ScriptedPath path, std::uint32_t adapterMtu) : path_(path), mtu_(adapterMtu) {}
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
    return {{kGuid, "h1-r", "10.0.1.2", 2, mtu_}, {"{LOOP}", "lo", "", 1, 65536}};
  }
  std::optional<std::uint32_t> BestInterface(Ipv4) override { return 2; }
  std::vector<int> sizes;

 private:
  ScriptedPath path_;
  std::uint32_t mtu_;
};

TEST(Measure, FindsThePathAndPlansTheAdapterMtu) {
  struct Case {
    const char* name;
    ScriptedPath path;
    std::uint32_t adapterMtu;
    int stopAfter;       // echoes; 0 never
    const char* copied;  // the lines from "Largest packet" on
    std::vector<ChangeRow> rows;
  };
  const std::string mtuKey = std::string("HKLM\\") + kInterfaces + kGuid + "\\MTU";
  const std::string bhKey =
      "HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\EnablePMTUBHDetect";
  const Case cases[] = {
      {"path of 1400",
       {.routerMtu = 1400},
       1500,
       0,
       "Largest packet\t1372\r\nMTU\t1400\r\nRound trip\t200/201/202 ms\r\nBlack hole\tno\r\n",
       {{mtuKey, "not set", "1400"}}},
      {"local cap",
       {},
       1400,
       0,
       "Largest packet\t1372\r\nMTU\t1400\r\nRound trip\t200/201/202 ms\r\nBlack hole\tno\r\n",
       {}},
      {"black hole",
       {.holeMtu = 1404},
       1500,
       0,
       "Largest packet\t1376\r\nMTU\t1404\r\nRound trip\t200/201/202 ms\r\nBlack hole\tyes\r\n",
       {{mtuKey, "not set", "1404"}, {bhKey, "not set", "1"}}},
      {"loss",
       {.routerMtu = 1400, .lossEvery = 4},
       1500,
       0,
       "Largest packet\t1372\r\nMTU\t1400\r\nRound trip\t200/202/202 ms\r\nBlack hole\tno\r\n",
       {{mtuKey, "not set", "1400"}}},
      {"unreachable",
       {.answers = false},
       1500,
       0,
       "Largest packet\t\r\nMTU\t\r\nRound trip\t\r\nBlack hole\t\r\n",
       {}},
      {"unresolved",
       {.resolves = false},
       1500,
       0,
       "Largest packet\t\r\nMTU\t\r\nRound trip\t\r\nBlack hole\t\r\n",
       {}},
      {"stop",
       {.routerMtu = 1400},
       1500,
       7,
       "Largest packet\t\r\nMTU\t\r\nRound trip\t\r\nBlack hole\t\r\n",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryRegistry registry;
    MemoryProfileStrings ini;
    ScriptedEcho echo(c.path, c.adapterMtu);
    const MeasureEnvironment env{registry, ini, echo, echo, AdapterLayout::kNt5, "SYSTEM", ""};
    FinderHooks hooks;
    hooks.stopRequested = [&] {
      return c.stopAfter && echo.sizes.size() >= std::size_t(c.stopAfter);
    };
    const Measurement measurement = MeasureHost(env, "h2", -1, hooks);
    const std::string text = measurement.AsText();
    EXPECT_EQ(text.substr(text.find("Largest packet")), c.copied);
    EXPECT_EQ(PlanMeasured(env, measurement).rows, c.rows);
    for (const int size : echo.sizes) EXPECT_LE(size + kIpIcmpHeaderBytes, int(c.adapterMtu));
    if (c.stopAfter) {
      EXPECT_EQ(echo.sizes.size(), std::size_t(c.stopAfter));
    }
  }
}

// Each family's layout as the real systems keep it; the adapter without TCP/IP and the
// ServiceName that would walk out of its key are not adapters.
TEST(Measure, FindsTheAdaptersOfEachFamily) {
  MemoryRegistry registry;
  const RegKey hklm = kHkeyLocalMachine;
  registry.PutNumber(hklm, std::string(kInterfaces) + kGuid, "MTU", 1400);
  const std::string cards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\";
  registry.PutText(hklm, cards + "1", "ServiceName", "El90x1");
  registry.PutText(hklm, cards + "1", "Description", "3Com Etherlink");
  registry.PutText(hklm, cards + "2", "ServiceName", "..\\Tcpip");
  const std::string nt4Tcpip = "SYSTEM\\CurrentControlSet\\Services\\El90x1\\Parameters\\Tcpip";
  registry.PutText(hklm, nt4Tcpip, "IPAddress", "192.168.0.5");
  registry.PutNumber(hklm, nt4Tcpip, "MTU", 1492);
  const std::string nettrans = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\";
  registry.PutText(hklm, nettrans + "0000", "DriverDesc", "TCP/IP");
  registry.PutText(hklm, nettrans + "0000", "MaxMTU", "576");
  registry.PutText(hklm, nettrans + "0001", "DriverDesc", "TCP/IP");
  registry.PutText(hklm, nettrans + "0001", "IPAddress", "10.0.0.7");
  registry.PutText(hklm, "Enum\\Network\\MSTCP\\0000", "Driver", "NetTrans\\0000");
  registry.PutText(hklm, "Enum\\Network\\MSTCP\\0001", "Driver", "NetTrans\\0001");
  registry.PutText(hklm, "Enum\\Root\\Net\\0000", "Driver", "Net\\0000");
  registry.PutText(hklm, "Enum\\Root\\Net\\0000\\Bindings", "MSTCP\\0000", "");
  registry.PutText(hklm, "Enum\\PCI\\VEN_10B7\\BUS_00", "Driver", "Net\\0001");
  registry.PutText(hklm, "Enum\\PCI\\VEN_10B7\\BUS_00\\Bindings", "MSTCP\\0001", "");
  registry.PutText(hklm, "Enum\\PCI\\VEN_8086\\BUS_01", "Driver", "Net\\0002");
  registry.PutText(hklm, "System\\CurrentControlSet\\Services\\Class\\Net\\0000", "DriverDesc",
                   "Dial-Up Adapter");
  registry.PutText(hklm, "System\\CurrentControlSet\\Services\\Class\\Net\\0001", "DriverDesc",
                   "3Com EtherLink III");
  ScriptedEcho info({}, 1500);
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
