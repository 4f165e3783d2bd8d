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
#include "ui/needle_gauge.h"
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

}  // namespace
