// Shared ground of the wizard tests: the main window started as the program starts it
// (the start-up message over the prefix's registry), then AppState pointed at the run
// fixture's fresh Windows folder and the profiles built beside the test program; and
// helpers that drive the wizard through its controls as a user does.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/anaekran.h"
#include "engine_forms_fixture.h"
#include "gui_support.h"
#include "support/wine_harness.h"
#include "ui/application.h"

namespace app_wizard {

class WizardTest : public engine_forms::EngineFormsTest {
 public:  // the helpers are reached from the case tables too
  void SetUp() override {
    EngineFormsTest::SetUp();
    savedFirst_ =
        wine_harness::ReadText(veltrano::kHkeyLocalMachine, engine_forms::kProgramKey, "First");
    wine_harness::DeleteValue(veltrano::kHkeyLocalMachine, engine_forms::kProgramKey, "First");
    PutLastOptim("7");
  }
  void TearDown() override {
    if (savedFirst_) {
      wine_harness::PutText(veltrano::kHkeyLocalMachine, engine_forms::kProgramKey, "First",
                            *savedFirst_);
    }
    EngineFormsTest::TearDown();
  }

  // Creates the main window and lets its start-up run. AppState keeps what this fixture
  // prepared, with LastOptim as the registry holds it.
  veltrano::TForm1& StartWizard() {
    const veltrano::AppStateRecord prepared = veltrano::AppState();
    auto& form = veltrano::ui::Application().CreateForm<veltrano::TForm1>(
        veltrano::CommandLine{wine_harness::BinDir() + "\\Veltrano.exe", {}});
    EXPECT_TRUE(gui_support::PumpUntil([&] { return form.StartupDone(); }));
    const std::string lastOptim = veltrano::AppState().LastOptim;
    veltrano::AppState() = prepared;
    veltrano::AppState().LastOptim = lastOptim;
    return form;
  }

  // The one page that is shown, or nullptr when none or several are.
  static HWND VisiblePage(veltrano::TForm1& form) {
    HWND shown = nullptr;
    for (HWND page : Pages(form)) {
      if (!IsWindowVisible(page)) continue;
      if (shown) return nullptr;
      shown = page;
    }
    return shown;
  }
  // Welcome, connection type, modem, cable or xDSL, optimize.
  static std::vector<HWND> Pages(veltrano::TForm1& form) {
    return {form.wellcom1.Handle(), form.ilksecim1.Handle(), form.modem1.Handle(),
            form.cabledsl1.Handle(), form.uygula1.Handle()};
  }

  // Clicks the control with this text on the page shown, or on the window itself
  // ("Advanced Mode"). False when there is no such control to click.
  static bool Press(veltrano::TForm1& form, const std::string& text) {
    HWND page = VisiblePage(form);
    HWND control = page ? gui_support::FindChildByText(page, text, "Button") : nullptr;
    if (!control) control = gui_support::FindChildByText(form.Handle(), text, "Button");
    if (!control || !IsWindowVisible(control)) return false;
    gui_support::Click(control);
    return true;
  }

  // Presses each text in turn; stops at the first that cannot be pressed.
  static bool PressAll(veltrano::TForm1& form, const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
      if (!Press(form, text)) {
        ADD_FAILURE() << "nothing to press: " << text;
        return false;
      }
    }
    return true;
  }

  std::optional<std::string> savedFirst_;
};

}  // namespace app_wizard
