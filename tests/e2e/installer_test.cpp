// The x64 setup program in a fresh prefix, as a user meets it: a silent installation,
// an upgrade over it, the silent removal, and the removal from the system's list of
// programs, which goes through the program's uninstall mode and the uninstaller's
// own window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "desktop_driver.h"
#include "installation.h"
#include "support/planned_outcome.h"
#include "support/wine_harness.h"

namespace e2e {
namespace {

namespace wh = wine_harness;
using veltrano::kHkeyLocalMachine;

std::string EntryValue(const char* name) {
  return wh::ReadText(kHkeyLocalMachine, kUninstallEntry, name).value_or("(absent)");
}

// "\"path\"" built by appending: GCC 12 warns falsely about `"\"" + std::string`.
std::string Quoted(const std::string& path) {
  std::string quoted = "\"";
  quoted += path;
  quoted += '"';
  return quoted;
}

class Installer : public Installation {};

TEST_F(Installer, SilentInstallUpgradeAndRemovalTouchOnlyWhatItMade) {
  ASSERT_TRUE(wh::PutText(kHkeyLocalMachine, "SOFTWARE\\QuarnSoft\\Other", "Kept", "1"));
  ASSERT_EQ(InstallSilently(), 0);

  ExpectInstalledAsBuilt();
  EXPECT_TRUE(wh::FileExists(Installed("unins000.exe")));
  for (const char* shortcut :
       {"Veltrano", "Veltrano Help", "Stay Alive", "Update", "Uninstall Veltrano"}) {
    EXPECT_TRUE(wh::FileExists(MenuDir() + "\\" + shortcut + ".lnk")) << shortcut;
  }
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim"), "7");
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kProgramKey, "First"), "Yes");
  EXPECT_EQ(EntryValue("DisplayName"), "Veltrano 2.11");
  EXPECT_EQ(EntryValue("DisplayVersion"), "2.11");
  EXPECT_EQ(EntryValue("Publisher"), "Quarn Software");
  EXPECT_EQ(EntryValue("UninstallString"), Quoted(Installed("Veltrano.exe")) + " /uninstall");
  EXPECT_EQ(EntryValue("QuietUninstallString"), "(absent)") << "it would skip the defaults";
  EXPECT_EQ(EntryValue("InstallLocation"), InstallDir());
  EXPECT_EQ(EntryValue("DisplayIcon"), Installed("Veltrano.exe"));

  // An upgrade after an optimization and a first run keeps the type last applied.
  ASSERT_TRUE(wh::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", "3"));
  ASSERT_TRUE(wh::DeleteValue(kHkeyLocalMachine, kProgramKey, "First"));
  ASSERT_EQ(InstallSilently(), 0);
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim"), "3");
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kProgramKey, "First"), "Yes");

  // The user's own file in the program folder, and another program's key beside
  // ours, stay where they are.
  ASSERT_TRUE(wh::WriteFileBytes(Installed("notes.txt"), "mine"));
  ASSERT_TRUE(RemoveSilently());
  for (const std::string& file : BuiltProfiles()) EXPECT_FALSE(wh::FileExists(Installed(file)));
  EXPECT_FALSE(PathExists(Installed("VLO")));
  EXPECT_FALSE(PathExists(Installed("VLU")));
  for (const char* file : {"Veltrano.exe", "Veltrano.Chm", "VadiVazar.Exe", "Update.Exe"}) {
    EXPECT_FALSE(PathExists(Installed(file))) << file;
  }
  EXPECT_EQ(wh::ReadFileBytes(Installed("notes.txt")), "mine");
  EXPECT_FALSE(PathExists(MenuDir()));
  EXPECT_FALSE(wh::KeyExists(kHkeyLocalMachine, kProgramKey));
  EXPECT_FALSE(wh::KeyExists(kHkeyLocalMachine, kUninstallEntry));
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, "SOFTWARE\\QuarnSoft\\Other", "Kept"), "1");
}

// After an upgrade the system's list removes the program through its uninstall mode:
// the last optimization is undone, the warning says so, and the uninstaller's window,
// confirmed by the user, takes everything away.
TEST_F(Installer, RemovalFromTheProgramListRestoresDefaultsThenUninstalls) {
  ASSERT_TRUE(wh::SetEmulatedWindowsVersion("Veltrano.exe", "winxp"));
  ASSERT_EQ(InstallSilently(), 0);
  // A number could never be undone: the upgrade mends it.
  ASSERT_TRUE(wh::PutNumber(kHkeyLocalMachine, kProgramKey, "LastOptim", 3));
  ASSERT_EQ(InstallSilently(), 0);
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim"), "7");

  // The state a type-3 optimization leaves: its values written, the ports fast.
  const auto optimized = planned_outcome::PlannedOutcome(Installed("VLO\\lanisdn2k.vlo"),
                                                         veltrano::ScriptMode::kWrite);
  ASSERT_FALSE(optimized.empty());
  for (const auto& [id, described] : optimized) {
    ASSERT_TRUE(wh::PutNumber(std::get<0>(id), std::get<1>(id), std::get<2>(id), 1));
  }
  for (const char* ini : {"win.ini", "system.ini"}) {
    for (const char* port : {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:"}) {
      WritePrivateProfileStringA("Ports", port, "921600,n,8,1,p",
                                 (wh::WindowsDir() + "\\" + ini).c_str());
    }
  }
  ASSERT_TRUE(wh::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", "3"));
  const auto winIniLines = NonPortLines("win.ini");
  const auto systemIniLines = NonPortLines("system.ini");

  RemoveFromProgramList(
      [&] {
        EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim"), "7");
        for (const auto& [id, described] : optimized) {
          EXPECT_EQ(planned_outcome::Described(id), std::nullopt) << std::get<2>(id);
        }
        ExpectAllPorts("9600,n,8,1,x");
        EXPECT_EQ(NonPortLines("win.ini"), winIniLines);
        EXPECT_EQ(NonPortLines("system.ini"), systemIniLines);
      },
      "removal");
  ExpectNothingLeft();
}

}  // namespace
}  // namespace e2e
