// The optimization run in a program that Wine presents as Windows 98, 2000 or a later NT:
// OS detection alone picks the profile family and the spelling of ProgramKey.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "engine/runs.h"
#include "platform/ini_file.h"
#include "platform/os_version.h"
#include "platform/registry_api.h"
#include "support/wine_harness.h"
#include "windows/platform_child_process.h"

namespace {

using veltrano::kHkeyLocalMachine;

constexpr char kMstcpKey[] = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
constexpr char kTcpipKey[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
constexpr char kProgramKey[] = "SOFTWARE\\QuarnSoft\\Veltrano";
constexpr char kOptimizeTask[] = "optimize-56k:";

TEST(EngineUnderEmulatedWindows, EachFamilyAppliesItsOwnProfile) {
  const struct {
    const char* version;
    bool nineX;
  } cases[] = {
      {"win98", true}, {"win2k", false}, {"win2003", false}, {"win7", false}, {"win10", false}};
  for (const auto& c : cases) {
    wine_harness::DeleteTree(kHkeyLocalMachine, kMstcpKey);
    wine_harness::DeleteValue(kHkeyLocalMachine, kTcpipKey, "TcpWindowSize");
    wine_harness::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", "7");
    wine_harness::TempFolder windows;
    ASSERT_TRUE(wine_harness::SetEmulatedWindowsVersion("windows_tests.exe", c.version));
    const int code =
        platform_child::RunChild(kOptimizeTask + windows.Path(), 60000, "EngineChildProcess.*");
    wine_harness::SetEmulatedWindowsVersion("windows_tests.exe", "");
    ASSERT_EQ(code, 0) << c.version;

    EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim"), "1");
    const auto mstcp = wine_harness::ReadText(kHkeyLocalMachine, kMstcpKey, "DefaultRcvWindow");
    const auto tcpip = wine_harness::ReadNumber(kHkeyLocalMachine, kTcpipKey, "TcpWindowSize");
    if (c.nineX) {
      EXPECT_EQ(mstcp, "4288") << "the 9x profile writes the MSTCP string values";
      EXPECT_EQ(tcpip, std::nullopt);
    } else {
      EXPECT_EQ(tcpip, 0x10C0u) << "the NT profile writes the Tcpip numbers";
      EXPECT_FALSE(wine_harness::KeyExists(kHkeyLocalMachine, kMstcpKey)) << c.version;
    }
    const auto ini = wine_harness::ReadFileBytes(windows.File("system.ini"));
    EXPECT_NE(ini.value_or("").find("COM5:=921600,n,8,1,p"), std::string::npos) << c.version;
  }
  wine_harness::DeleteTree(kHkeyLocalMachine, "SOFTWARE\\QuarnSoft");
}

// Skipped in a normal run; the parent above runs it in a child under an emulated version.
TEST(EngineChildProcess, OptimizesAsItsWindowsVersionSays) {
  const std::string task = platform_child::ChildTask();
  if (task.rfind(kOptimizeTask, 0) != 0) GTEST_SKIP() << "only run as a child";
  const veltrano::OsIdentity os =
      veltrano::IdentityForOsCode(veltrano::DetectOsCode(veltrano::QueryOsVersion()));
  const veltrano::RunEnvironment env{veltrano::SystemRegistry(),
                                     veltrano::SystemProfileStrings(),
                                     wine_harness::BinDir() + "\\",
                                     task.substr(sizeof kOptimizeTask - 1),
                                     os.osSuffix,
                                     os.softwareKeyName};
  veltrano::RunOptimization(env, 1);
}

}  // namespace
