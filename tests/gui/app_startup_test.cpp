// Start-up of the main window: in-process for the status line and the silent end, and
// as a user starts it (Veltrano.exe in the test prefix) for the first run and a second
// instance.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/anaekran.h"
#include "app/startup.h"
#include "gui_support.h"
#include "platform/app_state.h"
#include "support/child_program.h"
#include "support/status_line_cases.h"
#include "support/wine_harness.h"
#include "ui/application.h"

namespace {

namespace ui = veltrano::ui;
using veltrano::kHkeyLocalMachine;

// The registry ignores case: one spelling serves both families.
constexpr char kProgramKey[] = "Software\\QuarnSoft\\Veltrano";
constexpr char kUninstallEntry[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano_is1";

class StartupKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    wine_harness::DeleteTree(kHkeyLocalMachine, kProgramKey);
    wine_harness::DeleteTree(kHkeyLocalMachine, kUninstallEntry);
    veltrano::AppState() = {};
  }
  void TearDown() override {
    wine_harness::DeleteTree(kHkeyLocalMachine, kProgramKey);
    wine_harness::DeleteTree(kHkeyLocalMachine, kUninstallEntry);
  }
};

// --- In-process: the main window of this test program. ---

class MainWindowStartup : public StartupKeys {
 protected:
  veltrano::TForm1& StartMainWindow(std::vector<std::string> arguments = {}) {
    auto& form = ui::Application().CreateForm<veltrano::TForm1>(
        veltrano::CommandLine{wine_harness::BinDir() + "\\Veltrano.exe", std::move(arguments)});
    EXPECT_TRUE(gui_support::PumpUntil(
        [&] { return form.StartupDone() || !gui_support::RecordedHalts().empty(); }));
    return form;
  }
};

TEST_F(MainWindowStartup, StatusLineNamesTheLastAppliedType) {
  const std::string prefix = status_line_cases::kPrefix;
  for (const auto& c : status_line_cases::kCases) {
    ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", c.lastOptim));
    auto& form = StartMainWindow();
    EXPECT_EQ(form.SB1.SimpleText(), prefix + c.caption) << '"' << c.lastOptim << '"';
    EXPECT_TRUE(form.IsVisible()) << c.lastOptim;
    EXPECT_TRUE(gui_support::RecordedHalts().empty());
    EXPECT_TRUE(gui_support::RecordedBoxes().empty());
    EXPECT_EQ(veltrano::AppState().LastOptim, c.lastOptim);
    ui::Application().DestroyOwnedForms();
  }
}

TEST_F(MainWindowStartup, AbsentLastOptimStillShowsTheWizard) {
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kProgramKey, "First", "no"));
  auto& form = StartMainWindow();
  EXPECT_EQ(form.SB1.SimpleText(), "Last optimization type that you use ");
  EXPECT_TRUE(form.IsVisible());
}

// A missing ProgramKey ends silently; one refused to a user without rights, or a
// refused key of the network settings, says why.
TEST_F(MainWindowStartup, ProgramKeyMissingOrRefusedEndsWithoutAWindow) {
  const struct {
    const char* refusedKey;  // nullptr: none, and no ProgramKey
    std::vector<std::string> arguments;
    int haltCode;
    const char* box;  // nullptr: none
  } cases[] = {
      {nullptr, {}, 0, nullptr},
      {kProgramKey, {}, 1, veltrano::kNeedsAdministratorText},
      {kProgramKey, {"/uninstall"}, 1, veltrano::kNeedsAdministratorText},
      {"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters",
       {},
       1,
       veltrano::kNeedsAdministratorText},
  };
  for (const auto& c : cases) {
    gui_support::ClearRecords();
    std::optional<wine_harness::ScopedWriteDenial> denial;
    if (c.refusedKey) {
      ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", "1"));
      denial.emplace(kHkeyLocalMachine, c.refusedKey);
    }
    auto& form = StartMainWindow(c.arguments);
    EXPECT_EQ(gui_support::RecordedHalts(), std::vector<int>{c.haltCode});
    EXPECT_FALSE(form.IsVisible());
    ASSERT_EQ(gui_support::RecordedBoxes().size(), c.box ? 1u : 0u);
    if (c.box) {
      EXPECT_EQ(gui_support::RecordedBoxes()[0].text, c.box);
    }
    EXPECT_EQ(wine_harness::KeyExists(kHkeyLocalMachine, kProgramKey), c.refusedKey != nullptr);
    denial.reset();
    wine_harness::DeleteTree(kHkeyLocalMachine, kProgramKey);
    ui::Application().DestroyOwnedForms();
  }
}

TEST_F(MainWindowStartup, FillsAppStateFromTheSystem) {
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", "3"));
  StartMainWindow();
  const auto& state = veltrano::AppState();
  EXPECT_EQ(state.ProgramDir, wine_harness::BinDir() + "\\");
  EXPECT_EQ(state.WindowsDir, wine_harness::WindowsDir());
  EXPECT_FALSE(state.DefaultsChained);
  EXPECT_FALSE(state.DefaultsDone);
}

// --- As a user starts it. ---

// Veltrano.exe from the build's bin folder, started there as a user starts it.
class Process : public test_support::ChildProgram {
 public:
  explicit Process(const std::string& args = "")
      : ChildProgram(wine_harness::BinDir() + "\\Veltrano.exe", args, wine_harness::BinDir()) {}
};

class ProgramStartup : public StartupKeys {
 protected:
  void SetUp() override {
    StartupKeys::SetUp();
    wine_harness::SetEmulatedWindowsVersion("Veltrano.exe", "winxp");
  }
  void TearDown() override {
    wine_harness::SetEmulatedWindowsVersion("Veltrano.exe", "");
    StartupKeys::TearDown();
  }
};

TEST_F(ProgramStartup, WithoutProgramKeyTheProgramEndsWithoutAWindow) {
  Process program;
  ASSERT_TRUE(program.Started());
  EXPECT_EQ(program.WaitForExit(), 0);
  EXPECT_FALSE(wine_harness::KeyExists(kHkeyLocalMachine, kProgramKey));
}

TEST_F(ProgramStartup, FirstRunPointsTheUninstallEntryAtTheProgram) {
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", "7"));
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kProgramKey, "First", "Yes"));
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kUninstallEntry, "UninstallString",
                                    "\"C:\\Program Files\\Veltrano\\unins000.exe\""));
  Process program;
  HWND main = program.WaitForWindow("TForm1");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(gui_support::WindowText(main), "Veltrano v2.11");
  EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, kProgramKey, "First"), std::nullopt);
  std::string expected = "\"";
  expected += wine_harness::BinDir();
  expected += "\\Veltrano.exe\" /uninstall";
  EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, kUninstallEntry, "UninstallString"),
            expected);
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(ProgramStartup, LowerCaseFirstIsNoFirstRun) {
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", "7"));
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kProgramKey, "First", "yes"));
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kUninstallEntry, "UninstallString", "x"));
  Process program;
  HWND main = program.WaitForWindow("TForm1");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, kProgramKey, "First"), "yes");
  EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, kUninstallEntry, "UninstallString"), "x");
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(ProgramStartup, SecondInstanceSaysSoRaisesTheFirstAndEnds) {
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", "1"));
  Process first;
  HWND firstMain = first.WaitForWindow("TForm1");
  ASSERT_NE(firstMain, nullptr);
  ShowWindow(firstMain, SW_MINIMIZE);

  Process second;
  HWND box = second.WaitForWindow("#32770");
  ASSERT_NE(box, nullptr) << "the second instance shows a message box";
  EXPECT_EQ(gui_support::WindowText(box), "Veltrano v2.11");
  char text[128] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_STREQ(text, "Veltrano is already running!");
  EXPECT_EQ(second.WaitForWindow("TForm1", nullptr, 1), nullptr) << "no main window for the second";
  SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);

  EXPECT_EQ(second.WaitForExit(), 0);
  EXPECT_FALSE(IsIconic(firstMain)) << "the first instance is restored";
  EXPECT_EQ(first.WaitForExit(0), -1) << "the first instance keeps running";
  PostMessageA(firstMain, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.WaitForExit(), 0);
}

}  // namespace
