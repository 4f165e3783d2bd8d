#include "app/justone.h"

#include <windows.h>

#include "ui/embedded_pictures.h"

namespace veltrano {
namespace {

constexpr int kClientWidth = 440;
constexpr int kClientHeight = 318;
constexpr int kMargin = 8;
constexpr int kRuleWidth = kClientWidth - 2 * kMargin;
constexpr int kTextLeft = 108;  // the texts beside the picture and the headings
constexpr int kTextWidth = kClientWidth - kMargin - kTextLeft;
constexpr COLORREF kHeadingBlue = RGB(0, 0, 255);
constexpr COLORREF kNoticeRed = RGB(255, 0, 0);

ui::LabelArgs Heading(const char* text, int top) {
  return {.text = text,
          .bounds = {kMargin + 4, top, 0, 0},
          .font = {.bold = true},
          .color = kHeadingBlue};
}

ui::LabelArgs Beside(const char* text, int top) {
  return {.text = text, .bounds = {kTextLeft, top, kTextWidth, 0}};
}

ui::BevelArgs Rule(int top) {
  return {.bounds = {kMargin, top, kRuleWidth, 2}};
}

}  // namespace

TFirstrun::TFirstrun()
    : ui::Form({.caption = "ATTENTION : Please Read",
                .clientWidth = kClientWidth,
                .clientHeight = kClientHeight,
                .borderIcons = ui::kIconNone,
                .frame = ui::FrameStyle::kDialog,
                .stayOnTop = true,
                .visible = true,
                .className = "TFirstrun"}),
      Image1(*this,
             {.bounds = {kMargin, kMargin, 68, 64}, .stretch = true, .description = "Veltrano"}),
      Label1(*this,
             {.text = "Veltrano offers you two modes that you can increase your connection\r\n\r\n"
                      "performance. These are the Wizard Mode and Advanced Mode.",
              .bounds = {84, 22, kClientWidth - kMargin - 84, 0},
              .alignment = ui::Alignment::kCenter}),
      Bevel1(*this, Rule(80)),
      Label2(*this, Heading("Wizard Mode", 90)),
      Label3(*this, Beside("Veltrano, in Wizard Mode, optimizes and tunes your \r\n\r\n"
                           "connection with the customized settings and  Wizard will\r\n\r\n"
                           "help you to use this mode.",
                           90)),
      Bevel2(*this, Rule(162)),
      Label4(*this, Heading("Advanced Mode", 172)),
      Label5(*this, Beside("Advanced Mode can be used by expert users by changing\r\n\r\n"
                           "the values of protocol settings to achieve fine tuning in\r\n\r\n"
                           "your computer according to your computer configuration.",
                           172)),
      Bevel3(*this, Rule(244)),
      Label6(*this, {.text = "You won't see this screen any more. Thanks for using Veltrano.",
                     .bounds = {kMargin, 253, kRuleWidth, 0},
                     .alignment = ui::Alignment::kCenter,
                     .color = kNoticeRed}),
      Bevel4(*this, Rule(274)),
      Button1(*this, {.text = "&OK",
                      .bounds = {(kClientWidth - ui::kDefaultButtonWidth) / 2, 284,
                                 ui::kDefaultButtonWidth, ui::kDefaultButtonHeight},
                      .isDefault = true}) {
  Image1.SetBitmap(ui::LoadBitmapResource(GetModuleHandleA(nullptr), ui::kPromptPicture));
  Button1.onClick = [this] { Button1Click(); };
  SetActiveControl(Button1);
}

void TFirstrun::Button1Click() {
  Hide();
  Release();
}

}  // namespace veltrano
