// The advanced apply in a program that Wine presents as Windows 98 or Windows 2000, with
// every list at its last choice: the real registry and INI files hold what the catalogue
// says, whichever spelling of "System" the detected family uses.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "advanced/apply_settings.h"
#include "advanced/catalogue.h"
#include "engine/profile_plan.h"
#include "platform/os_version.h"
#include "platform/registry_api.h"
#include "support/wine_harness.h"
#include "windows/platform_child_process.h"

namespace {

using veltrano::kHkeyLocalMachine;

constexpr char kApplyTask[] = "advanced-last-choices:";
const std::string kServices = R"(System\CurrentControlSet\Services\)";
const std::string kMstcp = kServices + R"(VxD\MSTCP)";
const std::string kAdapter = kServices + R"(Class\Net\0001)";

// As the registry holds the value, e.g. `REG_SZ "255"`; "" when it is missing.
std::string Rendered(const std::string& path, const std::string& name) {
  const auto raw = wine_harness::ReadRaw(kHkeyLocalMachine, path, name);
  if (!raw) return "";
  return veltrano::DescribeValueData(raw->type,
                                     reinterpret_cast<const std::uint8_t*>(raw->bytes.data()),
                                     static_cast<std::uint32_t>(raw->bytes.size()));
}

// Everything an apply with every list set can leave behind, so that other tests of the
// prefix find it as it was.
void RemoveWhatTheApplyWrites() {
  for (const char* tree :
       {R"(VxD\NETBEUI)", R"(VxD\NWLink)", R"(VxD\VCACHE)", R"(Class\Net\0001)"}) {
    wine_harness::DeleteTree(kHkeyLocalMachine, kServices + tree);
  }
  wine_harness::DeleteTree(kHkeyLocalMachine, R"(System\America Online)");
  wine_harness::DeleteTree(kHkeyLocalMachine, R"(System\Symantec)");
  wine_harness::DeleteValue(kHkeyLocalMachine, "", "DefaultTTL");
  for (const char* name : {"DefaultTTL", "DefaultMSS", "DefaultRcvWindow", R"(DefaultRcvWindow\\)",
                           R"(DefaultRcvWindow\\\\)", "PMTUDiscovery", "PMTUAutoDetection",
                           "PMTUBlackHoleEnabled", "PMTUBlackHoleDetect"}) {
    wine_harness::DeleteValue(kHkeyLocalMachine, kMstcp, name);
  }
}

TEST(AdvancedUnderEmulatedWindows, EachFamilyWritesTheCatalogue) {
  const struct {
    std::string path;
    std::string name;
    std::string value;
  } expected[] = {
      {"", "DefaultTTL", R"(REG_SZ "255")"},
      {kMstcp, "DefaultTTL", R"(REG_SZ "255")"},
      {kMstcp, R"(DefaultRcvWindow\\\\)", R"(REG_SZ "286624")"},
      {kServices + R"(VxD\NETBEUI\Ndi\params\ncbs)", "max", R"(REG_SZ "255")"},
      {kServices + R"(VxD\VCACHE)", "Start", "REG_BINARY 00"},
      {kAdapter, "SLOWNET", "REG_BINARY 00"},
      {kAdapter + R"(\Ndi\params\Logging)", "default", R"(REG_SZ "0")"},
      {R"(System\America Online\AOL\AolsockBack)", "MTU", "REG_DWORD 0x000045FA (17914)"},
      {R"(System\Symantec\pcANYWHERE\CurrentVersion\System)", "TCPIPMcastMTU",
       "REG_DWORD 0x000045FA (17914)"},
  };
  for (const char* version : {"win98", "win2k"}) {
    RemoveWhatTheApplyWrites();
    wine_harness::TempFolder windows;
    ASSERT_TRUE(wine_harness::SetEmulatedWindowsVersion("windows_tests.exe", version));
    const int code =
        platform_child::RunChild(kApplyTask + windows.Path(), 60000, "AdvancedChildProcess.*");
    wine_harness::SetEmulatedWindowsVersion("windows_tests.exe", "");
    ASSERT_EQ(code, 0) << version;
    for (const auto& value : expected) {
      EXPECT_EQ(Rendered(value.path, value.name), value.value)
          << version << ": " << value.path << " " << value.name;
    }
    for (const char* file : {"win.ini", "system.ini"}) {
      const auto ini = wine_harness::ReadFileBytes(windows.File(file)).value_or("");
      for (const char* port : {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:"}) {
        EXPECT_NE(ini.find(std::string(port) + "=9600,n,8,1,x"), std::string::npos)
            << version << ": " << file << " " << port;
      }
    }
  }
  RemoveWhatTheApplyWrites();
}

// Skipped in a normal run; the parent above runs it in a child under an emulated version.
TEST(AdvancedChildProcess, AppliesEveryLastChoiceAsItsWindowsVersionSays) {
  const std::string task = platform_child::ChildTask();
  if (task.rfind(kApplyTask, 0) != 0) GTEST_SKIP() << "only run as a child";
  const veltrano::OsIdentity os =
      veltrano::IdentityForOsCode(veltrano::DetectOsCode(veltrano::QueryOsVersion()));
  veltrano::AdvancedChoices choices;
  for (const veltrano::Setting& setting : veltrano::Settings()) {
    choices[setting.control] = static_cast<int>(veltrano::ChoicesOf(setting.list).size()) - 1;
  }
  veltrano::ApplyAdvancedSettings({veltrano::SystemRegistry(), veltrano::SystemProfileStrings(),
                                   os.systemKeyName, task.substr(sizeof kApplyTask - 1)},
                                  choices);
}

}  // namespace
