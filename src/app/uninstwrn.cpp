#include "app/uninstwrn.h"

namespace veltrano {
namespace {

ui::FormArgs WarningFormArgs() {
  return ui::FormArgs{.caption = "Veltrano Uninstall Warning",
                      .clientWidth = 378,
                      .clientHeight = 123,
                      .borderIcons = ui::kIconNone,
                      .frame = ui::FrameStyle::kDialog,
                      .stayOnTop = true,
                      .centered = true,
                      .className = "TForm7"};
}

}  // namespace

TForm7::TForm7()
    : ui::Form(WarningFormArgs()),
      RzLabel1(*this, {.text = "Veltrano update your system with", .bounds = {16, 16, 0, 0}}),
      RzLabel3(*this, {.text = "WINDOWS DEFAULT SETTINGS.",
                       .bounds = {194, 16, 0, 0},
                       .color = RGB(255, 0, 0)}),
      RzButton1(*this, {.text = "&Ok", .bounds = {136, 80, 81, 0}, .isDefault = true}) {
  RzButton1.onClick = [this] { EndModal(ui::kModalOk); };
}

void TForm7::ShowOwnSettings() {
  RzLabel3.SetCaption("YOUR SETTINGS FROM BEFORE VELTRANO.");
  // Too long for the rest of the first line: it goes under the start of the sentence.
  ui::Bounds bounds = RzLabel3.GetBounds();
  if (bounds.x + bounds.width > ClientWidth() - 8) {
    const ui::Bounds first = RzLabel1.GetBounds();
    bounds.x = first.x;
    bounds.y = first.y + first.height + 6;
    RzLabel3.SetBounds(bounds);
  }
}

}  // namespace veltrano
