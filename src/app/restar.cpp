#include "app/restar.h"

#include "ui/application.h"
#include "ui/embedded_pictures.h"

namespace veltrano {
namespace {

constexpr int kClientWidth = 366;
constexpr int kClientHeight = 130;
constexpr int kTextLeft = 84;
constexpr int kButtonTop = 92;
constexpr int kRestartWidth = 120;
constexpr int kButtonGap = 12;
// The two buttons centred under the text.
constexpr int kRestartLeft =
    kTextLeft +
    (kClientWidth - 8 - kTextLeft - kRestartWidth - kButtonGap - ui::kDefaultButtonWidth) / 2;

}  // namespace

Trestart::Trestart(RestartCause cause, ShutdownApi& shutdown)
    : ui::Form({.caption = "Warning",
                .clientWidth = kClientWidth,
                .clientHeight = kClientHeight,
                .borderIcons = ui::kIconNone,
                .frame = ui::FrameStyle::kDialog,
                .taskbarButton = true,
                .visible = true,
                .className = "Trestart"}),
      Image1(*this, {.bounds = {12, 12, 68, 64}, .stretch = true, .description = "Warning"}),
      Label1(*this, {.text = std::string(cause == RestartCause::kRestored
                                             ? "Your network settings are restored."
                                             : "Veltrano is now optimized your system.") +
                             "\r\n\r\nYou must restart your computer to changes take effect.",
                     .bounds = {kTextLeft, 22, kClientWidth - 4 - kTextLeft, 0},
                     .alignment = ui::Alignment::kCenter}),
      RzButton1(*this,
                {.text = "Restart Computer",
                 .bounds = {kRestartLeft, kButtonTop, kRestartWidth, ui::kDefaultButtonHeight},
                 .isDefault = true}),
      RzButton2(*this, {.text = "Exit",
                        .bounds = {kRestartLeft + kRestartWidth + kButtonGap, kButtonTop,
                                   ui::kDefaultButtonWidth, ui::kDefaultButtonHeight}}),
      Shutdown1(shutdown) {
  Shutdown1.ActionType = TShutdownAction::aatReboot;
  Shutdown1.Force = false;
  Image1.SetBitmap(ui::LoadBitmapResource(GetModuleHandleA(nullptr), ui::kPromptPicture));
  RzButton1.onClick = [this] { RzButton1Click(); };
  RzButton2.onClick = [this] { RzButton2Click(); };
  SetActiveControl(RzButton1);
}

void Trestart::RzButton1Click() {
  // A refused restart is reported and leaves the prompt as it was.
  Shutdown1.Restart();
}

void Trestart::RzButton2Click() {
  ui::Application().Halt(0);
}

}  // namespace veltrano
