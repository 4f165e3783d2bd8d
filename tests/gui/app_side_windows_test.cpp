// The program options menu and the side windows: the companion files launched from the
// program's folder, the about box and its links, the first-run notice, the restart prompt.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/about.h"
#include "app/anaekran.h"
#include "app/justone.h"
#include "app/restar.h"
#include "app_wizard_fixture.h"
#include "engine/optimizing.h"
#include "platform/launcher.h"
#include "ui/timer.h"

namespace app_wizard {
namespace {

using veltrano::AppState;
using veltrano::ui::Application;

struct Launch {
  std::string file;
  std::string parameters;
  std::string directory;
  bool operator==(const Launch&) const = default;
};

// Records launches instead of starting programs, for its life.
class LaunchRecorder {
 public:
  LaunchRecorder() {
    veltrano::SetLaunchObserver(
        [this](const std::string& file, const std::string& parameters, const std::string& dir) {
          launches.push_back({file, parameters, dir});
        });
  }
  ~LaunchRecorder() { veltrano::SetLaunchObserver(nullptr); }
  LaunchRecorder(const LaunchRecorder&) = delete;
  LaunchRecorder& operator=(const LaunchRecorder&) = delete;
  std::vector<Launch> launches;
};

// The about box, when it is shown, or nullptr.
HWND ShownAboutBox() {
  HWND box = FindWindowA("TForm8", "About Veltrano");
  return box && IsWindowVisible(box) ? box : nullptr;
}

using SideWindows = WizardTest;

TEST_F(SideWindows, OptionsMenuLaunchesCompanionsAndShowsTheSameAboutBox) {
  struct Case {
    char letter;  // the underlined letter typed while the menu is open
    std::vector<Launch> launches;
    bool about;  // the about box was shown (and closed with OK)
    std::vector<int> halts;
  };
  const std::string programDir = wine_harness::BinDir() + "\\";
  const Case cases[] = {
      {'s', {{programDir + "VadiVazar.Exe", "", programDir}}, false, {}},
      {'u', {{programDir + "Update.Exe", "", programDir}}, false, {}},
      {'h', {{programDir + "Veltrano.Chm", "", programDir}}, false, {}},
      {'a', {}, true, {}},
      {'a', {}, true, {}},
      {'e', {}, false, {0}},
  };
  veltrano::TForm1& form = StartWizard();
  // AppState's folder is not where the launches look: they take the executable's.
  AppState().ProgramDir = "C:\\elsewhere\\";
  HWND firstAbout = nullptr;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("letter ") + c.letter);
    LaunchRecorder recorder;
    engine_forms::HaltRecorder halts;
    gui_support::ScopedBoxAnswer boxes(IDOK);
    bool typed = false;
    HWND aboutSeen = nullptr;
    // The menu and the about box run loops of their own; a timer plays the user.
    veltrano::ui::Timer user({.interval = 20, .enabled = true});
    user.onTimer = [&] {
      if (HWND about = ShownAboutBox()) {
        aboutSeen = about;
        gui_support::Click(gui_support::FindChildByText(about, "&OK", "Button"));
      } else if (!typed) {
        typed = true;
        PostMessageA(form.Handle(), WM_CHAR, static_cast<WPARAM>(c.letter), 0);
      }
    };
    ASSERT_TRUE(Press(form, "&Program Options"));
    user.SetEnabled(false);
    EXPECT_EQ(recorder.launches, c.launches);
    EXPECT_EQ(aboutSeen != nullptr, c.about);
    if (c.about) {
      if (!firstAbout) firstAbout = aboutSeen;
      EXPECT_EQ(aboutSeen, firstAbout) << "the same box each time";
      EXPECT_EQ(ShownAboutBox(), nullptr) << "OK closed it";
    }
    EXPECT_EQ(halts.codes, c.halts);
    EXPECT_TRUE(boxes.Boxes().empty()) << "a missing companion is not reported";
    EXPECT_TRUE(form.IsVisible());
    EXPECT_EQ(VisiblePage(form), form.wellcom1.Handle());
    Application().ClearHalt();
  }
}

TEST_F(SideWindows, FirstRunNoticeAppearsOnlyWhenFirstWasYes) {
  struct Case {
    const char* first;  // nullptr: absent
    bool notice;
  };
  for (const Case& c : {Case{"Yes", true}, Case{"yes", false}, Case{nullptr, false}}) {
    SCOPED_TRACE(c.first ? c.first : "absent");
    if (c.first) {
      ASSERT_TRUE(wine_harness::PutText(veltrano::kHkeyLocalMachine, engine_forms::kProgramKey,
                                        "First", c.first));
    }
    veltrano::TForm1& form = StartWizard();
    EXPECT_TRUE(form.IsVisible());
    HWND notice = FindWindowA("TFirstrun", "ATTENTION : Please Read");
    EXPECT_EQ(notice != nullptr && IsWindowVisible(notice), c.notice);
    if (notice) {
      const LONG_PTR style = GetWindowLongPtrA(notice, GWL_STYLE);
      EXPECT_TRUE(GetWindowLongPtrA(notice, GWL_EXSTYLE) & WS_EX_TOPMOST);
      EXPECT_FALSE(style & WS_SYSMENU) << "no close box, no system menu";
      EXPECT_TRUE(IsWindowEnabled(form.Handle())) << "not modal";
      HWND ok = gui_support::FindChildByText(notice, "&OK", "Button");
      ASSERT_NE(ok, nullptr);
      EXPECT_EQ(GetFocus(), ok);
      EXPECT_TRUE(gui_support::FindChildByText(
          notice, "You won't see this screen any more. Thanks for using Veltrano."));
      gui_support::Click(ok);
      EXPECT_TRUE(gui_support::PumpUntil([notice] { return !IsWindow(notice); }))
          << "OK frees the notice";
      EXPECT_TRUE(form.IsVisible());
    }
    Application().DestroyOwnedForms();
    wine_harness::DeleteValue(veltrano::kHkeyLocalMachine, engine_forms::kProgramKey, "First");
  }
}

TEST_F(SideWindows, AboutLinksTurnPurpleWhenOpenedAndOfferOpenWithWhenNot) {
  struct Case {
    bool mail;
    bool shellOpens;
    std::string address;
    COLORREF colour;
    int openWithStarts;
  };
  const COLORREF blue = RGB(0, 0, 255);
  const COLORREF purple = RGB(128, 0, 128);
  const Case cases[] = {
      {false, true, veltrano::kMakerWebAddress, purple, 0},
      {true, false, veltrano::kMakerMailAddress, blue, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address + (c.shellOpens ? " opens" : " fails"));
    auto& about = Application().CreateForm<veltrano::TForm8>();
    std::vector<std::string> opened;
    std::vector<std::string> started;
    veltrano::SetWebAddressObserver(
        {.open =
             [&](const std::string& address) {
               opened.push_back(address);
               return c.shellOpens;
             },
         .start = [&](const std::string& line) { started.push_back(line); }});
    veltrano::ui::LinkLabel& link = c.mail ? about.MailLink : about.WebSiteLink;
    EXPECT_EQ(gui_support::WindowText(link.Handle()),
              c.mail ? "support@quarnsoft.example" : veltrano::kMakerWebAddress);
    link.Click();
    EXPECT_EQ(opened, std::vector<std::string>{c.address});
    EXPECT_EQ(link.CurrentColor(), c.colour);
    EXPECT_EQ(started.size(), static_cast<size_t>(c.openWithStarts));
    for (const std::string& line : started) {
      EXPECT_EQ(line, std::string(1, '"') + wine_harness::WindowsDir() +
                          "\\system32\\rundll32.exe\" Shell32.dll,OpenAs_RunDLL *.htm");
    }
    veltrano::SetWebAddressObserver({});
    EXPECT_FALSE(GetWindowLongPtrA(about.Handle(), GWL_STYLE) & WS_SYSMENU);
    Application().DestroyOwnedForms();
  }
}

// A restart service that answers as told and records what it was asked.
class AnsweringShutdown : public engine_forms::FakeShutdown {
 public:
  explicit AnsweringShutdown(bool accepts) : accepts_(accepts) {}
  bool ExitWindows(std::uint32_t flags) override {
    FakeShutdown::ExitWindows(flags);
    return accepts_;
  }
  std::string FailureText() override { return "Access is denied."; }

 private:
  bool accepts_;
};

// After a restore it says so; it has a taskbar button of its own, being often alone.
TEST_F(SideWindows, RestartPromptAsksForAnUnforcedRebootAndStaysUntilExit) {
  for (bool accepted : {true, false}) {
    SCOPED_TRACE(accepted ? "restart accepted" : "restart refused, after a restore");
    AnsweringShutdown shutdown(accepted);
    engine_forms::HaltRecorder halts;
    gui_support::ScopedBoxAnswer boxes(IDOK);
    auto& prompt = Application().CreateForm<veltrano::Trestart>(
        accepted ? veltrano::RestartCause::kOptimized : veltrano::RestartCause::kRestored,
        shutdown);
    EXPECT_EQ(prompt.Label1.Caption(),
              std::string(accepted ? "Veltrano is now optimized your system."
                                   : "Your network settings are restored.") +
                  "\r\n\r\nYou must restart your computer to changes take effect.");
    EXPECT_TRUE(GetWindowLongPtrA(prompt.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(prompt.IsVisible()) << "it shows itself";
    EXPECT_EQ(prompt.Caption(), "Warning");
    EXPECT_EQ(prompt.ClientWidth(), 366);
    EXPECT_EQ(prompt.ClientHeight(), 130);
    EXPECT_FALSE(GetWindowLongPtrA(prompt.Handle(), GWL_STYLE) & WS_SYSMENU);

    ASSERT_TRUE(gui_support::FindChildByText(prompt.Handle(), "Restart Computer", "Button"));
    gui_support::Click(gui_support::FindChildByText(prompt.Handle(), "Restart Computer", "Button"));
    EXPECT_EQ(shutdown.requests, std::vector<std::uint32_t>{veltrano::kEwxReboot});
    ASSERT_EQ(boxes.Boxes().size(), accepted ? 0u : 1u) << "a refusal is said once";
    EXPECT_EQ(accepted ? "" : boxes.Boxes()[0].text,
              accepted ? "" : "Veltrano could not restart Windows: Access is denied.");
    EXPECT_TRUE(prompt.IsVisible());
    EXPECT_TRUE(prompt.RzButton1.IsEnabled());
    EXPECT_TRUE(prompt.RzButton2.IsEnabled());
    EXPECT_TRUE(halts.codes.empty());

    gui_support::Click(gui_support::FindChildByText(prompt.Handle(), "Exit", "Button"));
    EXPECT_EQ(halts.codes, std::vector<int>{0});
    Application().DestroyOwnedForms();
    Application().ClearHalt();
  }
}

// The system's close command on each window takes that window's own way out: the
// program ends, the window goes, or (a run still going) it stays; never a hidden window
// with the program running.
TEST_F(SideWindows, SystemCloseTakesEachWindowsOwnWayOut) {
  using veltrano::ui::Form;
  enum Left { kEnded, kGone, kOpen };
  engine_forms::FakeShutdown fake;
  auto open = [&](const std::string& name) -> Form& {
    if (name == "advanced")
      return Application().CreateForm<veltrano::TAdvance>(veltrano::AdvanceHooks{});
    if (name == "restart prompt") return Application().CreateForm<veltrano::Trestart>(fake);
    if (name == "first-run notice") return Application().CreateForm<veltrano::TFirstrun>();
    AppState().SelectedType = 5;
    auto& run = Application().CreateForm<veltrano::TForm3>(fake);
    if (name == "run finished") AnimateToEnd(run);
    return run;
  };
  const struct {
    const char* name;
    UINT message;  // WM_SYSKEYDOWN: Alt+F4
    Left left;
  } cases[] = {{"advanced", WM_SYSKEYDOWN, kEnded},
               {"restart prompt", WM_SYSCOMMAND, kEnded},
               {"first-run notice", WM_CLOSE, kGone},
               {"run going", WM_SYSKEYDOWN, kOpen},
               {"run finished", WM_SYSCOMMAND, kEnded}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    engine_forms::HaltRecorder halts;
    const HWND window = open(c.name).Handle();
    const WPARAM command = c.message == WM_SYSKEYDOWN ? VK_F4 : SC_CLOSE;
    PostMessageA(window, c.message, command, c.message == WM_SYSKEYDOWN ? 1 << 29 : 0);
    gui_support::PumpPending();
    EXPECT_EQ(halts.codes, std::vector<int>(c.left == kEnded ? 1 : 0, 0));
    EXPECT_TRUE(c.left == kEnded || (IsWindowVisible(window) != FALSE) == (c.left == kOpen));
    Application().DestroyOwnedForms();
    Application().ClearHalt();
  }
}

}  // namespace
}  // namespace app_wizard
