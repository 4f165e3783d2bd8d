// A progress window put together from the widget set the way the run windows use it:
// a timer drives the gauge and the step caption to the end, then enables the buttons.
// With VELTRANO_UI_HOLD_ROUNDS set, the finished window stays on screen for that many
// message rounds so that a screenshot can be taken.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gui_support.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/led_marquee.h"
#include "ui/menu.h"
#include "ui/needle_gauge.h"
#include "ui/picture.h"
#include "ui/timer.h"

namespace {

namespace ui = veltrano::ui;

class SampleProgressForm : public ui::Form {
 public:
  SampleProgressForm()
      : Form({.caption = "Optimizing",
              .clientWidth = 348,
              .clientHeight = 301,
              .borderIcons = ui::kIconNone,
              .visible = true}) {
    timer.onTimer = [this] { Tick(); };
  }

  ui::NeedleGauge gauge{*this, {.caption = "Optimized %", .bounds = {54, 8, 240, 150}}};
  ui::Label step{*this,
                 {.text = "Starting Optimizing Please Wait...",
                  .bounds = {24, 166, 300, 0},
                  .alignment = ui::Alignment::kCenter,
                  .font = {.bold = true}}};
  ui::Label result{*this,
                   {.text = "Veltrano is now optimized your system.\r\n\r\nYou must "
                            "restart your computer to changes effect.",
                    .bounds = {24, 190, 300, 0},
                    .alignment = ui::Alignment::kCenter,
                    .enabled = false}};
  ui::Label warning{
      *this, {.text = "WINDOWS DEFAULT SETTINGS.", .bounds = {24, 236}, .color = RGB(255, 0, 0)}};
  ui::Bevel line{*this, {.bounds = {16, 254, 316, 2}}};
  ui::Button restart{*this,
                     {.text = "Restart Computer",
                      .bounds = {40, 264, 129, 25},
                      .isDefault = true,
                      .enabled = false}};
  ui::Button stay{
      *this, {.text = "Don't Restart Computer", .bounds = {180, 264, 129, 25}, .enabled = false}};
  ui::Timer timer{{.interval = 25, .enabled = true}};
  int ticks = 0;

 private:
  void Tick() {
    ++ticks;
    const int previous = gauge.Position();
    if (previous >= 20 && previous <= 40) step.SetCaption("Reading Database...");
    if (previous >= 41 && previous <= 99) step.SetCaption("Optimizing Registry...");
    if (ticks == 100) {
      step.SetCaption("Finished.");
      result.SetEnabled(true);
      restart.SetEnabled(true);
      stay.SetEnabled(true);
      timer.SetEnabled(false);
    }
    gauge.SetPosition(ticks);
  }
};

TEST(UiSample, ProgressWindowAnimatesToItsEnd) {
  auto& form = ui::Application().CreateForm<SampleProgressForm>();
  EXPECT_TRUE(form.IsVisible());
  EXPECT_FALSE(form.restart.IsEnabled());

  ASSERT_TRUE(gui_support::PumpUntil([&] { return !form.timer.Enabled(); }, 20000));
  EXPECT_EQ(form.ticks, 100);
  EXPECT_EQ(gui_support::WindowText(form.gauge.Handle()), "Optimized % 100");
  EXPECT_EQ(form.step.Caption(), "Finished.");
  EXPECT_TRUE(form.result.IsEnabled());
  EXPECT_TRUE(form.restart.IsEnabled());
  EXPECT_TRUE(form.stay.IsEnabled());
  // Every control lies inside the client area it was laid out for.
  for (ui::Widget* widget : std::initializer_list<ui::Widget*>{
           &form.gauge, &form.step, &form.result, &form.warning, &form.restart, &form.stay}) {
    const ui::Bounds bounds = widget->GetBounds();
    EXPECT_LE(bounds.x + bounds.width, form.ClientWidth()) << widget->Text();
    EXPECT_LE(bounds.y + bounds.height, form.ClientHeight()) << widget->Text();
  }

  if (const char* hold = std::getenv("VELTRANO_UI_HOLD_ROUNDS")) {
    const int rounds = std::atoi(hold);
    gui_support::PumpUntil([] { return false; }, rounds);
  }
}

// A wizard-like window: marquee, heading, separator, a page of choices with its
// buttons, a status line, a group of drop-down lists on a tab, a link and a picture.
class SampleWizardForm : public ui::Form {
 public:
  SampleWizardForm()
      : Form({.caption = "Veltrano v2.11",
              .clientWidth = 457,
              .clientHeight = 322,
              .borderIcons = ui::kIconSystemMenu | ui::kIconMinimize,
              .visible = true}) {
    next.onClick = [this] { ++nextClicks; };
    menu.AddItem("&Stay Alive", "Ctrl+S");
    menu.AddSeparator();
    menu.AddItem("&Exit", "Ctrl+E");
    ui::WindowDC screen(nullptr);
    ui::OwnedBitmap art(CreateCompatibleBitmap(screen.Get(), 4, 8));
    {
      ui::MemoryDC memory(screen.Get());
      ui::ScopedSelect selected(memory.Get(), art.Get());
      for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 4; ++x) SetPixelV(memory.Get(), x, y, RGB(30 * y, 60 * x, 200));
      }
    }
    picture.SetBitmap(std::move(art));
  }

  ui::Picture picture{*this, {.bounds = {16, 16, 105, 233}, .description = "Veltrano"}};
  ui::PopupMenu menu;
  ui::MenuButton options{*this, {.text = "Advanced Mode", .bounds = {16, 264, 105, 25}}, menu};
  ui::LedMarquee marquee{*this,
                         {.text = "Thank you for using Veltrano Connection Speed-Up Utility...",
                          .bounds = {144, 16, 294, 23},
                          .stepInterval = 50}};
  ui::Label heading{
      *this,
      {.text = "Please select your connection type!", .bounds = {152, 56}, .font = {.bold = true}}};
  ui::Bevel line{*this, {.bounds = {152, 80, 289, 2}}};
  ui::Frame page{*this, {.bounds = {136, 96, 314, 201}}};
  ui::Label text{page,
                 {.text = "Veltrano supports lots of connection types.Please\r\n\r\n"
                          "select one of the chooses and click next to continue.",
                  .bounds = {8, 0, 298, 0},
                  .alignment = ui::Alignment::kCenter}};
  ui::RadioButton modem{page,
                        {.text = "Modem", .bounds = {40, 56}, .groupStart = true, .checked = true}};
  ui::RadioButton cable{page, {.text = "Cable , xDSL", .bounds = {40, 76}}};
  ui::GroupBox group{page, {.caption = " America Online ", .bounds = {160, 50, 150, 57}}};
  ui::ComboBox list{group,
                    {.bounds = {16, 24, 89, 22},
                     .items = {"Default", "576", "1500"},
                     .itemIndex = 0,
                     .itemHeight = 16}};
  ui::LinkLabel link{page, {.text = "Visit Quarn Software", .bounds = {40, 120}}};
  ui::Button back{page, {.text = "< &Back", .bounds = {56, 168, 75, 25}}};
  ui::Button next{page, {.text = "&Next >", .bounds = {144, 168, 75, 25}, .isDefault = true}};
  ui::Button exit{page, {.text = "&Exit", .bounds = {232, 168, 75, 25}}};
  ui::StatusBar status{*this, {.text = "Last optimization type that you use Satellite Dish"}};
  int nextClicks = 0;
};

TEST(UiSample, WizardWindowTakesEnterOnItsPageAndScrollsItsMarquee) {
  auto& form = ui::Application().CreateForm<SampleWizardForm>();
  form.list.SetFocus();
  MSG enter{form.list.Handle(), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  ui::Application().HandleQueuedMessage(enter);
  EXPECT_EQ(form.nextClicks, 1);
  EXPECT_EQ(form.list.ItemIndex(), 0);

  const std::string first = form.marquee.Shown();
  ASSERT_TRUE(gui_support::PumpUntil([&] { return form.marquee.Shown() != first; }));
  EXPECT_EQ(gui_support::FindChildByText(form.Handle(), "&Next >", "Button"), form.next.Handle());
  EXPECT_EQ(form.status.SimpleText(), "Last optimization type that you use Satellite Dish");

  if (const char* hold = std::getenv("VELTRANO_UI_HOLD_ROUNDS")) {
    gui_support::PumpUntil([] { return false; }, std::atoi(hold));
  }
}

}  // namespace
