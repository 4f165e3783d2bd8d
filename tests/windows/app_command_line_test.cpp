// The unattended command line as a script runs it: Veltrano.exe with /quiet, copied with
// its profiles into a folder of its own, against the prefix's registry and INI files,
// read back through its exit code, its log and its /out file.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/single_instance.h"
#include "support/wine_harness.h"

namespace {

namespace wh = wine_harness;
using veltrano::kHkeyLocalMachine;

constexpr char kProgramKey[] = "SOFTWARE\\QuarnSoft\\Veltrano";
constexpr char kTcpip[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

bool Contains(const std::optional<std::string>& text, const std::string& part) {
  return text && text->find(part) != std::string::npos;
}

class QuietCommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"\\VLO", "\\VLU"}) {
      CreateDirectoryA((program_.Path() + folder).c_str(), nullptr);
      for (const std::string& name : veltrano::FileNamesIn(wh::BinDir() + folder)) {
        const std::string from = wh::BinDir() + folder + "\\" + name;
        CopyFileA(from.c_str(), (program_.Path() + folder + "\\" + name).c_str(), FALSE);
      }
    }
    CopyFileA((wh::BinDir() + "\\Veltrano.exe").c_str(), program_.File("Veltrano.exe").c_str(),
              FALSE);
    wh::SetEmulatedWindowsVersion("Veltrano.exe", "winxp");
    ASSERT_TRUE(wh::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", "7"));
    for (const char* ini : {"\\win.ini", "\\system.ini"}) {
      for (const char* port : {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:"}) {
        WritePrivateProfileStringA("Ports", port, nullptr, (wh::WindowsDir() + ini).c_str());
      }
    }
  }
  void TearDown() override {
    Run("/restore before /quiet");  // the prefix's settings as they were
    wh::DeleteTree(kHkeyLocalMachine, "SOFTWARE\\QuarnSoft");
    wh::SetEmulatedWindowsVersion("Veltrano.exe", "");
  }
  int Run(const std::string& args) {
    return wh::RunProgram(program_.File("Veltrano.exe"), args, 60000);
  }
  std::optional<std::string> Ini(const char* name) {
    return wh::ReadFileBytes(wh::WindowsDir() + "\\" + name);
  }

  wh::TempFolder program_;
};

// Each exit code from a case made for it.
TEST_F(QuietCommandLine, ExitCodes) {
  const std::string profile = program_.File("VLO\\lanisdn2k.vlo");
  const std::string systemIni = wh::WindowsDir() + "\\system.ini";
  const struct {
    std::string args;
    std::function<std::function<void()>()> arrange;  // gives back what undoes it
    int code;
    const char* logged;
  } cases[] = {
      {"/report /quiet", [] { return [] {}; }, 0, "settings listed"},
      {"/optimize 9 /quiet", [] { return [] {}; }, 1, "COMMAND: /optimize T /changes T"},
      {"/optimize cable /quiet",
       [&] {
         DeleteFileA(profile.c_str());
         return [&] {
           CopyFileA((wh::BinDir() + "\\VLO\\lanisdn2k.vlo").c_str(), profile.c_str(), 0);
         };
       },
       2, "A required file cannot be found"},
      {"/report /quiet",
       [] {
         auto denial = std::make_shared<wh::ScopedWriteDenial>(kHkeyLocalMachine, kProgramKey);
         return [denial] {};
       },
       3, "administrator"},
      // system.ini open elsewhere for reading only: it reads, but cannot be written
      // after win.ini's ports are.
      {"/optimize modem56 /quiet",
       [&] {
         HANDLE held = CreateFileA(systemIni.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
         return [held] { CloseHandle(held); };
       },
       4, "win.ini [Ports] COM1: = 921600,n,8,1,p"},
      {"/report /quiet",
       [] {
         auto other = std::make_shared<veltrano::TabfOneInstance>();
         EXPECT_TRUE(other->Acquire("Veltrano v2.11"));
         return [other] {};
       },
       5, "left alone"},
      // A name that never resolves.
      {"/measure nothing.invalid /quiet", [] { return [] {}; }, 6, "nothing was measured"},
  };
  for (const auto& c : cases) {
    const std::string log = program_.File("Veltrano.log");
    DeleteFileA(log.c_str());
    const auto undo = c.arrange();
    EXPECT_EQ(Run(c.args), c.code) << c.args;
    undo();
    const auto logged = wh::ReadFileBytes(log);
    const std::string line = c.args + "  exit " + std::to_string(c.code) + ": ";
    EXPECT_TRUE(Contains(logged, line) && Contains(logged, c.logged)) << logged.value_or("");
  }
}

// /changes writes its rows and nothing else; /optimize then makes them, with a backup
// and a line in the log; /report lists what the settings hold afterwards.
TEST_F(QuietCommandLine, ChangesThenOptimizeThenReport) {
  ASSERT_TRUE(wh::PutNumber(kHkeyLocalMachine, kTcpip, "TcpWindowSize", 1234));
  const auto winIni = Ini("win.ini");
  EXPECT_EQ(Run("/changes modem56 /quiet /out " + program_.File("changes.txt")), 0);
  const auto changes = wh::ReadFileBytes(program_.File("changes.txt"));
  EXPECT_TRUE(Contains(changes, "Setting\tNow\tAfter\r\n"));
  EXPECT_TRUE(Contains(changes, "\\Tcpip\\Parameters\\TcpWindowSize\t1234\t"));
  EXPECT_TRUE(Contains(changes, "[Ports] COM1:\t"));
  EXPECT_EQ(Ini("win.ini"), winIni);
  EXPECT_EQ(wh::ReadNumber(kHkeyLocalMachine, kTcpip, "TcpWindowSize"), 1234u);
  EXPECT_FALSE(wh::FileExists(program_.File("Backup\\before-veltrano.txt")));

  EXPECT_EQ(Run("/optimize cable /quiet"), 0);
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim"), "3");
  for (const char* ini : {"win.ini", "system.ini"}) {
    EXPECT_TRUE(Contains(Ini(ini), "COM5:=921600,n,8,1,p\r\n")) << ini;
  }
  EXPECT_TRUE(wh::FileExists(program_.File("Backup\\before-veltrano.txt")));
  EXPECT_TRUE(Contains(wh::ReadFileBytes(program_.File("Veltrano.log")),
                       "  /optimize cable /quiet  exit 0: Optimize for Normal Cable"));

  EXPECT_EQ(Run("/report /quiet /out " + program_.File("report.txt")), 0);
  const auto report = wh::ReadFileBytes(program_.File("report.txt"));
  EXPECT_TRUE(Contains(report, "\\QuarnSoft\\Veltrano\\LastOptim\t3\t3\r\n"));
  EXPECT_TRUE(Contains(report, "\\system.ini [Ports] COM1:\t921600,n,8,1,p\t"));
  EXPECT_TRUE(Contains(report, "\\Tcpip\\Parameters\\TcpWindowSize\t64240\t"));
}

// What a package's removal runs: the Windows defaults, or the user's own settings back.
TEST_F(QuietCommandLine, UninstallPutsBackTheChosenSettings) {
  const struct {
    const char* settings;
    std::optional<std::uint32_t> window;
  } cases[] = {{"defaults", std::nullopt}, {"before", 1234u}};
  for (const auto& c : cases) {
    ASSERT_TRUE(wh::PutNumber(kHkeyLocalMachine, kTcpip, "TcpWindowSize", 1234));
    EXPECT_EQ(Run("/optimize cable /quiet"), 0);
    EXPECT_EQ(Run(std::string("/uninstall /quiet /settings ") + c.settings), 0) << c.settings;
    EXPECT_EQ(wh::ReadNumber(kHkeyLocalMachine, kTcpip, "TcpWindowSize"), c.window) << c.settings;
    EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim"), "7");
  }
}

}  // namespace
