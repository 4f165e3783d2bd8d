// The apply operation of advanced mode against the in-memory registry and INI files,
// with every key opened and value written recorded in order.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "advanced/apply_settings.h"
#include "engine/profile_plan.h"
#include "platform/errors.h"
#include "platform/memory_profile_strings.h"
#include "platform/memory_registry.h"

namespace veltrano {
namespace {

constexpr char kWindows[] = "C:\\WINDOWS";

// The in-memory registry, writing down each open ("open"/"create" and the path from
// HKEY_LOCAL_MACHINE) and each accepted write ("<key>: <name> = <data>").
class RecordedRegistry : public RegistryApi {
 public:
  long OpenKey(RegKey parent, const std::string& subKey, std::uint32_t access,
               RegKey* result) override {
    return Opened("open   ", subKey, store.OpenKey(parent, subKey, access, result), result);
  }
  long CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                 RegKey* result) override {
    return Opened("create ", subKey, store.CreateKey(parent, subKey, access, result), result);
  }
  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override {
    const long status = store.SetValue(key, name, type, data, size);
    if (status == kErrorSuccess) {
      steps.push_back(paths[key] + ": " + name + " = " + DescribeValueData(type, data, size));
    }
    return status;
  }
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override {
    return store.QueryValue(key, name, type, data, size);
  }
  long DeleteValue(RegKey key, const std::string& name) override {
    return store.DeleteValue(key, name);
  }
  long CloseKey(RegKey key) override { return store.CloseKey(key); }

  std::vector<std::string> Writes() const {
    std::vector<std::string> writes;
    for (const std::string& step : steps) {
      if (step.rfind("open", 0) != 0 && step.rfind("create", 0) != 0) writes.push_back(step);
    }
    return writes;
  }

  MemoryRegistry store;
  std::vector<std::string> steps;
  std::map<RegKey, std::string> paths;

 private:
  long Opened(const char* how, const std::string& subKey, long status, RegKey* result) {
    steps.push_back(how + subKey + (status == kErrorSuccess ? "" : " (refused)"));
    if (status == kErrorSuccess) paths[*result] = subKey.empty() ? "HKLM" : subKey;
    return status;
  }
};

std::vector<std::string> IniCalls(const MemoryProfileStrings& ini) {
  std::vector<std::string> calls;
  for (const auto& call : ini.Calls()) {
    calls.push_back(call.path + " [" + call.section + "] " + call.key + "=" + call.value);
  }
  return calls;
}

const std::string kNetBeui = R"(System\CurrentControlSet\Services\VxD\NETBEUI)";
const std::string kMstcp = R"(System\CurrentControlSet\Services\VxD\MSTCP)";
const std::string kAdapter = R"(System\CurrentControlSet\Services\Class\Net\0001)";
const std::string kParams = kAdapter + R"(\Ndi\params\)";

TEST(AdvancedApply, AllAtDefaultOpensEveryKeyInOrderAndWritesNothing) {
  RecordedRegistry registry;
  MemoryProfileStrings ini;
  ApplyAdvancedSettings({registry, ini, "SYSTEM", kWindows}, {});
  const std::vector<std::string> expected = {
      R"(create SYSTEM\CurrentControlSet\Services\VxD\NETBEUI)",
      R"(create System\CurrentControlSet\Services\VxD\NETBEUI\Ndi\params\ncbs)",
      R"(create System\CurrentControlSet\Services\VxD\NETBEUI\Ndi\params\sessions)",
      R"(create SYSTEM\CurrentControlSet\Services\VxD\NWLink\Ndi\params\cachesize)",
      R"(create SYSTEM\CurrentControlSet\Services\VxD\NWLink\Ndi\params\maxconnect)",
      R"(create SYSTEM\CurrentControlSet\Services\VxD\NWLink\Ndi\params\maxsockets)",
      "open   ",  // the root key itself, never created
      R"(create System\CurrentControlSet\Services\VxD\MSTCP)",
      R"(create SYSTEM\CurrentControlSet\Services\Class\Net\0001)",
      R"(create SYSTEM\CurrentControlSet\Services\Class\Net\0001\Ndi\params\PointToPointIP)",
      R"(create SYSTEM\CurrentControlSet\Services\VxD\VCACHE)",
      R"(create SYSTEM\CurrentControlSet\Services\Class\Net\0001)",
      R"(create SYSTEM\CurrentControlSet\Services\Class\Net\0001\Ndi\params\IPXHeaderCompression)",
      R"(create SYSTEM\CurrentControlSet\Services\Class\Net\0001\Ndi\params\Logging)",
      R"(create SYSTEM\America Online\AOL\Aolsock)",
      R"(create SYSTEM\America Online\AOL\AolsockBack)",
      R"(create SYSTEM\Symantec\pcANYWHERE\CurrentVersion\System)",
  };
  EXPECT_EQ(registry.steps, expected);
  EXPECT_TRUE(ini.Calls().empty());
  EXPECT_TRUE(registry.store.Values(kHkeyLocalMachine, "").empty());
  EXPECT_TRUE(registry.store.KeyExists(kHkeyLocalMachine, R"(SYSTEM\America Online\AOL)"));
  EXPECT_EQ(registry.store.OpenHandleCount(), 0u);
}

TEST(AdvancedApply, EachDocumentedChoiceWritesItsValuesWhereItsKeysAreOpen) {
  const std::string ports = std::string(kWindows) + "\\";
  const auto portLines = [&](const std::string& setting) {
    std::vector<std::string> lines;
    for (const char* file : {"win.ini", "system.ini"}) {
      for (const char* port : {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:"}) {
        lines.push_back(ports + file + " [Ports] " + port + "=" + setting);
      }
    }
    return lines;
  };
  const struct {
    AdvancedChoices choices;
    std::vector<std::string> writes;
    std::vector<std::string> ini;
  } cases[] = {
      {{{"td1", 5}},
       {R"(HKLM: DefaultTTL = REG_SZ "64")", kMstcp + R"(: DefaultTTL = REG_SZ "64")"},
       {}},
      {{{"td3", 9}},
       {kMstcp + R"(: DefaultRcvWindow = REG_SZ "286624")",
        kMstcp + R"(: DefaultRcvWindow\\ = REG_SZ "286624")",
        kMstcp + R"(: DefaultRcvWindow\\\\ = REG_SZ "286624")"},
       {}},
      {{{"a2", 4}},
       {R"(System\America Online\AOL\Aolsock: MTU = REG_DWORD 0x000005DC (1500))",
        R"(System\America Online\AOL\AolsockBack: MTU = REG_DWORD 0x000005DC (1500))"},
       {}},
      {{{"p1", 9}},
       {R"(System\Symantec\pcANYWHERE\CurrentVersion\System: TCPIPMcastMTU = )"
        R"(REG_DWORD 0x000045FA (17914))"},
       {}},
      {{{"tg1", 2}},
       {kAdapter + R"(: PointToPointIP = REG_SZ "0")",
        kParams + R"(PointToPointIP: default = REG_SZ "0")"},
       {}},
      {{{"g4", 1}}, {kAdapter + ": SLOWNET = REG_BINARY 01"}, {}},
      {{{"g4", 2}}, {kAdapter + ": SLOWNET = REG_BINARY 00"}, {}},
      {{{"tg2", 1}},
       {R"(System\CurrentControlSet\Services\VxD\VCACHE: Start = REG_BINARY 01)"},
       {}},
      {{{"tg2", 2}},
       {R"(System\CurrentControlSet\Services\VxD\VCACHE: Start = REG_BINARY 00)"},
       {}},
      {{{"tg1", 1}, {"g1", 1}, {"g2", 2}, {"g3", 2}, {"g4", 1}, {"g5", 3}, {"g6", 2}},
       {kAdapter + R"(: PointToPointIP = REG_SZ "1")",
        kParams + R"(PointToPointIP: default = REG_SZ "1")", kAdapter + R"(: IPMTU = REG_SZ "576")",
        kAdapter + R"(: MaxMSS = REG_SZ "1006")", kAdapter + R"(: MaxMTU = REG_SZ "1492")",
        kAdapter + R"(: Logging = REG_SZ "0")", kAdapter + R"(: IPXHeaderCompression = REG_SZ "0")",
        kAdapter + ": SLOWNET = REG_BINARY 01",
        kParams + R"(IPXHeaderCompression: default = REG_SZ "0")",
        kParams + R"(Logging: default = REG_SZ "0")"},
       {}},
      {{{"g7", 1}}, {}, portLines("921600,n,8,1,p")},
      {{{"g7", 2}}, {}, portLines("9600,n,8,1,x")},

  };
  for (const auto& c : cases) {
    RecordedRegistry registry;
    MemoryProfileStrings ini;
    ApplyAdvancedSettings({registry, ini, "System", kWindows}, c.choices);
    const std::string row = "row of " + c.choices.begin()->first;
    EXPECT_EQ(registry.Writes(), c.writes) << row;
    EXPECT_EQ(IniCalls(ini), c.ini) << row;
  }
}

TEST(AdvancedApply, RefusedIniWriteEndsTheApplyAfterTheRegistry) {
  RecordedRegistry registry;
  MemoryProfileStrings ini;
  ini.MarkFolderMissing(kWindows);
  try {
    ApplyAdvancedSettings({registry, ini, "System", kWindows}, {{"td1", 1}, {"p1", 1}, {"g7", 1}});
    FAIL() << "the refused INI write was not reported";
  } catch (const EIniFileException& error) {
    EXPECT_STREQ(error.what(), "Unable to write to C:\\WINDOWS\\win.ini");
  }
  const std::vector<std::string> registryPart = {
      R"(HKLM: DefaultTTL = REG_SZ "4")", kMstcp + R"(: DefaultTTL = REG_SZ "4")",
      R"(System\Symantec\pcANYWHERE\CurrentVersion\System: TCPIPMcastMTU = )"
      R"(REG_DWORD 0x00000240 (576))"};
  EXPECT_EQ(registry.Writes(), registryPart);
  EXPECT_EQ(ini.Calls().size(), 1u) << "nothing is tried after the first refusal";
}

// A key that can be neither opened nor created must not take its step's values into the
// key of the step before ("default" of the NCBS key would overwrite NetBEUI's own).
TEST(AdvancedApply, KeyThatCannotBeOpenedTakesNoValuesOfItsStep) {
  const struct {
    AdvancedChoices choices;
    std::string error;  // "" when the apply completes
    std::string netBeuiDefault;
  } cases[] = {
      {{{"b1", 1}, {"bn1", 2}, {"bs1", 3}}, "Failed to set data for 'default'", "4"},
      {{{"b1", 1}, {"a1", 1}}, "", "4"},  // the refused key's own lists are all at "Default"
  };
  for (const auto& c : cases) {
    RecordedRegistry registry;
    MemoryProfileStrings ini;
    registry.store.DenyWrite(kHkeyLocalMachine, kNetBeui + R"(\Ndi\params\ncbs)");
    std::string error;
    try {
      ApplyAdvancedSettings({registry, ini, "System", kWindows}, c.choices);
    } catch (const ERegistryException& raised) {
      error = raised.what();
    }
    EXPECT_EQ(error, c.error);
    const auto value = registry.store.GetValue(kHkeyLocalMachine, kNetBeui, "default");
    EXPECT_EQ(value ? value->Text() : "(none)", c.netBeuiDefault);
    EXPECT_FALSE(
        registry.store.GetValue(kHkeyLocalMachine, kNetBeui + R"(\Ndi\params\sessions)", "default"))
        << "nothing after the failed step is written";
    const bool completed = c.error.empty();
    EXPECT_EQ(registry.store.KeyExists(kHkeyLocalMachine, R"(System\America Online\AOL\Aolsock)"),
              completed);
  }
}

}  // namespace
}  // namespace veltrano
