// The optimizing window TForm3 against the prefix's registry and real INI files: what
// each connection type writes, a missing profile, refused registry writes, and the two
// buttons at the end.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/optimizing.h"
#include "engine_forms_fixture.h"

namespace engine_forms {
namespace {

using veltrano::TForm3;
using veltrano::ui::Application;

class EngineFormsOptimizing : public EngineFormsTest {
 protected:
  TForm3& CreateOptimizing(int type) {
    veltrano::AppState().SelectedType = static_cast<std::uint8_t>(type);
    return Application().CreateForm<TForm3>(shutdown_);
  }
};

TEST_F(EngineFormsOptimizing, EachTypeSetsPortsRecordsItAndAppliesItsProfile) {
  struct Expected {
    std::string path;
    std::string name;
    std::string value;
  };
  struct Case {
    int type;
    const char* suffix;
    std::vector<Expected> values;
  };
  const Case cases[] = {
      {1,
       "2k",
       {{kTcpipParameters, "TcpWindowSize", "dword:000010C0"},
        {kTcpipParameters, "DefaultTTL", "dword:00000080"}}},
      {2,
       "2k",
       {{kTcpipParameters, "TcpWindowSize", "dword:00000860"},
        {kTcpipParameters, "DefaultTTL", "dword:00000080"}}},
      // Types 3 and 5 share one profile and differ only in the type recorded.
      {3,
       "2k",
       {{kTcpipParameters, "TcpWindowSize", "dword:0000FAF0"},
        {kTcpipParameters, "DefaultTTL", "dword:00000040"}}},
      {4,
       "2k",
       {{kTcpipParameters, "TcpWindowSize", "dword:0000F990"},
        {kTcpipParameters, "DefaultTTL", "dword:00000040"}}},
      {5,
       "2k",
       {{kTcpipParameters, "TcpWindowSize", "dword:0000FAF0"},
        {kTcpipParameters, "DefaultTTL", "dword:00000040"}}},
      {6,
       "2k",
       {{kTcpipParameters, "TcpWindowSize", "dword:0003EBC0"},
        {kTcpipParameters, "Tcp1323Opts", "dword:00000001"}}},
      // The 9x family's profiles write text values under MSTCP.
      {1, "", {{kMstcp, "DefaultRcvWindow", "\"4288\""}, {kMstcp, "DefaultTTL", "\"128\""}}},
      {6, "", {{kMstcp, "DefaultRcvWindow", "\"128480\""}, {kMstcp, "Tcp1323Opts", "\"1\""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("type " + std::to_string(c.type) + " suffix '" + c.suffix + "'");
    UseFreshWindowsDir();
    veltrano::AppState().OsSuffix = c.suffix;
    PutLastOptim("7");
    for (const Expected& value : c.values) {
      wine_harness::DeleteValue(kHkeyLocalMachine, value.path, value.name);
    }
    gui_support::ScopedBoxAnswer boxes(IDOK);
    HaltRecorder halts;

    TForm3& form = CreateOptimizing(c.type);

    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes().front().text;
    EXPECT_TRUE(halts.codes.empty());
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    EXPECT_FALSE(form.RunFailed());
    EXPECT_EQ(Ports("win.ini"), AllPorts(kOptimizedPorts));
    EXPECT_EQ(Ports("system.ini"), AllPorts(kOptimizedPorts));
    EXPECT_EQ(LastOptim(), std::to_string(c.type));
    for (const Expected& value : c.values) {
      EXPECT_EQ(Rendered(value.path, value.name), value.value) << value.name;
    }
    EXPECT_FALSE(WorkFileExists());
    Application().DestroyOwnedForms();
  }
}

TEST_F(EngineFormsOptimizing, MissingProfileWarnsAndEndsWithNothingWritten) {
  wine_harness::TempFolder emptyProgramDir;
  struct Case {
    const char* name;
    std::string programDir;
    int type;
  };
  const Case cases[] = {
      {"no profile files", emptyProgramDir.Path() + "\\", 1},
      {"type without a profile", wine_harness::BinDir() + "\\", 0},
      {"type out of range", wine_harness::BinDir() + "\\", 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseFreshWindowsDir();
    PutLastOptim("4");
    wine_harness::DeleteValue(kHkeyLocalMachine, kTcpipParameters, "TcpWindowSize");
    veltrano::AppState().ProgramDir = c.programDir;
    gui_support::ScopedBoxAnswer boxes(IDOK);
    HaltRecorder halts;

    TForm3& form = CreateOptimizing(c.type);

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, kMissingFileText);
    EXPECT_EQ(boxes.Boxes()[0].caption, gui_support::kTitle);
    EXPECT_EQ(boxes.Boxes()[0].flags, kWarningBoxFlags);
    EXPECT_EQ(halts.codes, std::vector<int>{0});
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
    EXPECT_FALSE(wine_harness::FileExists(WindowsFile("win.ini")));
    EXPECT_FALSE(wine_harness::FileExists(WindowsFile("system.ini")));
    EXPECT_FALSE(WorkFileExists());
    EXPECT_EQ(LastOptim(), "4");
    EXPECT_EQ(Rendered(kTcpipParameters, "TcpWindowSize"), "");
    Application().DestroyOwnedForms();
  }
}

TEST_F(EngineFormsOptimizing, RefusedWriteShowsOneErrorAndEndsStopped) {
  struct Case {
    std::string deniedKey;
    std::string boxText;
    std::string tcpWindowSize;  // what the profile line before the refusal left
    std::string lastOptim;
  };
  const Case cases[] = {
      // The type is recorded before the first profile line: no record, no profile.
      {kProgramKey, "Failed to set data for 'LastOptim'", "", "5"},
      // The profile's first key cannot be opened: the type is on record for an undo.
      {kTcpipParameters, "Failed to set data for 'TcpWindowSize'", "", "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.deniedKey);
    UseFreshWindowsDir();
    PutLastOptim("5");
    wine_harness::DeleteValue(kHkeyLocalMachine, kTcpipParameters, "TcpWindowSize");
    gui_support::ScopedBoxAnswer boxes(IDOK);
    HaltRecorder halts;
    std::vector<TickState> ticks;
    {
      wine_harness::ScopedWriteDenial denial(kHkeyLocalMachine, c.deniedKey);
      ASSERT_TRUE(denial.Active());
      TForm3& form = CreateOptimizing(1);
      ASSERT_EQ(boxes.Boxes().size(), 1u);
      EXPECT_EQ(boxes.Boxes()[0].text, c.boxText);
      EXPECT_EQ(boxes.Boxes()[0].caption, gui_support::kTitle);
      EXPECT_EQ(boxes.Boxes()[0].flags, kErrorBoxFlags);
      EXPECT_TRUE(form.RunFailed());
      EXPECT_TRUE(IsWindowVisible(form.Handle()));
      ticks = AnimateToEnd(form);
    }
    // The ports come before the registry; the rest stays as the refusal left it.
    EXPECT_EQ(Ports("win.ini"), AllPorts(kOptimizedPorts));
    EXPECT_EQ(Rendered(kTcpipParameters, "TcpWindowSize"), c.tcpWindowSize);
    EXPECT_EQ(LastOptim(), c.lastOptim);
    EXPECT_TRUE(WorkFileExists());
    EXPECT_TRUE(halts.codes.empty());
    ASSERT_EQ(ticks.size(), 1u) << "the animation stops where the run stopped";
    EXPECT_EQ(ticks.back().caption, "Stopped on an error.");
    EXPECT_FALSE(ticks.back().anyResultEnabled);
    EXPECT_FALSE(ticks.back().restartEnabled);
    EXPECT_TRUE(ticks.back().leaveEnabled);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    Application().DestroyOwnedForms();
  }
}

TEST_F(EngineFormsOptimizing, ButtonsWorkOnlyAfterTheEndAndRestartIsNotForced) {
  PutLastOptim("7");
  HaltRecorder halts;
  TForm3& form = CreateOptimizing(2);
  ASSERT_FALSE(form.RunFailed());

  // Before the hundredth tick neither button can be pressed.
  gui_support::Click(form.RzButton1.Handle());
  gui_support::Click(form.RzButton2.Handle());
  EXPECT_TRUE(shutdown_.requests.empty());
  EXPECT_TRUE(halts.codes.empty());

  AnimateToEnd(form);
  EXPECT_EQ(form.DefaultButton(), form.RzButton1.Handle());
  gui_support::Click(form.RzButton1.Handle());
  gui_support::Click(form.RzButton1.Handle());  // asks again; the window stays
  EXPECT_EQ(shutdown_.requests,
            (std::vector<std::uint32_t>{veltrano::kEwxReboot, veltrano::kEwxReboot}));
  EXPECT_TRUE(IsWindow(form.Handle()));
  EXPECT_TRUE(halts.codes.empty());

  gui_support::Click(form.RzButton2.Handle());
  EXPECT_EQ(halts.codes, std::vector<int>{0});
}

}  // namespace
}  // namespace engine_forms
