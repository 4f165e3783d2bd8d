// Nothing the user had is lost: the user's own values of four kinds and a COM1 line go
// through an optimization and the Windows defaults, and the restore window of /restore
// lists the points newest first, shows what "Before Veltrano" would change and gives them
// back byte for byte; without a sound first backup the window says why; a planted work
// file is never applied.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/anaekran.h"
#include "app/restore.h"
#include "app/restore_window.h"
#include "engine/backup.h"
#include "engine/changes_window.h"
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

  veltrano::EnterRestoreMode("");
  auto* window = dynamic_cast<veltrano::TRestore*>(
      veltrano::ui::Form::FromHandle(FindWindowA("TRestore", nullptr)));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->IsVisible());
  EXPECT_EQ(window->Caption(), "Veltrano v2.11 - Restore");
  ASSERT_EQ(window->ListView1.RowCount(), 3);
  EXPECT_EQ(window->ListView1.Cell(0, 1), "Windows default settings");
  EXPECT_EQ(window->ListView1.Cell(1, 1), "an optimization");
  EXPECT_EQ(window->ListView1.Cell(2, 1), "Before Veltrano");
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(window->ListView1.Cell(row, 0), window->Points()[row].taken);
    if (row > 0) {
      EXPECT_GE(window->Points()[row - 1].taken, window->Points()[row].taken) << "newest first";
    }
  }
  EXPECT_EQ(window->ListView1.SelectedRow(), 2);

  std::vector<veltrano::ChangeRow> rows;
  std::string headline;
  gui_support::WhenShown changes("TChanges", [&](HWND shown) {
    auto* form = dynamic_cast<veltrano::TChanges*>(veltrano::ui::Form::FromHandle(shown));
    ASSERT_NE(form, nullptr);
    headline = form->Label1.Caption();
    rows = form->Rows();
    form->RzButton2.Click();
  });
  gui_support::Click(window->RzButton1.Handle());
  EXPECT_EQ(headline,
            veltrano::ChangesHeadline(
                "Restoring the settings saved on " + window->Points()[2].taken, rows.size()));
  const veltrano::ChangeRow rcvWindow{"HKLM\\" + std::string(kMstcp) + "\\DefaultRcvWindow",
                                      "not set", "9999"};
  EXPECT_NE(std::find(rows.begin(), rows.end(), rcvWindow), rows.end());

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

// Without the backup from before Veltrano the window says what is missing; without any
// backup it lists nothing, offers only "&Close", and that ends the program.
TEST_F(RestoreFlow, RestoreWindowSaysWhatCannotBeRestored) {
  const std::string folder = program_.Path() + "\\Backup";
  const struct {
    const char* name;
    bool keepNumbered;
    std::string label;
  } cases[] = {
      {"first backup missing", true,
       "The backup of the settings from before Veltrano (" + folder +
           "\\before-veltrano.txt) is missing. The oldest kept backup is the earliest "
           "state that can be restored."},
      {"no backup at all", false, "No backup of the network settings was found in " + folder + "."},
  };
  veltrano::RunOptimization(Env(), 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    gui_support::ClearRecords();
    DeleteFileA(veltrano::FirstBackupPath(program_.Path() + "\\").c_str());
    if (!c.keepNumbered) {
      for (const std::string& file : veltrano::BackupFiles(program_.Path() + "\\")) {
        DeleteFileA(file.c_str());
      }
    }
    veltrano::EnterRestoreMode("");
    auto* window = dynamic_cast<veltrano::TRestore*>(
        veltrano::ui::Form::FromHandle(FindWindowA("TRestore", nullptr)));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Label1.Caption(), c.label);
    EXPECT_EQ(window->ListView1.RowCount(), c.keepNumbered ? 1 : 0);
    EXPECT_EQ(window->RzButton1.IsEnabled(), c.keepNumbered);
    EXPECT_EQ(window->RzButton2.IsEnabled(), c.keepNumbered);
    gui_support::Click(window->RzButton3.Handle());
    EXPECT_EQ(gui_support::RecordedHalts(), std::vector<int>{0});
    veltrano::ui::Application().DestroyOwnedForms();
  }
}

// Started with "/restore", the program goes on with the restore window as its only window.
TEST_F(RestoreFlow, StartedWithRestoreKeepsRunningWithTheRestoreWindow) {
  auto& main = veltrano::ui::Application().CreateForm<veltrano::TForm1>(
      veltrano::CommandLine{wh::BinDir() + "\\Veltrano.exe", {"/restore"}});
  main.onRestoreMode = veltrano::EnterRestoreMode;
  ASSERT_TRUE(gui_support::PumpUntil([&] { return main.StartupDone(); }));
  const HWND window = FindWindowA("TRestore", nullptr);
  EXPECT_TRUE(window && IsWindowVisible(window));
  EXPECT_FALSE(main.IsVisible());
  EXPECT_TRUE(gui_support::RecordedHalts().empty());
}

}  // namespace
