// Forms: exact client sizes, placement, the creation handler, close, modal loops,
// posted private messages and deferred release.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "gui_support.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/timer.h"

namespace {

using gui_support::PumpUntil;
using gui_support::RecordedBoxes;
namespace ui = veltrano::ui;

constexpr UINT kStartupMessage = WM_USER + 2;

TEST(UiForm, ClientSizeIsExactForEveryBorderKind) {
  struct Case {
    const char* name;
    ui::FormArgs args;
  };
  const Case cases[] = {
      {"single, system menu, minimise",
       {.caption = "Veltrano v2.11",
        .clientWidth = 457,
        .clientHeight = 322,
        .borderIcons = ui::kIconSystemMenu | ui::kIconMinimize}},
      {"single, no icons",
       {.caption = "Optimizing",
        .clientWidth = 348,
        .clientHeight = 301,
        .borderIcons = ui::kIconNone}},
      {"dialog, no icons",
       {.caption = "About Veltrano",
        .clientWidth = 282,
        .clientHeight = 282,
        .borderIcons = ui::kIconNone,
        .frame = ui::FrameStyle::kDialog}},
      {"dialog, on top",
       {.caption = "ATTENTION : Please Read",
        .clientWidth = 440,
        .clientHeight = 318,
        .borderIcons = ui::kIconNone,
        .frame = ui::FrameStyle::kDialog,
        .stayOnTop = true}},
      {"dialog, system menu",
       {.caption = "Veltrano v2.11 Advanced Mode",
        .clientWidth = 503,
        .clientHeight = 453,
        .borderIcons = ui::kIconSystemMenu,
        .frame = ui::FrameStyle::kDialog}},
  };
  for (const Case& c : cases) {
    ui::Form form(c.args);
    EXPECT_EQ(form.ClientWidth(), c.args.clientWidth) << c.name;
    EXPECT_EQ(form.ClientHeight(), c.args.clientHeight) << c.name;
    EXPECT_EQ(form.Caption(), c.args.caption) << c.name;
    EXPECT_FALSE(form.IsVisible()) << c.name << ": forms are created hidden";
    EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), ui::Application().Handle()) << c.name;
    const LONG_PTR style = GetWindowLongPtrA(form.Handle(), GWL_STYLE);
    EXPECT_EQ((style & WS_SYSMENU) != 0, (c.args.borderIcons & ui::kIconSystemMenu) != 0) << c.name;
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0) << c.name << ": never a maximise box";
    const LONG_PTR exStyle = GetWindowLongPtrA(form.Handle(), GWL_EXSTYLE);
    EXPECT_EQ((exStyle & WS_EX_TOPMOST) != 0, c.args.stayOnTop) << c.name;
  }
}

TEST(UiForm, CentredOnTheWorkArea) {
  ui::Form form({.caption = "Centred", .clientWidth = 366, .clientHeight = 130});
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT outer{};
  GetWindowRect(form.Handle(), &outer);
  const int leftGap = outer.left - work.left;
  const int rightGap = work.right - outer.right;
  const int topGap = outer.top - work.top;
  const int bottomGap = work.bottom - outer.bottom;
  EXPECT_LE(std::abs(leftGap - rightGap), 1);
  EXPECT_LE(std::abs(topGap - bottomGap), 1);
}

// A form that records its hooks.
class ProbeForm : public ui::Form {
 public:
  explicit ProbeForm(bool visible = false, bool failInCreate = false)
      : Form({.caption = "Probe", .clientWidth = 200, .clientHeight = 100, .visible = visible}),
        failInCreate_(failInCreate) {}

  int creates = 0;
  int closes = 0;
  std::string log;

 protected:
  void OnCreate() override {
    ++creates;
    log += "create;";
    if (failInCreate_) throw std::runtime_error("File not found");
    log += "created;";
  }
  void OnClose() override { ++closes; }
  bool OnUserMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (message != kStartupMessage) return false;
    log += "startup " + std::to_string(wParam) + ";";
    result = 0;
    return true;
  }

 private:
  bool failInCreate_;
};

TEST(UiForm, CreateFormRunsTheCreationHandlerOnceAndShowsWhenAsked) {
  struct Case {
    bool visible;
    bool fail;
    const char* log;
    size_t boxes;
  };
  for (const Case& c : {Case{false, false, "create;created;", 0},
                        Case{true, false, "create;created;", 0}, Case{true, true, "create;", 1}}) {
    ui::Application().DestroyOwnedForms();
    const size_t boxesBefore = RecordedBoxes().size();
    auto& form = ui::Application().CreateForm<ProbeForm>(c.visible, c.fail);
    form.RunCreateHandler();  // a second run does nothing
    EXPECT_EQ(form.creates, 1);
    EXPECT_EQ(form.log, c.log);
    // A failing creation handler is shown and the form still comes up.
    EXPECT_EQ(form.IsVisible(), c.visible);
    EXPECT_EQ(RecordedBoxes().size() - boxesBefore, c.boxes);
    EXPECT_EQ(ui::Application().MainForm(), &form);
    form.Hide();
  }
  ASSERT_EQ(RecordedBoxes().size(), 1u);
  EXPECT_EQ(RecordedBoxes()[0].text, "File not found.");
}

TEST(UiForm, PostedPrivateMessageArrivesOnlyOnceTheLoopRuns) {
  ProbeForm form;
  form.Post(kStartupMessage, 0, 0);
  EXPECT_EQ(form.log, "");  // posted, not sent
  EXPECT_TRUE(PumpUntil([&] { return !form.log.empty(); }));
  EXPECT_EQ(form.log, "startup 0;");
}

TEST(UiForm, CloseRunsOnCloseAndLeavesAModelessFormAsItIs) {
  ProbeForm form;
  form.Show();
  form.Close();
  EXPECT_EQ(form.closes, 1);
  EXPECT_TRUE(form.IsVisible());  // never hidden behind the program's back
}

TEST(UiForm, ShowModalEndsWithTheResultAndGivesBackTheOtherWindows) {
  struct Case {
    const char* how;
    int expected;
  };
  for (const Case& c : {Case{"end ok", ui::kModalOk}, Case{"close", ui::kModalCancel}}) {
    ProbeForm owner;
    owner.Show();
    ProbeForm dialog;
    ui::Button ok(dialog, {.text = "&OK", .isDefault = true});
    ok.onClick = [&] { dialog.EndModal(ui::kModalOk); };
    bool ownerDisabledMeanwhile = false;
    ui::Timer driver({.interval = 10, .enabled = true});
    driver.onTimer = [&] {
      driver.SetEnabled(false);
      ownerDisabledMeanwhile = !IsWindowEnabled(owner.Handle());
      if (std::string(c.how) == "close") {
        PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
      } else {
        gui_support::Click(ok.Handle());
      }
    };

    EXPECT_EQ(dialog.ShowModal(), c.expected) << c.how;
    EXPECT_TRUE(ownerDisabledMeanwhile) << c.how;
    EXPECT_TRUE(IsWindowEnabled(owner.Handle())) << c.how;
    EXPECT_FALSE(dialog.IsVisible()) << c.how;
    EXPECT_FALSE(dialog.IsModal()) << c.how;
    owner.Hide();
  }
}

TEST(UiForm, ShowModalCanBeRepeated) {
  ProbeForm dialog;
  for (int round = 0; round < 3; ++round) {
    dialog.Post(WM_CLOSE);
    EXPECT_EQ(dialog.ShowModal(), ui::kModalCancel) << "round " << round;
  }
  EXPECT_EQ(dialog.closes, 3);
}

TEST(UiForm, ReleaseDestroysTheWindowOnlyOnceTheLoopRuns) {
  // A form of the application is deleted; a form of someone else loses its window only.
  auto& owned = ui::Application().CreateForm<ProbeForm>();
  const HWND ownedWindow = owned.Handle();
  ProbeForm member;
  const HWND memberWindow = member.Handle();

  owned.Release();
  member.Release();
  EXPECT_TRUE(IsWindow(ownedWindow));  // still there inside the handler that released it
  EXPECT_TRUE(IsWindow(memberWindow));

  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(ownedWindow) && !IsWindow(memberWindow); }));
  EXPECT_EQ(member.Handle(), nullptr);
  EXPECT_EQ(ui::Application().MainForm(), nullptr);
}

TEST(UiForm, ReleaseTakesEffectInsideAModalLoop) {
  auto& released = ui::Application().CreateForm<ProbeForm>();
  const HWND releasedWindow = released.Handle();
  released.Release();
  ProbeForm dialog;
  bool goneDuringModal = false;
  ui::Timer probe({.interval = 10, .enabled = true});
  probe.onTimer = [&] {
    goneDuringModal = !IsWindow(releasedWindow);
    if (goneDuringModal) dialog.EndModal(ui::kModalOk);
  };
  EXPECT_EQ(dialog.ShowModal(), ui::kModalOk);
  EXPECT_TRUE(goneDuringModal);
}

TEST(UiForm, AFormReleasedInItsCreationHandlerGoesOnlyAfterIt) {
  // Releases itself, then waits in a real message box, whose own loop takes the release.
  struct SelfReleasing : ui::Form {
    SelfReleasing(bool& deleted, bool& early) : Form({}), deleted(deleted), early(early) {}
    ~SelfReleasing() override { deleted = true; }
    void OnCreate() override {
      Release();
      ui::Application().ShowMessageBox("Waiting", "ReleaseProbe", MB_OK);
      early = deleted;  // reads the form: it must still be there
    }
    bool& deleted;
    bool& early;
  };
  ui::Application().SetMessageBoxObserver(nullptr);  // MessageBoxA itself, closed by a timer
  ui::Timer closer({.interval = 20, .enabled = true});
  closer.onTimer = [] {
    if (HWND box = FindWindowA("#32770", "ReleaseProbe")) PostMessageA(box, WM_COMMAND, IDOK, 0);
  };
  bool deleted = false;
  bool early = false;
  ui::Application().CreateForm<SelfReleasing>(deleted, early);
  EXPECT_FALSE(early);
  EXPECT_TRUE(PumpUntil([&] { return deleted; }));
}

// Also when the handler is a failing tick of a timer it owns (the error box runs a message
// loop, here the observer's) or its own modal loop.
TEST(UiForm, AFormReleasedInsideItsTickOrItsModalLoopGoesOnlyAfterIt) {
  for (const bool modal : {false, true}) {
    auto& form = ui::Application().CreateForm<ProbeForm>();
    const HWND window = form.Handle();
    ui::Timer timer({.interval = 1, .enabled = true, .owner = modal ? nullptr : &form});
    bool early = true;
    ui::Application().SetMessageBoxObserver([&](const std::string&, const std::string&, unsigned) {
      form.Release();
      gui_support::PumpPending();
      early = !IsWindow(window);
      return IDOK;
    });
    timer.onTimer = [&] {
      timer.SetEnabled(false);
      if (!modal) throw std::runtime_error("Failed to set data for 'MaxMTU'");
      ui::Application().ShowMessageBox("Waiting", "ReleaseProbe", MB_OK);
      if (early) ui::Application().Halt();  // ends a modal loop left without its form
      form.EndModal(ui::kModalOk);
    };
    if (modal) form.ShowModal();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    EXPECT_FALSE(early) << (modal ? "modal loop" : "failed tick");
  }
}

TEST(UiForm, HaltInsideAModalLoopEndsTheLoop) {
  ProbeForm dialog;
  ui::Timer halter({.interval = 10, .enabled = true});
  halter.onTimer = [] { ui::Application().Halt(0); };
  EXPECT_EQ(dialog.ShowModal(), ui::kModalCancel);
  EXPECT_TRUE(ui::Application().Halted());
  EXPECT_EQ(gui_support::RecordedHalts().size(), 1u);
}

TEST(UiForm, RunShowsTheMainFormUnlessToldAndReturnsTheQuitCode) {
  struct Case {
    bool showMainForm;
  };
  for (const Case& c : {Case{true}, Case{false}}) {
    ui::Application().DestroyOwnedForms();
    auto& main = ui::Application().CreateForm<ProbeForm>();
    bool visibleInLoop = false;
    ui::Timer stopper({.interval = 10, .enabled = true});
    stopper.onTimer = [&] {
      stopper.SetEnabled(false);
      visibleInLoop = main.IsVisible();
      ui::Application().Terminate();
    };
    ui::Application().ShowMainForm = c.showMainForm;
    EXPECT_EQ(ui::Application().Run(), 0);
    EXPECT_EQ(visibleInLoop, c.showMainForm);
    ui::Application().ShowMainForm = true;
  }
}

}  // namespace
