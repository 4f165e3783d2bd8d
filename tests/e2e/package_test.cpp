// The x64 Windows Installer package under emulated XP as msiexec pushes it: installed with
// an optimization, upgraded, removed with the settings from before Veltrano, and refused
// over the setup program's installation. Wine's msiexec reports success where Windows would
// not, so each step is judged by what was left behind.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop_driver.h"
#include "installation.h"
#include "platform/files.h"
#include "support/planned_outcome.h"
#include "support/wine_harness.h"

namespace e2e {
namespace {

namespace wh = wine_harness;
using veltrano::kHkeyLocalMachine;

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The first version's package, or the later one's.
std::string Package(bool later) {
  return wh::BinDir() + (later ? "\\..\\upgrade" : "") + "\\VeltranoSetup-x64.msi";
}

int Msiexec(const std::string& args) {
  return wh::RunProgram(wh::WindowsDir() + "\\system32\\msiexec.exe", args, desktop::kPatienceMs);
}

// The uninstall entries that name Veltrano.
std::vector<std::string> VeltranoEntries() {
  std::vector<std::string> found;
  HKEY list = nullptr;
  RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &list);
  char name[256];
  for (DWORD i = 0; list && RegEnumKeyA(list, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
    const std::string entry = std::string(kUninstallKey) + "\\" + name;
    const auto shown = wh::ReadText(kHkeyLocalMachine, entry, "DisplayName").value_or("");
    if (shown.rfind("Veltrano", 0) == 0) found.push_back(name);
  }
  if (list) RegCloseKey(list);
  return found;
}

// Wine puts a per-machine package's shortcuts in the user's Start menu.
std::string ShortcutFolder() {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, path);
  return std::string(path) + "\\Veltrano";
}

class MsiPackage : public Installation {
 protected:
  void SetUp() override {
    Installation::SetUp();
    // Earlier tests leave their backups: this machine starts as one Veltrano was never on.
    for (const std::string& name : veltrano::FileNamesIn(Installed("Backup"))) {
      DeleteFileA(Installed("Backup\\" + name).c_str());
    }
    ASSERT_TRUE(wh::SetEmulatedWindowsVersion("Veltrano.exe", "winxp"));
  }
  void TearDown() override {
    for (const bool later : {false, true}) Msiexec("/x \"" + Package(later) + "\" /qn");
    DeleteFileA(Installed("Veltrano.log").c_str());
    Installation::TearDown();
  }
  static std::string Value(const char* name) {
    return wh::ReadText(kHkeyLocalMachine, kProgramKey, name).value_or("(absent)");
  }
  static bool LogHas(const std::string& text) {
    return wh::ReadFileBytes(Installed("Veltrano.log")).value_or("").find(text) !=
           std::string::npos;
  }
};

TEST_F(MsiPackage, OptimizesOnInstallUpgradesAndGivesBackTheMachinesOwnSettings) {
  // The machine's own value of one the cable/xDSL profile writes.
  const auto cable = planned_outcome::PlannedOutcome(wh::BinDir() + "\\VLO\\lanisdn2k.vlo",
                                                     veltrano::ScriptMode::kWrite);
  ASSERT_FALSE(cable.empty());
  const auto& [root, key, value] = cable.begin()->first;
  ASSERT_TRUE(wh::PutNumber(root, key, value, 4321));
  const auto own = planned_outcome::Described(cable.begin()->first);

  Msiexec("/i \"" + Package(false) + "\" /qn OPTIMIZE=cable FIRSTRUN=No");
  ExpectInstalledAsBuilt();
  EXPECT_EQ(Value("First"), "No");
  ExpectAllPorts("921600,n,8,1,p");
  EXPECT_TRUE(LogHas("/optimize cable /quiet  exit 0: "));
  EXPECT_TRUE(PathExists(ShortcutFolder() + "\\Veltrano.lnk"));
  const auto first = VeltranoEntries();
  ASSERT_EQ(first.size(), 1u);

  // The later version replaces this one and keeps the type last applied (cable).
  Msiexec("/i \"" + Package(true) + "\" /qn");
  const auto later = VeltranoEntries();
  ASSERT_EQ(later.size(), 1u);
  EXPECT_NE(later, first);
  EXPECT_EQ(Value("LastOptim"), "3");

  Msiexec("/x \"" + Package(true) + "\" /qn SETTINGS=before");
  EXPECT_EQ(planned_outcome::Described(cable.begin()->first), own);
  EXPECT_TRUE(PathExists(Installed("Backup\\before-veltrano.txt")));
  // The log is the administrator's record of the removal too: it stays.
  EXPECT_TRUE(LogHas("/uninstall /quiet /settings before  exit 0: "));
  ASSERT_TRUE(DeleteFileA(Installed("Veltrano.log").c_str()));
  ExpectNothingLeft();
  EXPECT_TRUE(VeltranoEntries().empty());
  EXPECT_FALSE(PathExists(ShortcutFolder()));
}

// Where the setup program installed Veltrano, the package says to remove that one first
// and changes nothing.
TEST_F(MsiPackage, RefusesWhereTheSetupProgramInstalledVeltrano) {
  ASSERT_EQ(InstallSilently(), 0);
  desktop::Program msiexec(wh::WindowsDir() + "\\system32\\msiexec.exe",
                           "/i \"" + Package(false) + "\" /qb", "");
  const HWND box = desktop::WaitForWindow("#32770", nullptr);
  ASSERT_NE(box, nullptr) << desktop::VisibleWindows();
  desktop::SaveShot(box, "package-refused");
  EXPECT_NE(desktop::FindControl(box,
                                 "Veltrano was installed here by its setup program. Please remove "
                                 "that installation first (Control Panel, Add/Remove Programs), "
                                 "then install this package again."),
            nullptr);
  desktop::Click(desktop::FindControl(box, "OK"));
  EXPECT_NE(msiexec.WaitForExit(), 0);
  EXPECT_EQ(VeltranoEntries(), std::vector<std::string>{"Veltrano_is1"});
  EXPECT_TRUE(wh::FileExists(Installed("unins000.exe")));
}

}  // namespace
}  // namespace e2e
