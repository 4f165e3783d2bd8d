// The Windows-defaults window TForm6, standalone and chained, against the prefix's
// registry and real INI files: each last type undone, the chained window's hidden life
// and release, and chained runs that stop on an error still ending their caller's wait.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/optimizing.h"
#include "engine/windef.h"
#include "engine_forms_fixture.h"

namespace engine_forms {
namespace {

using veltrano::AppState;
using veltrano::TForm3;
using veltrano::TForm6;
using veltrano::ui::Application;

class EngineFormsDefaults : public EngineFormsTest {
 protected:
  TForm6& CreateDefaults(const std::string& lastOptim, bool chained) {
    AppState().LastOptim = lastOptim;
    AppState().DefaultsChained = chained;
    AppState().DefaultsDone = false;
    AppState().DefaultsFailed = false;
    return Application().CreateForm<TForm6>(shutdown_);
  }
  // A released window is gone once the message loop has run.
  static bool ReleasedAfterLoop(HWND window) {
    return gui_support::PumpUntil([window] { return !IsWindow(window); });
  }
};

TEST_F(EngineFormsDefaults, EachLastTypeIsUndoneInBothModes) {
  struct Case {
    int lastType;
    const char* suffix;
    std::string path;
    std::vector<std::string> planted;  // values its optimization profile writes
  };
  const std::vector<std::string> nt = {"TcpWindowSize", "GlobalMaxTcpWindowSize", "DefaultTTL"};
  const std::vector<std::string> nine = {"DefaultRcvWindow", "DefaultTTL"};
  const Case cases[] = {
      {1, "2k", kTcpipParameters, nt}, {2, "2k", kTcpipParameters, nt},
      {3, "2k", kTcpipParameters, nt}, {4, "2k", kTcpipParameters, nt},
      {5, "2k", kTcpipParameters, nt}, {6, "2k", kTcpipParameters, nt},
      {1, "", kMstcp, nine},           {3, "", kMstcp, nine},
  };
  for (bool chained : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(chained ? "chained" : "standalone") + " after type " +
                   std::to_string(c.lastType) + " suffix '" + c.suffix + "'");
      UseFreshWindowsDir();
      AppState().OsSuffix = c.suffix;
      PutLastOptim(std::to_string(c.lastType));
      for (const std::string& name : c.planted) {
        ASSERT_TRUE(wine_harness::PutNumber(kHkeyLocalMachine, c.path, name, 1));
      }
      gui_support::ScopedBoxAnswer boxes(IDOK);

      TForm6& form = CreateDefaults(std::to_string(c.lastType), chained);
      const HWND window = form.Handle();

      EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes().front().text;
      EXPECT_EQ(IsWindowVisible(window) != FALSE, !chained);
      EXPECT_EQ(form.VrTimer1.Enabled(), !chained);
      EXPECT_EQ(AppState().DefaultsDone, chained);
      EXPECT_FALSE(AppState().DefaultsFailed);
      EXPECT_EQ(Ports("win.ini"), AllPorts(kDefaultPorts));
      EXPECT_EQ(Ports("system.ini"), AllPorts(kDefaultPorts));
      EXPECT_EQ(LastOptim(), "7");
      for (const std::string& name : c.planted) {
        EXPECT_EQ(Rendered(c.path, name), "") << name << " was not removed";
      }
      EXPECT_FALSE(WorkFileExists());
      if (chained) {
        EXPECT_TRUE(ReleasedAfterLoop(window));
      }
      Application().DestroyOwnedForms();
    }
  }
}

TEST_F(EngineFormsDefaults, ChainedRunTakesTheRegistryFromOneOptimizationToTheNext) {
  PutLastOptim("7");
  AppState().SelectedType = 1;
  Application().CreateForm<TForm3>(shutdown_);
  ASSERT_EQ(LastOptim(), "1");
  ASSERT_EQ(Rendered(kTcpipParameters, "DefaultTTL"), "dword:00000080");

  const HWND chainedWindow = CreateDefaults("1", true).Handle();
  EXPECT_TRUE(AppState().DefaultsDone);
  EXPECT_FALSE(AppState().DefaultsFailed);
  EXPECT_EQ(LastOptim(), "7");
  EXPECT_EQ(Rendered(kTcpipParameters, "DefaultTTL"), "");

  AppState().SelectedType = 3;
  Application().CreateForm<TForm3>(shutdown_);
  EXPECT_EQ(LastOptim(), "3");
  EXPECT_EQ(Rendered(kTcpipParameters, "DefaultTTL"), "dword:00000040");
  EXPECT_EQ(Ports("win.ini"), AllPorts(kOptimizedPorts));
  EXPECT_TRUE(gui_support::RecordedBoxes().empty());
  EXPECT_TRUE(ReleasedAfterLoop(chainedWindow));
}

TEST_F(EngineFormsDefaults, ChainedRunThatStopsStillEndsTheWaitAsFailed) {
  struct Case {
    const char* name;
    std::string lastOptim;
    std::string deniedKey;  // "" for none
    bool iniIsFolder;       // a folder named win.ini cannot be read: nothing is written
    std::string boxText;    // %s: the Windows folder
  };
  const Case cases[] = {
      {"not an integer", "abc", "", false, "'abc' is not a valid integer value."},
      {"record refused", "2", kProgramKey, false, "Failed to set data for 'LastOptim'"},
      {"INI file unreadable", "2", "", true,
       "Cannot read %s\\win.ini: Access denied. Nothing has been changed."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseFreshWindowsDir();
    if (c.iniIsFolder) {
      ASSERT_TRUE(CreateDirectoryA(WindowsFile("win.ini").c_str(), nullptr));
    }
    std::string boxText = c.boxText;
    if (const size_t at = boxText.find("%s"); at != std::string::npos) {
      boxText.replace(at, 2, AppState().WindowsDir);
    }
    PutLastOptim("2");
    gui_support::ScopedBoxAnswer boxes(IDOK);
    HaltRecorder halts;
    HWND window = nullptr;
    {
      std::unique_ptr<wine_harness::ScopedWriteDenial> denial;
      if (!c.deniedKey.empty()) {
        denial = std::make_unique<wine_harness::ScopedWriteDenial>(kHkeyLocalMachine, c.deniedKey);
        ASSERT_TRUE(denial->Active());
      }
      TForm6& form = CreateDefaults(c.lastOptim, true);
      window = form.Handle();
      EXPECT_FALSE(IsWindowVisible(window));
      EXPECT_FALSE(form.VrTimer1.Enabled());
    }
    // The caller's wait ends, and it learns that the defaults were not restored.
    EXPECT_TRUE(AppState().DefaultsDone);
    EXPECT_TRUE(AppState().DefaultsFailed);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, boxText);
    EXPECT_EQ(boxes.Boxes()[0].flags, kErrorBoxFlags);
    EXPECT_TRUE(halts.codes.empty());
    EXPECT_EQ(LastOptim(), "2");
    EXPECT_TRUE(ReleasedAfterLoop(window));
    Application().DestroyOwnedForms();
  }
}

TEST_F(EngineFormsDefaults, MissingProfileWarnsAndEndsInEitherMode) {
  wine_harness::TempFolder emptyProgramDir;
  struct Case {
    const char* name;
    std::string programDir;
    std::string lastOptim;
    bool chained;
  };
  const Case cases[] = {
      {"standalone, no profile files", emptyProgramDir.Path() + "\\", "4", false},
      {"chained, no profile files", emptyProgramDir.Path() + "\\", "4", true},
      {"chained, type without a profile", wine_harness::BinDir() + "\\", "0", true},
      {"standalone, type out of range", wine_harness::BinDir() + "\\", "8", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseFreshWindowsDir();
    AppState().ProgramDir = c.programDir;
    PutLastOptim(c.lastOptim);
    gui_support::ScopedBoxAnswer boxes(IDOK);
    HaltRecorder halts;

    CreateDefaults(c.lastOptim, c.chained);

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, kMissingFileText);
    EXPECT_EQ(boxes.Boxes()[0].caption, gui_support::kTitle);
    EXPECT_EQ(boxes.Boxes()[0].flags, kWarningBoxFlags);
    EXPECT_EQ(halts.codes, std::vector<int>{0});
    EXPECT_FALSE(wine_harness::FileExists(WindowsFile("win.ini")));
    EXPECT_FALSE(WorkFileExists());
    EXPECT_EQ(LastOptim(), c.lastOptim);
    Application().DestroyOwnedForms();
  }
}

TEST_F(EngineFormsDefaults, StandaloneRestartIsNotForcedAndLeavingEndsTheProgram) {
  PutLastOptim("6");
  HaltRecorder halts;
  TForm6& form = CreateDefaults("6", false);
  gui_support::Click(form.RzButton1.Handle());  // still disabled
  EXPECT_TRUE(shutdown_.requests.empty());

  AnimateToEnd(form);
  gui_support::Click(form.RzButton1.Handle());
  EXPECT_EQ(shutdown_.requests, std::vector<std::uint32_t>{veltrano::kEwxReboot});
  EXPECT_TRUE(halts.codes.empty());
  gui_support::Click(form.RzButton2.Handle());
  EXPECT_EQ(halts.codes, std::vector<int>{0});
}

}  // namespace
}  // namespace engine_forms
