// The unattended command line as a script runs it: Veltrano.exe and its profiles in a folder
// of their own, judged by the exit code, the log and the /out file.
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

class QuietCommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string file : {"Veltrano.exe", "VLO", "VLU"}) {
      const std::string from = wh::BinDir() + "\\" + file;
      if (CopyFileA(from.c_str(), program_.File(file).c_str(), FALSE)) continue;  // not a folder
      CreateDirectoryA(program_.File(file).c_str(), nullptr);
      for (const std::string& name : veltrano::FileNamesIn(from)) {
        CopyFileA((from + "\\" + name).c_str(), program_.File(file + "\\" + name).c_str(), FALSE);
      }
    }
    wh::SetEmulatedWindowsVersion("Veltrano.exe", "winxp");
    ASSERT_TRUE(wh::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", "7"));
    for (const char* port : {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:"}) {
      WritePrivateProfileStringA("Ports", port, nullptr, Ini("win.ini").c_str());
      WritePrivateProfileStringA("Ports", port, nullptr, Ini("system.ini").c_str());
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
  static std::string Ini(const char* name) { return wh::WindowsDir() + "\\" + name; }
  static void ExpectHas(const std::string& file, std::initializer_list<std::string> parts) {
    const std::string text = wh::ReadFileBytes(file).value_or("(none)");
    for (const std::string& part : parts) EXPECT_NE(text.find(part), std::string::npos) << text;
  }

  wh::TempFolder program_;
};

// Keeps `path` open to readers only until the last copy goes.
std::shared_ptr<void> ReadersOnly(const std::string& path) {
  return std::shared_ptr<void>(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
      CloseHandle);
}

// Each exit code from a case made for it.
TEST_F(QuietCommandLine, ExitCodes) {
  const std::string profile = program_.File("VLO\\lanisdn2k.vlo");
  const std::string systemIni = wh::WindowsDir() + "\\system.ini";
  const struct {
    std::string args;
    std::function<std::shared_ptr<void>()> arrange;  // what it holds is undone when let go
    int code;
    const char* logged;
  } cases[] = {
      // clang-format off
      {"/report /quiet", nullptr, 0, "settings listed"},
      {"/optimize 9 /quiet", nullptr, 1, "COMMAND: /optimize T /changes T"},
      // The program's folder is this test's own copy: nothing to put back.
      {"/optimize cable /quiet", [&] { DeleteFileA(profile.c_str()); return nullptr; }, 2,
       "A required file cannot be found"},
      {"/report /quiet",
       [] { return std::make_shared<wh::ScopedWriteDenial>(kHkeyLocalMachine, kProgramKey); }, 3,
       "administrator"},
      // system.ini that reads but cannot be written: win.ini's ports are written before it.
      {"/optimize modem56 /quiet", [&] { return ReadersOnly(systemIni); }, 4,
       "win.ini [Ports] COM1: = 921600,n,8,1,p"},
      {"/report /quiet",
       [] {
         auto other = std::make_shared<veltrano::TabfOneInstance>();
         EXPECT_TRUE(other->Acquire("Veltrano v2.11"));
         return other;
       }, 5, "left alone"},
      {"/measure nothing.invalid /quiet", nullptr, 6, "nothing was measured"},  // never resolves
      // clang-format on
  };
  for (const auto& c : cases) {
    const std::string log = program_.File("Veltrano.log");
    DeleteFileA(log.c_str());
    std::shared_ptr<void> arranged = c.arrange ? c.arrange() : nullptr;
    EXPECT_EQ(Run(c.args), c.code) << c.args;
    arranged.reset();
    ExpectHas(log, {c.args + "  exit " + std::to_string(c.code) + ": ", c.logged});
  }
}

// /changes writes its rows and nothing else; /report lists what /optimize made.
TEST_F(QuietCommandLine, ChangesThenOptimizeThenReport) {
  const std::string changes = program_.File("changes.txt"), report = program_.File("report.txt");
  ASSERT_TRUE(wh::PutNumber(kHkeyLocalMachine, kTcpip, "TcpWindowSize", 1234));
  const auto winIni = wh::ReadFileBytes(Ini("win.ini"));
  EXPECT_EQ(Run("/changes modem56 /quiet /out " + changes), 0);
  ExpectHas(changes, {"Setting\tNow\tAfter\r\n", "[Ports] COM1:\t",
                      "\\Tcpip\\Parameters\\TcpWindowSize\t1234\t"});
  EXPECT_EQ(wh::ReadFileBytes(Ini("win.ini")), winIni);
  EXPECT_EQ(wh::ReadNumber(kHkeyLocalMachine, kTcpip, "TcpWindowSize"), 1234u);
  EXPECT_FALSE(wh::FileExists(program_.File("Backup\\before-veltrano.txt")));

  // What it makes (ports, backup, log line) the package test checks; the report shows it.
  EXPECT_EQ(Run("/optimize cable /quiet"), 0);
  EXPECT_EQ(Run("/report /quiet /out " + report), 0);
  ExpectHas(report, {"\\QuarnSoft\\Veltrano\\LastOptim\t3\t3\r\n",
                     "\\system.ini [Ports] COM1:\t921600,n,8,1,p\t",
                     "\\Tcpip\\Parameters\\TcpWindowSize\t64240\t"});
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
