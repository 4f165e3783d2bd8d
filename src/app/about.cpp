#include "app/about.h"

#include <windows.h>

#include "platform/launcher.h"

namespace veltrano {
namespace {

constexpr int kClientSize = 282;
constexpr int kHeaderHeight = 48;
constexpr int kGroupLeft = 8;
constexpr int kGroupWidth = kClientSize - 2 * kGroupLeft;
constexpr int kGroupHeight = 72;
constexpr int kCaptionLeft = 12;
constexpr int kValueLeft = 86;
constexpr int kPaneWidth = 162;
constexpr int kPaneHeight = 19;
constexpr int kFirstRow = 20;
constexpr int kSecondRow = 44;
constexpr COLORREF kWhite = RGB(255, 255, 255);

// What the link shows: the address without its "mailto:".
std::string Shown(const std::string& address) {
  const std::string scheme = "mailto:";
  return address.compare(0, scheme.size(), scheme) == 0 ? address.substr(scheme.size()) : address;
}

ui::LabelArgs RowCaption(const char* text, int top) {
  return {.text = text, .bounds = {kCaptionLeft, top + 3, 0, 0}};
}

ui::LabelArgs Pane(const char* text, int top) {
  return {.text = text,
          .bounds = {kValueLeft, top, kPaneWidth, kPaneHeight},
          .alignment = ui::Alignment::kCenter,
          .sunken = true};
}

// The rest of the row: measured to its text, the link's last character wraps away.
ui::LinkLabelArgs Link(const char* address, int top) {
  return {.text = Shown(address), .bounds = {kValueLeft, top + 3, kGroupWidth - kValueLeft - 8, 0}};
}

}  // namespace

TForm8::TForm8()
    : ui::Form({.caption = "About Veltrano",
                .clientWidth = kClientSize,
                .clientHeight = kClientSize,
                .borderIcons = ui::kIconNone,
                .frame = ui::FrameStyle::kDialog,
                .className = "TForm8"}),
      HeaderBand(*this, {.bounds = {0, 0, kClientSize, kHeaderHeight}, .background = kWhite}),
      Title(HeaderBand, {.text = "Veltrano Connection Speed Up Utility",
                         .bounds = {0, 17, kClientSize, 0},
                         .alignment = ui::Alignment::kCenter,
                         .font = {.bold = true},
                         .background = kWhite}),
      HeaderGroove(*this, {.bounds = {0, kHeaderHeight, kClientSize, 2}}),
      ProgramGroup(*this,
                   {.caption = " Program ", .bounds = {kGroupLeft, 62, kGroupWidth, kGroupHeight}}),
      VersionLabel(ProgramGroup, RowCaption("Version :", kFirstRow)),
      VersionPane(ProgramGroup, Pane("2.11", kFirstRow)),
      SystemsLabel(ProgramGroup, RowCaption("Suported OS :", kSecondRow)),
      SystemsPane(ProgramGroup, Pane("Windows 95/98/Me/NT/2000", kSecondRow)),
      WebGroup(*this, {.caption = " Web ", .bounds = {kGroupLeft, 146, kGroupWidth, kGroupHeight}}),
      WebSiteLabel(WebGroup, RowCaption("Web Site :", kFirstRow)),
      WebSiteLink(WebGroup, Link(kMakerWebAddress, kFirstRow)),
      MailLabel(WebGroup, RowCaption("E-Mail :", kSecondRow)),
      MailLink(WebGroup, Link(kMakerMailAddress, kSecondRow)),
      OKButton(*this, {.text = "&OK",
                       .bounds = {(kClientSize - ui::kDefaultButtonWidth) / 2, 245,
                                  ui::kDefaultButtonWidth, ui::kDefaultButtonHeight},
                       .isDefault = true}) {
  WebSiteLink.onClick = [this] { WebSiteLinkClick(); };
  MailLink.onClick = [this] { MailLinkClick(); };
  OKButton.onClick = [this] { EndModal(ui::kModalOk); };
  SetActiveControl(OKButton);
}

void TForm8::WebSiteLinkClick() {
  OpenLink(WebSiteLink, kMakerWebAddress);
}

void TForm8::MailLinkClick() {
  OpenLink(MailLink, kMakerMailAddress);
}

void TForm8::OpenLink(ui::LinkLabel& link, const std::string& address) {
  if (OpenWebAddress(address)) link.SetVisited(true);
}

}  // namespace veltrano
