// The two run windows as a user sees them: their frames and first state, and the
// progress animation driven by the real 25 ms timer, tick by tick, after a completed run
// and after one that stopped on an error.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/optimizing.h"
#include "engine/windef.h"
#include "engine_forms_fixture.h"

namespace engine_forms {
namespace {

using veltrano::AppState;
using veltrano::RunProgressForm;
using veltrano::TForm3;
using veltrano::TForm6;
using veltrano::ui::Application;

class EngineFormsAnimation : public EngineFormsTest {
 public:  // reached from the case table's lambdas
  RunProgressForm& CreateOptimizing() {
    AppState().SelectedType = 1;
    return Application().CreateForm<TForm3>(shutdown_);
  }
  RunProgressForm& CreateDefaults(const std::string& lastOptim) {
    AppState().LastOptim = lastOptim;
    return Application().CreateForm<TForm6>(shutdown_);
  }
};

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

TEST_F(EngineFormsAnimation, FramesAndFirstStateOfBothWindows) {
  struct Case {
    const char* className;
    const char* caption;
    const char* gaugeText;
    std::vector<std::string> resultTexts;
  };
  const Case cases[] = {
      {"TForm3",
       "Optimizing",
       "Optimized % 0",
       {"Veltrano is now optimized your system.\r\n\r\n"
        "You must restart your computer to changes effect."}},
      {"TForm6",
       "Windows Default Settings",
       "Completed % 0",
       {"Your system is now WINDOWS DEFAULT SETTINGS.",
        "You must restart your computer to changes effect."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.className);
    PutLastOptim("1");
    RunProgressForm& form =
        std::string(c.className) == "TForm3" ? CreateOptimizing() : CreateDefaults("1");
    const HWND window = form.Handle();
    ASSERT_TRUE(gui_support::RecordedBoxes().empty());

    EXPECT_EQ(ClassOf(window), c.className);
    EXPECT_EQ(gui_support::WindowText(window), c.caption);
    EXPECT_EQ(FindWindowA(c.className, c.caption), window);
    EXPECT_EQ(form.ClientWidth(), 348);
    EXPECT_EQ(form.ClientHeight(), 301);
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_EQ(style & WS_SYSMENU, 0) << "no border icons, no close box";
    EXPECT_EQ(style & WS_THICKFRAME, 0) << "fixed border";
    EXPECT_TRUE(IsWindowVisible(window));

    EXPECT_EQ(gui_support::WindowText(form.VrMeter1.Handle()), c.gaugeText);
    EXPECT_EQ(form.Label2.Caption(), "Starting Optimizing Please Wait...");
    const std::vector<veltrano::ui::Label*> results = ResultTexts(form);
    ASSERT_EQ(results.size(), c.resultTexts.size());
    for (size_t index = 0; index < results.size(); ++index) {
      EXPECT_EQ(results[index]->Caption(), c.resultTexts[index]);
      EXPECT_FALSE(results[index]->IsEnabled());
    }
    EXPECT_EQ(form.RzButton1.Text(), "Restart Computer");
    EXPECT_EQ(form.RzButton2.Text(), "Don't Restart Computer");
    EXPECT_FALSE(form.RzButton1.IsEnabled());
    EXPECT_FALSE(form.RzButton2.IsEnabled());
    EXPECT_TRUE(form.RzButton1.IsDefault());
    EXPECT_TRUE(form.VrTimer1.Enabled());
    EXPECT_EQ(form.VrTimer1.Interval(), 25u);
    Application().DestroyOwnedForms();
  }
}

TEST_F(EngineFormsAnimation, CaptionSequenceAndEndStateTickByTick) {
  const std::map<int, std::string> optimizingSteps = {{21, "Reading Database..."},
                                                      {42, "Optimizing Registry..."},
                                                      {62, "Optimizing Secret Settings..."},
                                                      {82, "Finalizing Settings..."}};
  const std::map<int, std::string> defaultsSteps = {{21, "Reading Database..."},
                                                    {42, "Default Registry Settings..."},
                                                    {62, "Default Secret Settings..."},
                                                    {82, "Finalizing Settings..."}};
  struct Case {
    const char* name;
    std::function<RunProgressForm&(EngineFormsAnimation&)> create;
    std::string deniedKey;  // "" for none
    std::map<int, std::string> steps;
    std::string last;
    bool failed;
  };
  const Case cases[] = {
      {"optimizing, completed", [](auto& test) -> auto& {return test.CreateOptimizing();
}
, "", optimizingSteps, "Finished.", false
}  // namespace
, {"defaults, completed", [](auto& test) -> auto& {return test.CreateDefaults("1");
}  // namespace engine_forms
, "", defaultsSteps, "Finished Windows Default Settings.", false
}
, {"optimizing, record refused", [](auto& test) -> auto& {return test.CreateOptimizing();
}
, kProgramKey, {}, "Stopped on an error.", true
}
, {"defaults, LastOptim not an integer", [](auto& test) -> auto& {return test.CreateDefaults("x1");
}
, "", {}, "Stopped on an error.", true
}
,
}
;
for (const Case& c : cases) {
  SCOPED_TRACE(c.name);
  UseFreshWindowsDir();
  PutLastOptim("1");
  gui_support::ScopedBoxAnswer boxes(IDOK);
  std::vector<TickState> ticks;
  {
    std::unique_ptr<wine_harness::ScopedWriteDenial> denial;
    if (!c.deniedKey.empty()) {
      denial = std::make_unique<wine_harness::ScopedWriteDenial>(kHkeyLocalMachine, c.deniedKey);
    }
    RunProgressForm& form = c.create(*this);
    EXPECT_EQ(form.RunFailed(), c.failed);
    EXPECT_EQ(boxes.Boxes().size(), c.failed ? 1u : 0u);
    ticks = AnimateToEnd(form);
    EXPECT_EQ(form.VrMeter1.Position(), c.failed ? 0 : 100) << "a stop leaves the gauge as it was";
    EXPECT_EQ(gui_support::WindowText(form.Label2.Handle()), c.last);
  }
  ASSERT_EQ(ticks.size(), c.failed ? 1u : 100u) << "one tick per step, none after the end";

  std::map<int, std::string> changes;
  std::string shown = "Starting Optimizing Please Wait...";
  const int last = static_cast<int>(ticks.size());
  for (int tick = 1; tick <= last; ++tick) {
    const TickState& state = ticks[tick - 1];
    EXPECT_EQ(state.position, c.failed ? 0 : tick);
    if (tick < last) {
      // Nothing can be pressed and nothing claims a result before the end.
      EXPECT_FALSE(state.restartEnabled) << "tick " << tick;
      EXPECT_FALSE(state.leaveEnabled) << "tick " << tick;
      EXPECT_FALSE(state.anyResultEnabled) << "tick " << tick;
      EXPECT_TRUE(state.timerEnabled) << "tick " << tick;
      if (state.caption != shown) changes[tick] = shown = state.caption;
    }
  }
  EXPECT_EQ(changes, c.steps);
  const TickState& end = ticks.back();
  EXPECT_EQ(end.caption, c.last);
  EXPECT_FALSE(end.timerEnabled);
  EXPECT_TRUE(end.leaveEnabled);
  EXPECT_EQ(end.restartEnabled, !c.failed);
  EXPECT_EQ(end.allResultEnabled, !c.failed);
  EXPECT_EQ(end.anyResultEnabled, !c.failed);
  EXPECT_EQ(end.anyResultVisible, !c.failed) << "not even greyed after a stop";
  Application().DestroyOwnedForms();
}
}

}  // namespace
}  // namespace engine_forms
