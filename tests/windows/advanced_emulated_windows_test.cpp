// The advanced apply in a program that Wine presents as Windows 98 or Windows 2000, with
// every list at its last choice: the real registry and INI files hold what the catalogue
// says, whichever spelling of "System" the detected family uses.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "advanced/apply_settings.h"
#include "advanced/catalogue.h"
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

// `"text"`, `dword:0000FFFF`, `hex:01`, or "" when the value is missing.
std::string Rendered(const std::string& path, const std::string& name) {
  const auto raw = wine_harness::ReadRaw(kHkeyLocalMachine, path, name);
  if (!raw) return "";
  char text[32];
  if (raw->type == REG_DWORD && raw->bytes.size() == 4) {
    std::uint32_t number = 0;
    std::memcpy(&number, raw->bytes.data(), 4);
    std::snprintf(text, sizeof text, "dword:%08X", static_cast<unsigned>(number));
    return text;
  }
  if (raw->type == REG_BINARY) {
    std::string hex = "hex:";
    for (unsigned char byte : raw->bytes) {
      std::snprintf(text, sizeof text, "%02X", byte);
      hex += text;
    }
    return hex;
  }
  if (raw->type == REG_SZ) {
    std::string quoted(1, '"');
    quoted.append(raw->bytes.c_str()).push_back('"');
    return quoted;
  }
  return "type " + std::to_string(raw->type);
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
      {"", "DefaultTTL", "\"255\""},
      {kMstcp, "DefaultTTL", "\"255\""},
      {kMstcp, R"(DefaultRcvWindow\\\\)", "\"286624\""},
      {kMstcp, "PMTUBlackHoleDetect", "\"0\""},
      {kServices + R"(VxD\NETBEUI\Ndi\params\ncbs)", "max", "\"255\""},
      {kServices + R"(VxD\NWLink\Ndi\params\maxconnect)", "min", "\"255\""},
      {kServices + R"(VxD\VCACHE)", "Start", "hex:00"},
      {kAdapter, "SLOWNET", "hex:00"},
      {kAdapter, "IPMTU", "\"17914\""},
      {kAdapter + R"(\Ndi\params\Logging)", "default", "\"0\""},
      {R"(System\America Online\AOL\AolsockBack)", "MTU", "dword:000045FA"},
      {R"(System\Symantec\pcANYWHERE\CurrentVersion\System)", "TCPIPMcastMTU", "dword:000045FA"},
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
