// The two runs end to end under Wine: the real registry, real win.ini and system.ini in
// a temporary WindowsDir, and the built profile files copied into a temporary
// ProgramDir.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "engine/codec.h"
#include "engine/profile_files.h"
#include "engine/profile_plan.h"
#include "engine/runs.h"
#include "engine/script.h"
#include "platform/errors.h"
#include "platform/ini_file.h"
#include "platform/registry_api.h"
#include "support/wine_harness.h"

namespace veltrano {
namespace {

namespace wh = wine_harness;

const char kProgramKey[] = "Software\\QuarnSoft\\Veltrano";
const char kScratchKey[] = "Software\\VeltranoEngineTest";
const char kMstcp[] = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
const char kTcpip[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const char kInternet[] =
    ".Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// INI files as Wine writes them (no blank lines, no blanks around "="), so that every
// line that is not a port entry must come back byte for byte.
const char kWinIni[] =
    "; for 16-bit app support\r\n"
    "[fonts]\r\n"
    "[extensions]\r\n"
    "txt=notepad.exe ^.txt\r\n"
    "[Ports]\r\n"
    "LPT1:=\r\n"
    "COM1:=9600,n,8,1\r\n"
    "FILE:=\r\n"
    "[mail]\r\n"
    "MAPI=1\r\n";
const char kSystemIni[] =
    "[boot]\r\n"
    "shell=Explorer.exe\r\n"
    "[drivers]\r\n"
    "wave=mmdrv.dll\r\n";

bool IsPortEntry(const std::string& line) {
  return line.size() > 5 && line.compare(0, 3, "COM") == 0 && line[3] >= '1' && line[3] <= '5' &&
         line.compare(4, 2, ":=") == 0;
}

std::vector<std::string> OtherLines(const std::string& text) {
  std::vector<std::string> kept;
  for (const auto& line : wine_harness::CrLfLines(text)) {
    if (!IsPortEntry(line)) kept.push_back(line);
  }
  return kept;
}

// Every value a profile writes, by root, key path and name, with the plan's description
// of its type and data: what the program must leave in the real registry.
struct PlannedValue {
  RegKey root;
  std::string path;
  std::string name;
  std::string description;
};

std::vector<PlannedValue> PlannedWrites(const std::string& script) {
  MemoryByteSource source(script);
  const ProfilePlan plan = PlanScript(source, ScriptMode::kWrite);
  EXPECT_EQ(plan.error, "");
  std::vector<PlannedValue> values;
  RegKey root = 0;
  std::string path;
  for (const auto& step : plan.steps) {
    if (step.rfind("open   ", 0) == 0) {
      const std::string full = step.substr(7);
      const auto slash = full.find('\\');
      root = full.compare(0, slash, "HKEY_LOCAL_MACHINE") == 0 ? kHkeyLocalMachine : kHkeyUsers;
      path = slash == std::string::npos ? "" : full.substr(slash + 1);
    } else if (step.rfind("write  \"", 0) == 0) {
      const auto nameEnd = step.find('"', 8);
      values.push_back({root, path, step.substr(8, nameEnd - 8), step.substr(nameEnd + 2)});
    }
  }
  return values;
}

std::string Describe(const wh::RawValue& value) {
  return DescribeValueData(value.type, reinterpret_cast<const std::uint8_t*>(value.bytes.data()),
                           static_cast<std::uint32_t>(value.bytes.size()));
}

class EngineRunsUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    CleanRegistry();
    ASSERT_TRUE(wh::WriteFileBytes(WinIni(), kWinIni));
    ASSERT_TRUE(wh::WriteFileBytes(SystemIni(), kSystemIni));
  }
  void TearDown() override { CleanRegistry(); }

  // The values the profiles may write, the program's key and the scratch key go, so
  // each test starts from a fresh Windows as far as the profiles are concerned.
  static void CleanRegistry() {
    wh::DeleteTree(kHkeyLocalMachine, "Software\\QuarnSoft");
    wh::AllowWriteOnKey(kHkeyLocalMachine, std::string(kScratchKey) + "\\Locked");
    wh::DeleteTree(kHkeyLocalMachine, kScratchKey);
    wh::DeleteTree(kHkeyLocalMachine, kMstcp);
    for (const char* name : {"TcpWindowSize", "GlobalMaxTcpWindowSize", "Tcp1323Opts", "DefaultTTL",
                             "EnablePMTUDiscovery", "EnablePMTUBHDetect", "SackOpts"}) {
      wh::DeleteValue(kHkeyLocalMachine, kTcpip, name);
    }
    for (const char* name : {"MaxConnectionsPerServer", "MaxConnectionsPer1_0Server"}) {
      wh::DeleteValue(kHkeyUsers, kInternet, name);
    }
  }

  // A ProgramDir holding copies of the built profile files.
  void CopyBuiltProfiles() {
    for (const char* folder : {"VLO", "VLU"}) {
      CreateDirectoryA(program_.File(folder).c_str(), nullptr);
      WIN32_FIND_DATAA found;
      const std::string built = wh::BinDir() + "\\" + folder;
      HANDLE search = FindFirstFileA((built + "\\*.vl?").c_str(), &found);
      ASSERT_NE(search, INVALID_HANDLE_VALUE) << "no built profiles in " << built;
      do {
        ASSERT_TRUE(CopyFileA((built + "\\" + found.cFileName).c_str(),
                              (program_.File(folder) + "\\" + found.cFileName).c_str(), FALSE));
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
  }
  void PutProfile(const std::string& relative, const std::string& script) {
    CreateDirectoryA(program_.File(relative.substr(0, 3)).c_str(), nullptr);
    ASSERT_TRUE(wh::WriteFileBytes(program_.File(relative), TransformProfile(script)));
  }
  std::string Script(const std::string& relative) {
    const auto scrambled = wh::ReadFileBytes(program_.File(relative));
    EXPECT_TRUE(scrambled.has_value()) << relative;
    return TransformProfile(scrambled.value_or(""));
  }

  RunEnvironment Env(const std::string& suffix, const std::string& software) {
    return RunEnvironment{
        SystemRegistry(), SystemProfileStrings(), program_.Path() + "\\", windows_.Path(), suffix,
        software};
  }
  std::string WinIni() const { return windows_.File("win.ini"); }
  std::string SystemIni() const { return windows_.File("system.ini"); }
  std::string WorkFile() const { return windows_.File("winspd.exe"); }
  std::string IniText(const std::string& path) const {
    return wh::ReadFileBytes(path).value_or("(missing)");
  }
  std::optional<std::string> LastOptim() const {
    return wh::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim");
  }

  void ExpectPorts(const std::string& setting) {
    for (const std::string& path : {WinIni(), SystemIni()}) {
      const std::string text = IniText(path);
      for (const char* port : {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:"}) {
        char value[64] = {};
        GetPrivateProfileStringA("Ports", port, "", value, sizeof value, path.c_str());
        EXPECT_EQ(std::string(value), setting) << path << " " << port;
      }
    }
    EXPECT_EQ(OtherLines(IniText(WinIni())), OtherLines(kWinIni)) << IniText(WinIni());
    EXPECT_EQ(OtherLines(IniText(SystemIni())), OtherLines(std::string(kSystemIni) + "[Ports]\r\n"))
        << IniText(SystemIni());
  }

  wh::TempFolder windows_;
  wh::TempFolder program_;
};

// For each type on each family: the optimization leaves exactly the planned values and
// records the type; the chained defaults run then removes them all and records 7.
TEST_F(EngineRunsUnderWine, EachTypeOnBothFamilies) {
  CopyBuiltProfiles();
  const struct {
    int type;
    const char* suffix;
    const char* software;
    RegKey root;
    const char* path;
    const char* name;
    const char* description;  // one value checked against the profile's README
  } cases[] = {
      {1, "", "Software", kHkeyLocalMachine, kMstcp, "DefaultRcvWindow", "REG_SZ \"4288\""},
      {1, "2k", "SOFTWARE", kHkeyLocalMachine, kTcpip, "TcpWindowSize",
       "REG_DWORD 0x000010C0 (4288)"},
      {2, "", "Software", kHkeyLocalMachine, kMstcp, "DefaultRcvWindow", "REG_SZ \"2144\""},
      {2, "2k", "SOFTWARE", kHkeyLocalMachine, kTcpip, "TcpWindowSize",
       "REG_DWORD 0x00000860 (2144)"},
      {3, "", "Software", kHkeyUsers, kInternet, "MaxConnectionsPerServer",
       "REG_DWORD 0x00000004 (4)"},
      {3, "2k", "SOFTWARE", kHkeyLocalMachine, kTcpip, "DefaultTTL", "REG_DWORD 0x00000040 (64)"},
      {4, "", "Software", kHkeyLocalMachine, kMstcp, "DefaultRcvWindow", "REG_SZ \"63888\""},
      {4, "2k", "SOFTWARE", kHkeyLocalMachine, kTcpip, "GlobalMaxTcpWindowSize",
       "REG_DWORD 0x0000F990 (63888)"},
      {5, "", "Software", kHkeyLocalMachine, kMstcp, "DefaultRcvWindow", "REG_SZ \"64240\""},
      {5, "2k", "SOFTWARE", kHkeyLocalMachine, kTcpip, "TcpWindowSize",
       "REG_DWORD 0x0000FAF0 (64240)"},
      {6, "", "Software", kHkeyLocalMachine, kMstcp, "Tcp1323Opts", "REG_SZ \"1\""},
      {6, "2k", "SOFTWARE", kHkeyLocalMachine, kTcpip, "TcpWindowSize",
       "REG_DWORD 0x0003EBC0 (256960)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + c.suffix);
    ASSERT_TRUE(wh::WriteFileBytes(WinIni(), kWinIni));
    ASSERT_TRUE(wh::WriteFileBytes(SystemIni(), kSystemIni));
    const auto planned =
        PlannedWrites(Script(std::string("VLO\\") + ProfileStem(c.type) + c.suffix + ".vlo"));
    ASSERT_FALSE(planned.empty());

    RunOptimization(Env(c.suffix, c.software), c.type);
    ExpectPorts("921600,n,8,1,p");
    EXPECT_EQ(LastOptim(), std::to_string(c.type));
    EXPECT_FALSE(wh::FileExists(WorkFile()));
    const auto spot = wh::ReadRaw(c.root, c.path, c.name);
    ASSERT_TRUE(spot.has_value()) << c.name;
    EXPECT_EQ(Describe(*spot), c.description);
    for (const auto& value : planned) {
      const auto stored = wh::ReadRaw(value.root, value.path, value.name);
      ASSERT_TRUE(stored.has_value()) << value.path << " " << value.name;
      EXPECT_EQ(Describe(*stored), value.description) << value.name;
    }

    RunWindowsDefaults(Env(c.suffix, c.software), std::to_string(c.type), true);
    ExpectPorts("9600,n,8,1,x");
    EXPECT_EQ(LastOptim(), "7");
    EXPECT_FALSE(wh::FileExists(WorkFile()));
    for (const auto& value : planned) {
      EXPECT_FALSE(wh::ReadRaw(value.root, value.path, value.name).has_value()) << value.name;
    }
    CleanRegistry();
  }
}

TEST_F(EngineRunsUnderWine, EmptyScriptSetsPortsAndLastOptim) {
  PutProfile("VLO\\modem33k2k.vlo", "");
  RunOptimization(Env("2k", "SOFTWARE"), 2);
  ExpectPorts("921600,n,8,1,p");
  EXPECT_EQ(LastOptim(), "2");
  EXPECT_FALSE(wh::FileExists(WorkFile()));
}

TEST_F(EngineRunsUnderWine, StandaloneDefaultsAfterDefaultsResetPortsOnly) {
  RunWindowsDefaults(Env("", "Software"), "7", false);
  ExpectPorts("9600,n,8,1,x");
  EXPECT_EQ(LastOptim(), "7");
  EXPECT_FALSE(wh::FileExists(WorkFile()));
}

// A write the registry refuses stops the run where it is: the ports and the earlier
// lines stay, LastOptim keeps its value and the work file stays behind.
TEST_F(EngineRunsUnderWine, RefusedWriteStopsTheRun) {
  const std::string scratch = std::string("[L\\") + kScratchKey;
  const std::string script = scratch + "\\Open]\r\n\"Before\"=\"1\"\r\n" + scratch +
                             "\\Locked]\r\n\"Refused\"=\"2\"\r\n" + scratch +
                             "\\Open]\r\n\"After\"=\"3\"\r\n";
  ASSERT_TRUE(wh::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", "4"));
  wh::ScopedWriteDenial denial(kHkeyLocalMachine, std::string(kScratchKey) + "\\Locked");
  ASSERT_TRUE(denial.Active());
  PutProfile("VLO\\cabledslpppoe.vlo", script);
  try {
    RunOptimization(Env("", "Software"), 4);
    FAIL() << "the refused write went unnoticed";
  } catch (const ERegistryException& error) {
    EXPECT_STREQ(error.what(), "Failed to set data for 'Refused'");
  }
  const std::string open = std::string(kScratchKey) + "\\Open";
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, open, "Before"), "1");
  EXPECT_FALSE(wh::ReadRaw(kHkeyLocalMachine, open, "Refused").has_value());
  EXPECT_FALSE(wh::ReadRaw(kHkeyLocalMachine, open, "After").has_value());
  EXPECT_EQ(LastOptim(), "4");
  ExpectPorts("921600,n,8,1,p");
  EXPECT_EQ(wh::ReadFileBytes(WorkFile()), script);
}

TEST_F(EngineRunsUnderWine, MissingProfileWritesNothing) {
  ASSERT_TRUE(wh::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", "5"));
  PutProfile("VLO\\lanisdn.vlo", std::string("[L\\") + kScratchKey + "]\r\n\"A\"=\"1\"\r\n");
  const struct {
    const char* what;
    bool defaults;
    int type;
    const char* suffix;
  } cases[] = {{"other family", false, 5, "2k"},
               {"no such file", false, 6, ""},
               {"no defaults file", true, 5, ""},
               {"type 0", false, 0, ""}};
  for (const auto& c : cases) {
    EXPECT_THROW(c.defaults
                     ? RunWindowsDefaults(Env(c.suffix, "Software"), std::to_string(c.type), true)
                     : RunOptimization(Env(c.suffix, "Software"), c.type),
                 MissingProfileFile)
        << c.what;
    EXPECT_EQ(IniText(WinIni()), kWinIni) << c.what;
    EXPECT_EQ(IniText(SystemIni()), kSystemIni) << c.what;
    EXPECT_EQ(LastOptim(), "5") << c.what;
    EXPECT_FALSE(wh::KeyExists(kHkeyLocalMachine, kScratchKey)) << c.what;
    EXPECT_FALSE(wh::FileExists(WorkFile())) << c.what;
  }
}

// vltool.exe, built for Windows, answers with its exit code.
TEST(EngineVltoolUnderWine, ExitCodesTellFindings) {
  wh::TempFolder folder;
  ASSERT_TRUE(wh::WriteFileBytes(folder.File("clean.reg"), "[L\\Software\\X]\r\n\"A\"=\"x\"\r\n"));
  ASSERT_TRUE(
      wh::WriteFileBytes(folder.File("lower.reg"), "[L\\Software\\X]\r\n\"A\"=dword:0000000a\r\n"));
  ASSERT_TRUE(wh::WriteFileBytes(folder.File("early.reg"), "\"A\"=\"x\"\r\n"));
  const struct {
    std::string args;
    int exitCode;
  } cases[] = {
      {"lint \"" + folder.File("clean.reg") + "\"", 0},
      {"lint \"" + folder.File("lower.reg") + "\"", 1},
      {"plan \"" + folder.File("clean.reg") + "\"", 0},
      {"plan \"" + folder.File("early.reg") + "\"", 1},
      {"pack \"" + folder.File("clean.reg") + "\" \"" + folder.File("clean.vlo") + "\"", 0},
      {"lint \"" + folder.File("clean.vlo") + "\"", 0},
      {"lint \"" + folder.File("absent.reg") + "\"", 2},
      {"frobnicate", 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(wh::RunProgram(wh::BinDir() + "\\vltool.exe", c.args, 30000), c.exitCode) << c.args;
  }
  EXPECT_EQ(TransformProfile(wh::ReadFileBytes(folder.File("clean.vlo")).value_or("")),
            "[L\\Software\\X]\r\n\"A\"=\"x\"\r\n");
}

}  // namespace
}  // namespace veltrano
