// Standard controls on a hidden form: clicks, enabled state, texts read back the way a
// screen reader or a test driver reads them.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include <windows.h>

#include <commctrl.h>

#include "gui_support.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace {

using gui_support::Click;
using gui_support::RecordedBoxes;
using gui_support::WindowText;
namespace ui = veltrano::ui;

class UiControls : public testing::Test {
 protected:
  ui::Form form{{.caption = "Controls", .clientWidth = 400, .clientHeight = 300}};
};

TEST_F(UiControls, ButtonClickRunsOnClickInsideTheDispatcher) {
  ui::Button button(form, {.text = "&Next >", .bounds = {10, 10, 75, 25}, .isDefault = true});
  int clicks = 0;
  button.onClick = [&] {
    ++clicks;
    throw std::runtime_error("Unable to write to C:\\windows\\win.ini");
  };

  Click(button.Handle());
  Click(button.Handle());

  EXPECT_EQ(clicks, 2);
  // The error left the handler and was shown by the dispatcher, not lost or fatal.
  ASSERT_EQ(RecordedBoxes().size(), 2u);
  EXPECT_EQ(RecordedBoxes()[0].text, "Unable to write to C:\\windows\\win.ini.");
  EXPECT_EQ(WindowText(button.Handle()), "&Next >");
  EXPECT_TRUE(button.IsDefault());
}

TEST_F(UiControls, DisabledButtonIgnoresClicksUntilEnabled) {
  struct Step {
    bool enabled;
    int clicksAfter;
  };
  ui::Button button(form, {.text = "Restart Computer", .enabled = false});
  int clicks = 0;
  button.onClick = [&] { ++clicks; };
  for (const Step& step : {Step{false, 0}, Step{true, 1}, Step{false, 1}, Step{true, 2}}) {
    button.SetEnabled(step.enabled);
    Click(button.Handle());
    EXPECT_EQ(clicks, step.clicksAfter) << "enabled " << step.enabled;
  }
}

TEST_F(UiControls, ControlsOnADisabledWindowIgnoreClicks) {
  // E.g. the advanced window once "Apply and Exit" has disabled it.
  ui::Frame page(form, {.bounds = {0, 0, 300, 200}});
  ui::Button apply(page, {.text = "Apply and Exit"});
  ui::LinkLabel link(page, {.text = "Visit Quarn Software", .bounds = {8, 40}});
  ui::RadioButton first(page,
                        {.text = "first", .bounds = {8, 60}, .groupStart = true, .checked = true});
  ui::RadioButton second(page, {.text = "second", .bounds = {8, 80}});
  int clicks = 0;
  apply.onClick = [&] { ++clicks; };
  link.onClick = [&] { ++clicks; };
  second.onClick = [&] { ++clicks; };

  form.SetEnabled(false);
  Click(apply.Handle());
  link.Click();
  Click(second.Handle());
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(first.Checked());
  EXPECT_FALSE(apply.AcceptsInput());
  EXPECT_TRUE(apply.IsEnabled());  // the button itself stays enabled

  form.SetEnabled(true);
  Click(apply.Handle());
  EXPECT_EQ(clicks, 1);
}

TEST_F(UiControls, FramePaintsItsOwnBackground) {
  ui::Frame band(form, {.bounds = {0, 0, 100, 40}, .background = RGB(255, 255, 255)});
  ui::Frame plain(form, {.bounds = {0, 50, 100, 40}});
  struct Case {
    ui::Frame* frame;
    COLORREF expected;
  };
  for (const Case& c :
       {Case{&band, RGB(255, 255, 255)}, Case{&plain, GetSysColor(COLOR_BTNFACE)}}) {
    ui::WindowDC screen(nullptr);
    ui::MemoryDC memory(screen.Get());
    ui::OwnedBitmap canvas(CreateCompatibleBitmap(screen.Get(), 100, 40));
    ui::ScopedSelect selected(memory.Get(), canvas.Get());
    SendMessageA(c.frame->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.Get()), 0);
    EXPECT_EQ(GetPixel(memory.Get(), 50, 20), c.expected);
  }
}

TEST_F(UiControls, ButtonOnAFrameReportsToItsOwnObject) {
  ui::Frame page(form, {.bounds = {136, 96, 314, 201}});
  ui::Button back(page, {.text = "< &Back", .bounds = {10, 160, 75, 25}});
  ui::Button next(page, {.text = "&Next >", .bounds = {90, 160, 75, 25}});
  std::string pressed;
  back.onClick = [&] { pressed += "back;"; };
  next.onClick = [&] { pressed += "next;"; };

  Click(gui_support::FindChildByText(form.Handle(), "&Next >", "Button"));
  Click(gui_support::FindChildByText(form.Handle(), "< &Back", "Button"));
  EXPECT_EQ(pressed, "next;back;");
}

TEST_F(UiControls, EnterActivatesTheVisibleDefaultButtonOrTheFocusedOne) {
  form.Show();
  ui::Button other(form, {.text = "Other", .bounds = {10, 10, 75, 25}});
  ui::Button hidden(
      form, {.text = "Hidden", .bounds = {10, 40, 75, 25}, .isDefault = true, .visible = false});
  ui::Button exit(form, {.text = "Exit", .bounds = {10, 70, 75, 25}, .isDefault = true});
  ui::ComboBox list(form, {.bounds = {100, 10, 120, 21}, .items = {"Default", "1500"}});
  std::string pressed;
  other.onClick = [&] { pressed += "other;"; };
  hidden.onClick = [&] { pressed += "hidden;"; };
  exit.onClick = [&] { pressed += "exit;"; };

  auto pressEnterOn = [&](ui::Widget& target) {
    target.SetFocus();
    MSG message{target.Handle(), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    ui::Application().HandleQueuedMessage(message);
  };
  pressEnterOn(list);   // a closed drop-down list passes Enter to the default button
  pressEnterOn(other);  // a focused push button takes Enter itself
  EXPECT_EQ(pressed, "exit;other;");
  form.Hide();
}

TEST_F(UiControls, LabelKeepsItsTextAndSizesItselfToIt) {
  ui::Label label(form, {.text = "Starting Optimizing Please Wait...", .bounds = {20, 20}});
  const ui::Bounds single = label.GetBounds();
  label.SetCaption("Finished.\r\nSecond line");
  const ui::Bounds twoLines = label.GetBounds();

  EXPECT_EQ(WindowText(label.Handle()), "Finished.\r\nSecond line");
  EXPECT_GT(single.width, 0);
  EXPECT_GT(twoLines.height, single.height);  // the line break counts
  EXPECT_EQ(twoLines.x, 20);
  EXPECT_EQ(twoLines.y, 20);
}

TEST_F(UiControls, FixedWidthLabelKeepsItsWidth) {
  ui::Label label(form, {.text = "x",
                         .bounds = {0, 10, 300, 0},
                         .alignment = ui::Alignment::kCenter,
                         .enabled = false});
  label.SetCaption("Reading Database...");
  EXPECT_EQ(label.GetBounds().width, 300);
  EXPECT_FALSE(label.IsEnabled());
  label.SetEnabled(true);
  EXPECT_TRUE(label.IsEnabled());
}

TEST_F(UiControls, StatusBarSimpleTextRoundTrip) {
  ui::StatusBar bar(form, {.text = "Last optimization type that you use "});
  EXPECT_EQ(bar.SimpleText(), "Last optimization type that you use ");
  const std::string texts[] = {
      "Last optimization type that you use 56k Flex , V.90 , V.92 Modem",
      "",
      "Last optimization type that you use Cable , xDSL running over PPPoE",
  };
  for (const std::string& text : texts) {
    bar.SetSimpleText(text);
    EXPECT_EQ(bar.SimpleText(), text);
    EXPECT_EQ(WindowText(bar.Handle()), text);  // what a screen reader reads
  }
  // Along the bottom edge of the client area.
  const ui::Bounds bounds = bar.GetBounds();
  EXPECT_EQ(bounds.y + bounds.height, form.ClientHeight());
  EXPECT_EQ(bounds.width, form.ClientWidth());
}

TEST_F(UiControls, RadioButtonsOfAGroupExcludeEachOtherButNotAnotherGroup) {
  ui::Frame page(form, {.bounds = {0, 0, 300, 200}});
  ui::RadioButton modem(page,
                        {.text = "Modem", .bounds = {8, 8}, .groupStart = true, .checked = true});
  ui::RadioButton cable(page, {.text = "Cable , xDSL", .bounds = {8, 28}});
  ui::RadioButton lan(page, {.text = "LAN , ISDN , T1", .bounds = {8, 48}});
  ui::RadioButton other(
      page, {.text = "Other group", .bounds = {8, 88}, .groupStart = true, .checked = true});

  lan.SetChecked(true);
  EXPECT_FALSE(modem.Checked());
  EXPECT_FALSE(cable.Checked());
  EXPECT_TRUE(lan.Checked());
  EXPECT_TRUE(other.Checked());

  Click(cable.Handle());  // the user's click
  EXPECT_TRUE(cable.Checked());
  EXPECT_FALSE(lan.Checked());
  EXPECT_TRUE(other.Checked());
}

TEST_F(UiControls, ComboBoxItemIndexFollowsTheListRules) {
  ui::ComboBox list(form, {.bounds = {48, 24, 89, 22},
                           .items = {"Default", "576", "1500"},
                           .itemIndex = 0,
                           .itemHeight = 16});
  struct Case {
    int set;
    int expected;
  };
  for (const Case& c : {Case{2, 2}, Case{-1, -1}, Case{1, 1}, Case{3, -1}, Case{0, 0}}) {
    list.SetItemIndex(c.set);
    EXPECT_EQ(list.ItemIndex(), c.expected) << "set " << c.set;
    // What a test driver reads through CB_GETCURSEL.
    EXPECT_EQ(SendMessageA(list.Handle(), CB_GETCURSEL, 0, 0), c.expected);
  }
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Item(2), "1500");
  EXPECT_EQ(list.Item(3), "");
  EXPECT_EQ(list.GetBounds().height, 22);  // the closed field, as laid out
}

TEST_F(UiControls, GroupBoxIsTheParentOfItsControls) {
  ui::GroupBox group(form, {.caption = " America Online ", .bounds = {8, 208, 313, 57}});
  ui::Label label(group, {.text = "NDI :", .bounds = {16, 24}});
  EXPECT_EQ(group.Caption(), " America Online ");
  EXPECT_EQ(GetParent(label.Handle()), group.Handle());
  EXPECT_EQ(label.GetBounds().x, 16);
  EXPECT_NE(gui_support::FindChildByText(group.Handle(), " America Online ", "Button"), nullptr);
}

TEST_F(UiControls, TabControlReportsSelectionChangesAndItsPageArea) {
  ui::TabControl tabs(form, {.bounds = {10, 10, 345, 280},
                             .tabs = {"General", "TCP/IP", "SPX/IPX (NWLink)", "NetBEUI"}});
  int changes = 0;
  tabs.onChange = [&] { ++changes; };
  EXPECT_EQ(tabs.TabCount(), 4);
  EXPECT_EQ(tabs.TabIndex(), 0);

  // A user's selection comes as TCN_SELCHANGE to the parent.
  tabs.SetTabIndex(2);
  NMHDR header{tabs.Handle(), static_cast<UINT_PTR>(tabs.Id()), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageA(form.Handle(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(tabs.TabIndex(), 2);

  const ui::Bounds page = tabs.PageBounds();
  EXPECT_GT(page.y, 10);  // below the row of tabs
  EXPECT_LE(page.x + page.width, 10 + 345);
  EXPECT_LE(page.y + page.height, 10 + 280);
}

TEST_F(UiControls, ControlDestroyedWithItsObjectAndSurvivesItsParentGoingFirst) {
  HWND buttonWindow = nullptr;
  {
    ui::Button button(form, {.text = "Temporary"});
    buttonWindow = button.Handle();
    EXPECT_TRUE(IsWindow(buttonWindow));
  }
  EXPECT_FALSE(IsWindow(buttonWindow));

  auto page = std::make_unique<ui::Frame>(form, ui::FrameArgs{.bounds = {0, 0, 100, 100}});
  ui::Label orphan(*page, {.text = "on the page"});
  page.reset();  // the page's window takes the label's window with it
  EXPECT_EQ(ui::Widget::FromHandle(orphan.Handle()), nullptr);
}

}  // namespace

// A window is taken for a widget only when the widget made it: a foreign window whose
// user data happens to hold a widget's address is not one, whatever its class.
TEST_F(UiControls, WidgetsAreFoundFromTheirOwnWindowsOnly) {
  ui::Label label(form, {.text = "a label"});
  ui::Frame page(form, {.bounds = {0, 0, 100, 100}});
  WNDCLASSA plainClass{};
  plainClass.lpfnWndProc = DefWindowProcA;
  plainClass.hInstance = GetModuleHandleA(nullptr);
  plainClass.lpszClassName = "UiControlsPlainWindow";
  RegisterClassA(&plainClass);
  const auto foreign = [&](const char* className, ui::Widget& claimed) {
    HWND window = CreateWindowExA(0, className, "", WS_CHILD, 0, 0, 10, 10, form.Handle(), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&claimed));
    return window;
  };
  const struct {
    const char* what;
    HWND window;
    const ui::Widget* expected;
  } cases[] = {
      {"form", form.Handle(), &form},
      {"system control", label.Handle(), &label},
      {"frame", page.Handle(), &page},
      {"foreign system control", foreign("STATIC", label), nullptr},
      {"foreign window of the program", foreign("UiControlsPlainWindow", form), nullptr},
      {"application window", ui::Application().Handle(), nullptr},
  };
  for (const auto& c : cases) EXPECT_EQ(ui::Widget::FromHandle(c.window), c.expected) << c.what;
  for (const auto& c : cases) {
    if (!c.expected && c.window != ui::Application().Handle()) DestroyWindow(c.window);
  }
}
