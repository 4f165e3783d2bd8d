#include "engine/optimizing.h"

#include <windows.h>

#include "engine/profile_files.h"
#include "platform/ini_file.h"
#include "platform/registry_api.h"
#include "ui/application.h"

namespace veltrano {
namespace {

constexpr int kMargin = 8;
constexpr int kWideText = kRunFormClientWidth - 2 * kMargin;
constexpr int kButtonWidth = 140;
constexpr int kButtonGap = 12;
constexpr int kButtonTop = 258;
constexpr int kButtonLeft = (kRunFormClientWidth - 2 * kButtonWidth - kButtonGap) / 2;

ui::FormArgs FrameOf(const RunFormLook& look) {
  return ui::FormArgs{.caption = look.caption,
                      .clientWidth = kRunFormClientWidth,
                      .clientHeight = kRunFormClientHeight,
                      .borderIcons = ui::kIconNone,  // no close box while it animates
                      .frame = ui::FrameStyle::kSingle,
                      .centered = true,
                      .visible = look.visibleAfterCreate,
                      .className = look.className};
}

const RunFormLook kOptimizingLook{
    .className = "TForm3",
    .caption = "Optimizing",
    .gaugeCaption = "Optimized %",
    .resultText =
        "Veltrano is now optimized your system.\r\n\r\n"
        "You must restart your computer to changes effect.",
    .resultTextHeight = 44,
    .captions = kOptimizingCaptions,
    .visibleAfterCreate = true,
    .timerEnabled = true,
};

}  // namespace

RunEnvironment SystemRunEnvironment(const AppStateRecord& state) {
  return RunEnvironment{.registry = SystemRegistry(),
                        .ini = SystemProfileStrings(),
                        .programDir = state.ProgramDir,
                        .windowsDir = state.WindowsDir,
                        .osSuffix = state.OsSuffix,
                        .softwareKeyName = state.SoftwareKeyName,
                        .typeCaption = ConnectionCaption(state.SelectedType)};
}

void ReportMissingFileAndEnd() {
  ui::TApplication& application = ui::Application();
  application.ShowMessageBox(kMissingFileMessage, application.Title(), MB_ICONWARNING | MB_OK);
  application.Halt(0);
}

// ---- RunProgressForm

RunProgressForm::RunProgressForm(const RunFormLook& look, ShutdownApi& shutdown)
    : ui::Form(FrameOf(look)),
      VrMeter1(*this, {.caption = look.gaugeCaption,
                       .bounds = {64, kMargin, 220, 150},
                       .minimum = 0,
                       .maximum = kProgressTicks,
                       .position = 0}),
      Label2(*this, {.text = std::string(kStartingCaption),
                     .bounds = {kMargin, 166, kWideText, 16},
                     .alignment = ui::Alignment::kCenter}),
      Label1(*this, {.text = look.resultText,
                     .bounds = {kMargin, 190, kWideText, look.resultTextHeight},
                     .alignment = ui::Alignment::kCenter,
                     .enabled = false}),
      RzButton1(*this, {.text = "Restart Computer",
                        .bounds = {kButtonLeft, kButtonTop, kButtonWidth, 25},
                        .isDefault = true,
                        .enabled = false}),
      RzButton2(*this,
                {.text = "Don't Restart Computer",
                 .bounds = {kButtonLeft + kButtonWidth + kButtonGap, kButtonTop, kButtonWidth, 25},
                 .enabled = false}),
      VrTimer1({.interval = kProgressInterval, .enabled = look.timerEnabled, .owner = this}),
      abfShutdown1(shutdown),
      progress_(look.captions) {
  abfShutdown1.ActionType = TShutdownAction::aatReboot;
  // Never forced: a forced reboot would throw away other programs' unsaved work.
  abfShutdown1.Force = false;
  VrTimer1.onTimer = [this] { VrTimer1Timer(); };
  RzButton1.onClick = [this] { RzButton1Click(); };
  RzButton2.onClick = [this] { RzButton2Click(); };
}

void RunProgressForm::VrTimer1Timer() {
  const ProgressStep step = progress_.Tick(VrMeter1.Position(), runState_);
  if (step.caption) Label2.SetCaption(std::string(*step.caption));
  if (step.end != ProgressEnd::kNone) ShowEnd(step.end);
  VrMeter1.SetPosition(step.position);
}

void RunProgressForm::ShowEnd(ProgressEnd end) {
  const bool completed = end == ProgressEnd::kCompleted;
  EndResultTexts(completed);
  // After a failed run there is nothing to restart for; the user can only leave.
  RzButton1.SetEnabled(completed);
  RzButton2.SetEnabled(true);
  VrTimer1.SetEnabled(false);
}

void RunProgressForm::EndResultTexts(bool completed) {
  Label1.SetEnabled(completed);
  Label1.SetVisible(completed);
}

void RunProgressForm::RzButton1Click() {
  abfShutdown1.Restart();  // a refusal is reported and the window stays
}

void RunProgressForm::OnClose() {
  if (RzButton2.IsEnabled()) RzButton2Click();
}

void RunProgressForm::RzButton2Click() {
  ui::Application().Halt(0);
}

// ---- TForm3

TForm3::TForm3(ShutdownApi& shutdown) : RunProgressForm(kOptimizingLook, shutdown) {}

void TForm3::FormCreate() {
  PerformRun([] {
    const AppStateRecord& state = AppState();
    RunOptimization(SystemRunEnvironment(state), state.SelectedType);
  });
}

}  // namespace veltrano
