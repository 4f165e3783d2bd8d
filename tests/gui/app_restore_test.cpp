// Nothing the user had is lost: the user's own values of four kinds and a COM1 line go
// through an optimization and the Windows defaults, and the restore window of /restore
// lists the points newest first and gives them back byte for byte, or says there are none;
// a planted work file is never applied.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/anaekran.h"
#include "app/restore.h"
#include "app/restore_window.h"
#include "engine/backup.h"
#include "engine/runs.h"
#include "gui_support.h"
#include "platform/app_state.h"
#include "platform/errors.h"
#include "support/wine_harness.h"
#include "ui/application.h"

namespace {

namespace wh = wine_harness;
using veltrano::kHkeyLocalMachine;

constexpr char kMstcp[] = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
constexpr char kProgramKey[] = "Software\\QuarnSoft\\Veltrano";

class RestoreFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    wh::DeleteTree(kHkeyLocalMachine, kMstcp);
    wh::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", "7");
    for (const std::string profile : {"VLO\\modem56k.vlo", "VLU\\modem56k.vlu"}) {
      CreateDirectoryA(program_.File(profile.substr(0, 3)).c_str(), nullptr);
      CopyFileA((wh::BinDir() + "\\" + profile).c_str(), program_.File(profile).c_str(), FALSE);
    }
    auto& state = veltrano::AppState();
    state = {};
    state.ProgramDir = program_.Path() + "\\";
    state.WindowsDir = windows_.Path();
    state.SoftwareKeyName = "Software";
  }
  void TearDown() override {
    wh::DeleteTree(kHkeyLocalMachine, kMstcp);
    wh::DeleteTree(kHkeyLocalMachine, "Software\\QuarnSoft");
  }
  veltrano::RunEnvironment Env() {
    auto& state = veltrano::AppState();
    return {veltrano::SystemRegistry(),
            veltrano::SystemProfileStrings(),
            state.ProgramDir,
            state.WindowsDir,
            "",
            state.SoftwareKeyName};
  }

  wh::TempFolder program_;
  wh::TempFolder windows_;
};

TEST_F(RestoreFlow, OptimizeThenDefaultsThenRestoreGivesBackEveryByte) {
  const struct {
    const char* name;
    std::uint32_t type;
    std::string bytes;
  } mine[] = {{"DefaultRcvWindow", REG_SZ, std::string("9999\0", 5)},
              {"DefaultTTL", REG_DWORD, std::string("\x40\0\0\0", 4)},
              {"SackOpts", REG_BINARY, std::string("\x01\x02\x03\x04", 4)},
              {"PMTUDiscovery", REG_EXPAND_SZ, std::string("%Mine%\0", 7)}};
  for (const auto& value : mine) {
    ASSERT_TRUE(wh::PutRaw(kHkeyLocalMachine, kMstcp, value.name, value.type, value.bytes));
  }
  const std::string winIni = "[Ports]\r\nCOM1:=19200,n,8,1\r\n";
  ASSERT_TRUE(wh::WriteFileBytes(windows_.File("win.ini"), winIni));

  veltrano::RunOptimization(Env(), 1);
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kMstcp, "DefaultRcvWindow"), "4288");
  veltrano::RunWindowsDefaults(Env(), "1", true);
  EXPECT_EQ(wh::ReadRaw(kHkeyLocalMachine, kMstcp, "SackOpts"), std::nullopt);
  ASSERT_EQ(veltrano::BackupFiles(program_.Path() + "\\").size(), 2u);
  // Numbered past a gap: the point before the gap says so.
  const std::string newest = veltrano::BackupFiles(program_.Path() + "\\")[1];
  std::string renamed = newest;
  renamed.replace(renamed.find("backup-0002"), 11, "backup-0003");
  ASSERT_TRUE(MoveFileA(newest.c_str(), renamed.c_str()));

  veltrano::EnterRestoreMode("");
  auto* window = static_cast<veltrano::TRestore*>(
      veltrano::ui::Form::FromHandle(FindWindowA("TRestore", nullptr)));
  ASSERT_TRUE(window && window->IsVisible());
  std::string shown;
  for (int row = 0; row < window->ListView1.RowCount(); ++row) {
    shown += window->ListView1.Cell(row, 1) + (window->ListView1.SelectedRow() == row ? "*|" : "|");
  }
  EXPECT_EQ(shown,
            "Windows default settings|an optimization (incomplete: backup 2 is missing)|Before "
            "Veltrano*|")
      << "newest first";

  gui_support::ScopedBoxAnswer yes(IDYES);
  gui_support::Click(window->RzButton2.Handle());
  ASSERT_EQ(yes.Boxes().size(), 2u);
  EXPECT_NE(yes.Boxes()[0].text.find("before Veltrano"), std::string::npos);
  EXPECT_NE(yes.Boxes()[0].text.find("This changes 4 registry values and 10 INI lines."),
            std::string::npos)
      << yes.Boxes()[0].text;
  EXPECT_NE(yes.Boxes()[1].text.find("has restored"), std::string::npos);
  EXPECT_FALSE(window->IsVisible()) << "the restart prompt takes over";
  for (const auto& value : mine) {
    const auto now = wh::ReadRaw(kHkeyLocalMachine, kMstcp, value.name);
    ASSERT_TRUE(now.has_value()) << value.name;
    EXPECT_EQ(now->type, value.type) << value.name;
    EXPECT_EQ(now->bytes, value.bytes) << value.name;
  }
  EXPECT_EQ(wh::ReadRaw(kHkeyLocalMachine, kMstcp, "Tcp1323Opts"), std::nullopt);
  char com1[64] = {}, com2[64] = {};
  GetPrivateProfileStringA("Ports", "COM1:", "", com1, sizeof com1,
                           windows_.File("win.ini").c_str());
  GetPrivateProfileStringA("Ports", "COM2:", "absent", com2, sizeof com2,
                           windows_.File("system.ini").c_str());
  EXPECT_STREQ(com1, "19200,n,8,1");
  EXPECT_STREQ(com2, "absent");
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim"), "7");
  EXPECT_NE(FindWindowA(nullptr, "Warning"), nullptr) << "the restart prompt";
}

TEST_F(RestoreFlow, PlantedReadOnlyWorkFileIsNeverApplied) {
  const std::string work = windows_.File("winspd.exe");
  ASSERT_TRUE(wh::WriteFileBytes(work, "[L\\System\\Planted]\r\n\"Evil\"=\"1\"\r\n"));
  SetFileAttributesA(work.c_str(), FILE_ATTRIBUTE_READONLY);
  try {
    veltrano::RunOptimization(Env(), 1);
    ADD_FAILURE() << "the run went on over a work file it could not replace";
  } catch (const veltrano::EInOutError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Cannot create file " + work + ". ", 0), 0u)
        << error.what();
  }
  EXPECT_FALSE(wh::KeyExists(kHkeyLocalMachine, "System\\Planted"));
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kMstcp, "DefaultRcvWindow"), std::nullopt);
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim"), "7");
  SetFileAttributesA(work.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Without any backup the window lists nothing and offers only "&Close", which ends the
// program.
TEST_F(RestoreFlow, RestoreWindowWithoutBackupsOffersOnlyClose) {
  veltrano::EnterRestoreMode("");
  auto& window = static_cast<veltrano::TRestore&>(
      *veltrano::ui::Form::FromHandle(FindWindowA("TRestore", nullptr)));
  EXPECT_EQ(window.Label1.Caption(),
            "No backup of the network settings was found in " + program_.Path() + "\\Backup.");
  EXPECT_EQ(window.ListView1.RowCount(), 0);
  EXPECT_FALSE(window.RzButton1.IsEnabled() || window.RzButton2.IsEnabled());
  gui_support::Click(window.RzButton3.Handle());
  EXPECT_EQ(gui_support::RecordedHalts(), std::vector<int>{0});
}

// Started with "/restore", the program goes on with the restore window as its only window.
TEST_F(RestoreFlow, StartedWithRestoreKeepsRunningWithTheRestoreWindow) {
  auto& main = veltrano::ui::Application().CreateForm<veltrano::TForm1>(
      veltrano::CommandLine{wh::BinDir() + "\\Veltrano.exe", {"/restore"}});
  main.onRestoreMode = veltrano::EnterRestoreMode;
  ASSERT_TRUE(gui_support::PumpUntil([&] { return main.StartupDone(); }));
  EXPECT_TRUE(IsWindowVisible(FindWindowA("TRestore", nullptr)));
  EXPECT_FALSE(main.IsVisible());
  EXPECT_TRUE(gui_support::RecordedHalts().empty());
}

}  // namespace
