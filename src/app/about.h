// The about box TForm8: the program's name, version and supported systems, and links to
// the maker's web site and mail address. Created hidden at program entry and shown
// modally by "&About" as often as chosen.
#pragma once

#include <string>

#include "advanced/advanced.h"  // kMakerWebAddress, shared with the advanced window
#include "ui/controls.h"
#include "ui/form.h"

namespace veltrano {

inline constexpr char kMakerMailAddress[] = "mailto:support@quarnsoft.example";

class TForm8 : public ui::Form {
 public:
  TForm8();

  ui::Frame HeaderBand;  // white, across the top
  ui::Label Title;
  ui::Bevel HeaderGroove;
  ui::GroupBox ProgramGroup;  // " Program "
  ui::Label VersionLabel;
  ui::Label VersionPane;
  ui::Label SystemsLabel;
  ui::Label SystemsPane;
  ui::GroupBox WebGroup;  // " Web "
  ui::Label WebSiteLabel;
  ui::LinkLabel WebSiteLink;
  ui::Label MailLabel;
  ui::LinkLabel MailLink;
  ui::Button OKButton;  // "&OK", closes the box with the result OK

  void WebSiteLinkClick();
  void MailLinkClick();

 private:
  // A link opened takes the visited colour; one the shell cannot open keeps its colour
  // (the launcher offers the open-with dialog instead).
  void OpenLink(ui::LinkLabel& link, const std::string& address);
};

}  // namespace veltrano
