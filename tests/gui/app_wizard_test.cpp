// The connection wizard driven through its controls: every path to a connection type
// with the page and heading at each step, the way into advanced mode and back, the
// keyboard, and what "Optimize" starts against the prefix's registry and INI files.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/anaekran.h"
#include "app_wizard_fixture.h"
#include "engine/windef.h"

namespace app_wizard {
namespace {

using engine_forms::kTcpipParameters;
using engine_forms::Rendered;
using veltrano::AppState;
using veltrano::kHkeyLocalMachine;
using veltrano::ui::Application;

enum class Page { kWelcome, kConnection, kModem, kCable, kOptimize, kEnded };

const char* HeadingOf(Page page) {
  static const char* const kHeadings[] = {
      "Welcome to the Veltrano Wizard!", "Please select your connection type!",
      "Please select your modem type!", "Please select your cable or xDSL type!",
      "Are you ready for the Veltrano?"};
  return kHeadings[static_cast<int>(page)];
}

HWND PageWindow(veltrano::TForm1& form, Page page) {
  return WizardTest::Pages(form)[static_cast<size_t>(page)];
}

// One user action and what the window shows after it.
struct Step {
  const char* press;     // a button or a choice, by its text
  Page page;             // the page shown afterwards (kEnded: the program ended)
  int selectedType;      // AppState().SelectedType afterwards
  const char* selected;  // the choice checked on that page, or nullptr
};

struct Path {
  const char* name;
  std::vector<Step> steps;
};

const std::vector<Path>& WizardPaths() {
  static const std::vector<Path> paths = {
      {"56k modem",
       {{"&Next >", Page::kConnection, 0, "Modem"},
        {"&Next >", Page::kModem, 0, "56kflex , V.90 , V.92"},
        {"&Next >", Page::kOptimize, 1, nullptr},
        {"< &Back", Page::kModem, 1, "56kflex , V.90 , V.92"}}},
      {"33k modem",
       {{"&Next >", Page::kConnection, 0, nullptr},
        {"Modem", Page::kConnection, 0, "Modem"},
        {"&Next >", Page::kModem, 0, nullptr},
        {"33k or below", Page::kModem, 0, "33k or below"},
        {"&Next >", Page::kOptimize, 2, nullptr}}},
      {"normal cable",
       {{"&Next >", Page::kConnection, 0, nullptr},
        {"Cable , xDSL", Page::kConnection, 0, "Cable , xDSL"},
        {"&Next >", Page::kCable, 0, "Normal"},
        {"&Next >", Page::kOptimize, 3, nullptr},
        {"< &Back", Page::kCable, 3, "Normal"},
        {"< &Back", Page::kConnection, 3, "Cable , xDSL"}}},
      {"cable over PPPoE",
       {{"&Next >", Page::kConnection, 0, nullptr},
        {"Cable , xDSL", Page::kConnection, 0, nullptr},
        {"&Next >", Page::kCable, 0, nullptr},
        {"Running over PPPoE", Page::kCable, 0, "Running over PPPoE"},
        {"&Next >", Page::kOptimize, 4, nullptr}}},
      {"LAN",
       {{"&Next >", Page::kConnection, 0, nullptr},
        {"LAN , ISDN , T1", Page::kConnection, 0, "LAN , ISDN , T1"},
        {"&Next >", Page::kOptimize, 5, nullptr},
        {"< &Back", Page::kConnection, 5, "LAN , ISDN , T1"}}},
      {"satellite, back keeps the choice",
       {{"&Next >", Page::kConnection, 0, nullptr},
        {"Satellite Dish", Page::kConnection, 0, "Satellite Dish"},
        {"&Next >", Page::kOptimize, 6, nullptr},
        {"< &Back", Page::kConnection, 6, "Satellite Dish"}}},
      {"Windows defaults",
       {{"&Next >", Page::kConnection, 0, nullptr},
        {"Windows Default Settings", Page::kConnection, 0, "Windows Default Settings"},
        {"&Next >", Page::kOptimize, 7, nullptr},
        {"< &Back", Page::kConnection, 7, "Windows Default Settings"},
        {"< &Back", Page::kWelcome, 7, nullptr}}},
      {"modem, back, then LAN",
       {{"&Next >", Page::kConnection, 0, nullptr},
        {"&Next >", Page::kModem, 0, nullptr},
        {"< &Back", Page::kConnection, 0, "Modem"},
        {"LAN , ISDN , T1", Page::kConnection, 0, "LAN , ISDN , T1"},
        {"&Next >", Page::kOptimize, 5, nullptr}}},
      {"advanced mode and back keeps page and choice",
       {{"&Next >", Page::kConnection, 0, nullptr},
        {"&Next >", Page::kModem, 0, nullptr},
        {"33k or below", Page::kModem, 0, "33k or below"},
        {"Advanced Mode", Page::kModem, 0, "33k or below"},
        {"&Next >", Page::kOptimize, 2, nullptr},
        {"Advanced Mode", Page::kOptimize, 2, nullptr},
        {"< &Back", Page::kModem, 2, "33k or below"}}},
      {"exit on the welcome page", {{"&Exit", Page::kEnded, 0, nullptr}}},
      {"exit on the optimize page",
       {{"&Next >", Page::kConnection, 0, nullptr},
        {"LAN , ISDN , T1", Page::kConnection, 0, nullptr},
        {"&Next >", Page::kOptimize, 5, nullptr},
        {"&Exit", Page::kEnded, 5, nullptr}}},
  };
  return paths;
}

using Wizard = WizardTest;

TEST_F(Wizard, EveryPathShowsItsPagesAndEndsOnItsConnectionType) {
  for (const Path& path : WizardPaths()) {
    SCOPED_TRACE(path.name);
    AppState().SelectedType = 0;
    Application().ClearHalt();
    gui_support::ScopedBoxAnswer boxes(IDOK);
    veltrano::TForm1& form = StartWizard();
    ASSERT_TRUE(form.IsVisible());
    ASSERT_EQ(VisiblePage(form), form.wellcom1.Handle());
    const size_t haltsBefore = gui_support::RecordedHalts().size();
    int number = 0;
    for (const Step& step : path.steps) {
      SCOPED_TRACE("step " + std::to_string(++number) + ": " + step.press);
      ASSERT_TRUE(Press(form, step.press));
      if (std::string(step.press) == "Advanced Mode") {
        // The wizard waits hidden while the advanced window is open.
        EXPECT_FALSE(form.IsVisible());
        HWND advanced = FindWindowA("TAdvance", nullptr);
        ASSERT_NE(advanced, nullptr);
        gui_support::Click(gui_support::FindChildByText(advanced, "Back to Wizard Mode", "Button"));
        EXPECT_TRUE(gui_support::PumpUntil([advanced] { return !IsWindow(advanced); }))
            << "the advanced window releases itself";
      }
      EXPECT_EQ(AppState().SelectedType, step.selectedType);
      if (step.page == Page::kEnded) {
        EXPECT_EQ(gui_support::RecordedHalts().size(), haltsBefore + 1);
        continue;
      }
      EXPECT_EQ(VisiblePage(form), PageWindow(form, step.page));
      EXPECT_EQ(gui_support::WindowText(form.Label1.Handle()), HeadingOf(step.page));
      EXPECT_TRUE(form.IsVisible());
      EXPECT_TRUE(IsWindowVisible(form.RzButton1.Handle())) << "Advanced Mode on every page";
      if (step.selected) {
        HWND choice = gui_support::FindChildByText(PageWindow(form, step.page), step.selected);
        ASSERT_NE(choice, nullptr);
        EXPECT_EQ(SendMessageA(choice, BM_GETCHECK, 0, 0), BST_CHECKED);
      }
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    Application().DestroyOwnedForms();
  }
}

// The classes of the forms created while it lives, and what the registry and win.ini
// held when each was created.
class FormCreations {
 public:
  struct Creation {
    std::string className;
    std::string lastOptim;
    std::string defaultTtl;
  };
  FormCreations() {
    current_ = this;
    hook_ = SetWindowsHookExA(WH_CBT, &FormCreations::Hook, nullptr, GetCurrentThreadId());
  }
  ~FormCreations() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  FormCreations(const FormCreations&) = delete;
  FormCreations& operator=(const FormCreations&) = delete;

  std::vector<std::string> Classes() const {
    std::vector<std::string> classes;
    for (const Creation& creation : creations) classes.push_back(creation.className);
    return classes;
  }
  std::vector<Creation> creations;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && current_) {
      char name[32] = {};
      GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
      const std::string className = name;
      if (className == "TForm3" || className == "TForm6") {
        current_->creations.push_back(
            {className,
             wine_harness::ReadText(kHkeyLocalMachine, engine_forms::kProgramKey, "LastOptim")
                 .value_or(""),
             Rendered(kTcpipParameters, "DefaultTTL")});
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline FormCreations* current_ = nullptr;
  HHOOK hook_;
};

TEST_F(Wizard, OptimizeUndoesTheLastTypeFirstUnlessItWasWindowsDefaults) {
  const std::vector<std::string> toType3 = {"&Next >", "Cable , xDSL", "&Next >", "&Next >"};
  const std::vector<std::string> toType7 = {"&Next >", "Windows Default Settings", "&Next >"};
  const std::string type1Ttl = "dword:00000080";  // what a type-1 optimization left
  const std::string lanisdnTtl = "dword:00000040";
  struct Case {
    const char* name;
    std::string lastOptim;
    std::vector<std::string> path;
    std::vector<std::string> created;
    std::string ttlWhenOptimizing;  // DefaultTTL as TForm3 is created ("-": none is)
    std::string finalLastOptim;
    std::string finalTtl;
    std::string ports;       // win.ini COM1: afterwards
    std::vector<int> halts;  // the program's ends
    std::string box;         // the one box shown, or ""
  };
  const Case cases[] = {
      {"after type 1: chained undo, then lanisdn",
       "1",
       toType3,
       {"TForm6", "TForm3"},
       "",
       "3",
       lanisdnTtl,
       engine_forms::kOptimizedPorts,
       {},
       ""},
      {"at Windows defaults: no undo",
       "7",
       toType3,
       {"TForm3"},
       type1Ttl,
       "3",
       lanisdnTtl,
       engine_forms::kOptimizedPorts,
       {},
       ""},
      {"type 7 at Windows defaults runs alone",
       "7",
       toType7,
       {"TForm6"},
       "-",
       "7",
       type1Ttl,
       engine_forms::kDefaultPorts,
       {},
       ""},
      {"type 7 after type 1 undoes type 1 alone",
       "1",
       toType7,
       {"TForm6"},
       "-",
       "7",
       "",
       engine_forms::kDefaultPorts,
       {},
       ""},
      {"a chained run that fails ends the program",
       "abc",
       toType3,
       {"TForm6"},
       "-",
       "abc",
       type1Ttl,
       "",
       {1},
       "'abc' is not a valid integer value."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseFreshWindowsDir();
    PutLastOptim(c.lastOptim);
    ASSERT_TRUE(wine_harness::PutNumber(kHkeyLocalMachine, kTcpipParameters, "DefaultTTL", 0x80));
    AppState().SelectedType = 0;
    gui_support::ScopedBoxAnswer boxes(IDOK);
    engine_forms::HaltRecorder halts;
    veltrano::TForm1& form = StartWizard();
    ASSERT_EQ(AppState().LastOptim, c.lastOptim);
    ASSERT_TRUE(PressAll(form, c.path));

    FormCreations creations;
    ASSERT_TRUE(Press(form, "Optimize"));

    EXPECT_EQ(creations.Classes(), c.created);
    for (const auto& creation : creations.creations) {
      if (creation.className == "TForm3") {
        EXPECT_EQ(creation.defaultTtl, c.ttlWhenOptimizing);
        EXPECT_EQ(creation.lastOptim, "7") << "the registry is at Windows defaults by then";
      }
    }
    EXPECT_EQ(halts.codes, c.halts);
    EXPECT_EQ(LastOptim(), c.finalLastOptim);
    EXPECT_EQ(Rendered(kTcpipParameters, "DefaultTTL"), c.finalTtl);
    const auto ports = Ports("win.ini");
    EXPECT_EQ(ports.count("COM1:") ? ports.at("COM1:") : "", c.ports);
    if (c.box.empty()) {
      EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes().front().text;
    } else {
      ASSERT_EQ(boxes.Boxes().size(), 1u);
      EXPECT_EQ(boxes.Boxes()[0].text, c.box);
    }
    if (c.halts.empty()) {
      EXPECT_FALSE(form.IsVisible()) << "the wizard stays hidden once a run has started";
      // The run window shown is the last one created; a chained one never shows.
      HWND shown = FindWindowA(c.created.back().c_str(), nullptr);
      ASSERT_NE(shown, nullptr);
      EXPECT_TRUE(IsWindowVisible(shown));
    }
    Application().DestroyOwnedForms();
    Application().ClearHalt();
  }
}

// A key as the message loop receives it, sent to the control that has the focus.
void Key(UINT message, WPARAM key, bool shift = false) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  const LPARAM altDown = message == WM_SYSCHAR ? (1 << 29) : 0;
  MSG msg{GetFocus(), message, key, altDown | 1, GetTickCount(), {0, 0}};
  Application().HandleQueuedMessage(msg);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  gui_support::PumpPending();
}

TEST_F(Wizard, KeyboardWorksTheWizardLikeADialog) {
  struct Case {
    const char* what;
    UINT message;
    WPARAM key;
    bool shift;
    const char* focus;  // text of the control with the focus afterwards
    Page page;
    const char* selected;  // checked choice on the page, or nullptr
  };
  const Case cases[] = {
      {"Enter presses Next", WM_KEYDOWN, VK_RETURN, false, "&Next >", Page::kConnection, "Modem"},
      {"Tab", WM_KEYDOWN, VK_TAB, false, "&Exit", Page::kConnection, nullptr},
      {"Tab", WM_KEYDOWN, VK_TAB, false, "Advanced Mode", Page::kConnection, nullptr},
      {"Tab into the choices", WM_KEYDOWN, VK_TAB, false, "Modem", Page::kConnection, "Modem"},
      {"Down selects the next choice", WM_KEYDOWN, VK_DOWN, false, "Cable , xDSL",
       Page::kConnection, "Cable , xDSL"},
      {"Down", WM_KEYDOWN, VK_DOWN, false, "LAN , ISDN , T1", Page::kConnection, "LAN , ISDN , T1"},
      {"Up", WM_KEYDOWN, VK_UP, false, "Cable , xDSL", Page::kConnection, "Cable , xDSL"},
      {"Shift+Tab leaves the choices", WM_KEYDOWN, VK_TAB, true, "Advanced Mode", Page::kConnection,
       "Cable , xDSL"},
      {"Tab comes back to the choice made", WM_KEYDOWN, VK_TAB, false, "Cable , xDSL",
       Page::kConnection, "Cable , xDSL"},
      {"Alt+N presses Next", WM_SYSCHAR, 'n', false, "&Next >", Page::kCable, "Normal"},
      {"Enter presses Next", WM_KEYDOWN, VK_RETURN, false, "Optimize", Page::kOptimize, nullptr},
      {"Alt+B presses Back", WM_SYSCHAR, 'b', false, "&Next >", Page::kCable, "Normal"},
  };
  veltrano::TForm1& form = StartWizard();
  SetForegroundWindow(form.Handle());
  SetActiveWindow(form.Handle());
  ASSERT_TRUE(gui_support::PumpUntil([&] {
    return gui_support::WindowText(GetFocus()) == "&Next >";
  })) << "the default button of the welcome page has the focus";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Key(c.message, c.key, c.shift);
    EXPECT_EQ(gui_support::WindowText(GetFocus()), c.focus);
    EXPECT_EQ(VisiblePage(form), PageWindow(form, c.page));
    if (c.selected) {
      HWND choice = gui_support::FindChildByText(PageWindow(form, c.page), c.selected);
      ASSERT_NE(choice, nullptr);
      EXPECT_EQ(SendMessageA(choice, BM_GETCHECK, 0, 0), BST_CHECKED);
    }
  }
  EXPECT_EQ(AppState().SelectedType, 3);
  EXPECT_TRUE(gui_support::RecordedHalts().empty());
}

// "Show &Changes..." lists what "Optimize" would do now, and does none of it.
TEST_F(Wizard, ShowChangesListsWhatOptimizeWouldWriteAndWritesNothing) {
  wine_harness::DeleteValue(kHkeyLocalMachine, kTcpipParameters, "DefaultTTL");
  veltrano::TForm1& form = StartWizard();
  gui_support::SeenChanges changes;
  ASSERT_TRUE(PressAll(form, {"&Next >", "LAN , ISDN , T1", "&Next >", "Show &Changes..."}));
  EXPECT_EQ(changes.headline,
            veltrano::ChangesHeadline("Optimize for LAN , ISDN , T1", changes.rows.size()));
  for (const veltrano::ChangeRow& row : std::vector<veltrano::ChangeRow>{
           {"HKLM\\SOFTWARE\\QuarnSoft\\Veltrano\\LastOptim", "7", "5"},
           {WindowsFile("win.ini") + " [Ports] COM1:", "not set", engine_forms::kOptimizedPorts},
           {"HKLM\\" + kTcpipParameters + "\\DefaultTTL", "not set", "64"}}) {
    EXPECT_NE(std::find(changes.rows.begin(), changes.rows.end(), row), changes.rows.end())
        << row.setting;
  }
  EXPECT_EQ(LastOptim() + Rendered(kTcpipParameters, "DefaultTTL"), "7");
  EXPECT_FALSE(wine_harness::FileExists(WindowsFile("win.ini")));
  EXPECT_EQ(VisiblePage(form), PageWindow(form, Page::kOptimize));
}

}  // namespace
}  // namespace app_wizard
