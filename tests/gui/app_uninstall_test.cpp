// Uninstall mode in-process, against the prefix's registry and INI files in a fresh
// Windows folder: the defaults run (or none), the offer of the settings from before
// Veltrano, the warning, the uninstaller started from the program's folder and the end,
// for each way the flow can go; and a first start that is already "/uninstall".
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/anaekran.h"
#include "app/uninstall.h"
#include "app/uninstwrn.h"
#include "engine/backup.h"
#include "engine/runs.h"
#include "engine_forms_fixture.h"
#include "platform/launcher.h"
#include "support/planned_outcome.h"

namespace engine_forms {
namespace {

using veltrano::AppState;
using veltrano::TForm7;
using veltrano::ui::Application;

using planned_outcome::Described;
using planned_outcome::Outcome;
using planned_outcome::ValueId;

struct Launch {
  std::string file;
  std::string parameters;
  std::string directory;
};

// Records launches instead of starting programs, for its life.
class LaunchRecorder {
 public:
  LaunchRecorder() {
    veltrano::SetLaunchObserver([this](const std::string& file, const std::string& parameters,
                                       const std::string& directory) {
      launches.push_back({file, parameters, directory});
    });
  }
  ~LaunchRecorder() { veltrano::SetLaunchObserver({}); }
  LaunchRecorder(const LaunchRecorder&) = delete;
  LaunchRecorder& operator=(const LaunchRecorder&) = delete;
  std::vector<Launch> launches;
};

enum class Closing { kOkButton, kSystemClose };

// Watches for the warning from inside its modal loop: what it showed, what LastOptim
// held by then, and closes it the way the user would.
class WarningWatcher {
 public:
  WarningWatcher(TForm7& warning, Closing closing)
      : warning_(warning), closing_(closing), timer_({.interval = 10, .enabled = true}) {
    timer_.onTimer = [this] { Look(); };
  }
  bool shown = false;
  std::string caption, label1, label3, lastOptimWhenShown;
  bool onTop = false;

 private:
  void Look() {
    if (!warning_.IsVisible() || shown) return;
    shown = true;
    timer_.SetEnabled(false);
    caption = warning_.Caption();
    label1 = warning_.RzLabel1.Caption();
    label3 = warning_.RzLabel3.Caption();
    onTop = (GetWindowLongPtrA(warning_.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    lastOptimWhenShown =
        wine_harness::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim").value_or("");
    if (closing_ == Closing::kOkButton) {
      warning_.RzButton1.Click();
    } else {
      PostMessageA(warning_.Handle(), WM_CLOSE, 0, 0);
    }
  }
  TForm7& warning_;
  Closing closing_;
  veltrano::ui::Timer timer_;
};

class UninstallMode : public EngineFormsTest {
 protected:
  void TearDown() override {
    for (const auto& [id, described] : planted_) {
      wine_harness::DeleteValue(std::get<0>(id), std::get<1>(id), std::get<2>(id));
    }
    EngineFormsTest::TearDown();
  }
  // Plants every value the profile names, so that its removal shows.
  Outcome PlantFor(const std::string& profilePath) {
    auto outcome = planned_outcome::PlannedOutcome(profilePath, veltrano::ScriptMode::kDelete);
    for (const auto& [id, described] : outcome) {
      EXPECT_TRUE(wine_harness::PutNumber(std::get<0>(id), std::get<1>(id), std::get<2>(id), 1));
      planted_[id] = described;
    }
    return outcome;
  }
  Outcome planted_;
};

TEST_F(UninstallMode, RestoresDefaultsWarnsThenStartsTheUninstaller) {
  const std::string bin = wine_harness::BinDir();
  const std::string missingFile =
      "A required file cannot be found.\r\nPlease reinstall the application.";
  const std::string netBeui = R"(SYSTEM\CurrentControlSet\Services\VxD\NETBEUI)";
  // The backup from before Veltrano; its key refused; a value named like a path into it.
  enum Own { kNone, kKept, kRefused, kForeign };
  struct Case {
    const char* name;
    std::string lastOptim;
    Closing closing;
    bool realLauncher;     // the real shell, with no unins000.exe beside the program
    bool profilesMissing;  // ProgramDir without profile folders
    bool continues;        // warning shown and uninstaller started
    bool removed;          // the uninstaller started
    // The boxes, answered Yes when `removed`, else No, unless `answer` says.
    std::vector<std::string> boxTexts;
    Own own = kNone;  // it holds NETBEUI "default" = "8", which is "64" now
    int answer = 0;
    std::string warned = "WINDOWS DEFAULT SETTINGS.";
    std::string netBeuiThen = "64";
  };
  const std::string ask = veltrano::kRemoveAnywayQuestion;
  const std::string own = veltrano::OwnSettingsQuestion("2026-12-08 13:20:05");
  const Case cases[] = {
      // clang-format off
      {"at defaults already", "7", Closing::kOkButton, false, false, true, true, {}},
      {"at defaults, spelt ' 7'", " 7", Closing::kOkButton, false, false, true, true, {}},
      {"after type 3, closed by the system", "3", Closing::kSystemClose, false, false, true, true,
       {}},
      {"no unins000.exe", "7", Closing::kOkButton, true, false, true, true, {}},
      {"defaults run fails, kept", "abc", Closing::kOkButton, false, false, false, false,
       {"'abc' is not a valid integer value.", ask}},
      {"no such type", "8", Closing::kOkButton, false, false, false, true, {missingFile, ask}},
      {"profile missing", "3", Closing::kOkButton, false, true, false, false, {missingFile}},
      {"own settings back", "7", Closing::kOkButton, false, false, true, true, {own}, kKept, 0,
       "YOUR SETTINGS FROM BEFORE VELTRANO.", "8"},
      {"own settings declined", "7", Closing::kOkButton, false, false, true, true, {own}, kKept,
       IDNO},
      {"own settings refused", "7", Closing::kOkButton, false, false, false, true,
       {own, "Failed to set data for 'default'", veltrano::kOwnSettingsFailedQuestion}, kRefused},
      {"own settings foreign, refused before asking", "7", Closing::kOkButton, false, false, false,
       true, {"foreign", veltrano::kOwnSettingsFailedQuestion}, kForeign},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseFreshWindowsDir();
    Application().ClearHalt();
    PutLastOptim(c.lastOptim);
    wine_harness::TempFolder elsewhere;
    AppState().ProgramDir = (c.profilesMissing ? elsewhere.Path() : bin) + "\\";
    const std::string first = veltrano::FirstBackupPath(AppState().ProgramDir);
    DeleteFileA(first.c_str());
    ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, netBeui, "default", "64"));
    if (c.own != kNone) {
      CreateDirectoryA(veltrano::BackupFolder(AppState().ProgramDir).c_str(), nullptr);
      const std::string key = c.own == kForeign
                                  ? "[HKEY_LOCAL_MACHINE\\SYSTEM]\r\n"
                                    R"("CurrentControlSet\\Services\\VxD\\NETBEUI\\default")"
                                  : "[HKEY_LOCAL_MACHINE\\" + netBeui + "]\r\n\"default\"";
      ASSERT_TRUE(wine_harness::WriteFileBytes(
          first, "Veltrano settings backup\r\nTaken=2026-12-08 13:20:05\r\nBefore=x\r\n" + key +
                     "=\"8\"\r\nEnd=1\r\n"));
    }
    std::optional<wine_harness::ScopedWriteDenial> denial;
    if (c.own == kRefused) denial.emplace(kHkeyLocalMachine, netBeui);
    AppState().LastOptim = c.lastOptim;
    AppState().DefaultsChained = false;
    AppState().DefaultsDone = false;
    const auto planned = c.lastOptim == "3" && !c.profilesMissing
                             ? PlantFor(bin + "\\VLU\\lanisdn2k.vlu")
                             : Outcome{};
    if (c.lastOptim == "3" && !c.profilesMissing) {
      ASSERT_FALSE(planned.empty());
    }
    const std::string exePath = (c.realLauncher ? elsewhere.Path() : bin) + "\\Veltrano.exe";

    gui_support::ScopedBoxAnswer boxes(c.answer ? c.answer : c.removed ? IDYES : IDNO);
    HaltRecorder halts;
    std::optional<LaunchRecorder> launches;
    if (!c.realLauncher) launches.emplace();
    TForm7& warning = Application().CreateForm<TForm7>();
    WarningWatcher watcher(warning, c.closing);
    Application().Dispatch([&] { veltrano::EnterUninstallMode(warning, exePath); });

    ASSERT_FALSE(halts.codes.empty()) << "uninstall mode always ends the program";
    EXPECT_EQ(halts.codes.back(), c.boxTexts.size() > 1 && !c.removed ? 1 : 0) << "1: kept";
    EXPECT_TRUE(AppState().DefaultsChained);
    std::vector<std::string> boxTexts;
    for (const auto& box : boxes.Boxes()) {
      const bool foreign =
          box.text.rfind("The backup file " + first + " names HKEY_LOCAL_MACHINE\\SYSTEM", 0) == 0;
      boxTexts.push_back(foreign ? "foreign" : box.text);
    }
    EXPECT_EQ(boxTexts, c.boxTexts);
    EXPECT_EQ(watcher.shown, c.continues);
    EXPECT_FALSE(warning.IsVisible());
    if (launches) {
      ASSERT_EQ(launches->launches.size(), c.removed ? 1u : 0u);
      if (c.removed) {
        EXPECT_EQ(launches->launches[0].file, bin + "\\unins000.exe");
        EXPECT_EQ(launches->launches[0].parameters, "");
        EXPECT_EQ(launches->launches[0].directory, bin + "\\");
      }
    }
    if (c.continues) {
      EXPECT_EQ(watcher.caption, "Veltrano Uninstall Warning");
      EXPECT_EQ(watcher.label1, "Veltrano update your system with");
      EXPECT_EQ(watcher.label3, c.warned);
      EXPECT_TRUE(watcher.onTop);
      EXPECT_TRUE(veltrano::RecordsWindowsDefaults(watcher.lastOptimWhenShown))
          << "the defaults come before the warning";
    }
    denial.reset();
    DeleteFileA(first.c_str());
    EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, netBeui, "default"), c.netBeuiThen);
    const bool ran = c.continues && !veltrano::RecordsWindowsDefaults(c.lastOptim);
    EXPECT_EQ(LastOptim(), ran || c.lastOptim == "7" ? "7" : c.lastOptim);
    EXPECT_EQ(Ports("win.ini"), ran ? AllPorts(kDefaultPorts) : decltype(Ports("")){});
    EXPECT_EQ(Ports("system.ini"), ran ? AllPorts(kDefaultPorts) : decltype(Ports("")){});
    for (const auto& [id, expected] : planned) {
      EXPECT_EQ(Described(id), expected) << std::get<1>(id) << " " << std::get<2>(id);
    }
    EXPECT_FALSE(WorkFileExists());
    Application().DestroyOwnedForms();
    gui_support::PumpPending();
  }
}

TEST_F(UninstallMode, FirstStartAlreadyUninstallingShowsNoNoticeAndNoWizard) {
  const std::string uninstallEntry =
      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano_is1";
  const std::string exePath = wine_harness::BinDir() + "\\Veltrano.exe";
  PutLastOptim("7");
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kProgramKey, "First", "Yes"));
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, uninstallEntry, "UninstallString", "x"));
  LaunchRecorder launches;
  bool noticeShown = false;
  auto& main =
      Application().CreateForm<veltrano::TForm1>(veltrano::CommandLine{exePath, {"/uninstall"}});
  TForm7& warning = Application().CreateForm<TForm7>();
  WarningWatcher watcher(warning, Closing::kOkButton);
  main.onFirstRun = [&] { noticeShown = true; };
  main.onUninstallMode = [&] { veltrano::EnterUninstallMode(warning, exePath); };
  EXPECT_TRUE(gui_support::PumpUntil([] { return !gui_support::RecordedHalts().empty(); }));

  EXPECT_TRUE(watcher.shown);
  EXPECT_FALSE(noticeShown);
  EXPECT_FALSE(main.IsVisible());
  EXPECT_EQ(main.SB1.SimpleText(), "");
  EXPECT_EQ(launches.launches.size(), 1u);
  EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, kProgramKey, "First"), std::nullopt);
  EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, uninstallEntry, "UninstallString"),
            "\"" + exePath + "\" /uninstall");
  wine_harness::DeleteTree(kHkeyLocalMachine, uninstallEntry);
  wine_harness::DeleteValue(kHkeyLocalMachine, kProgramKey, "First");
}

}  // namespace
}  // namespace engine_forms
