// The about box TForm8: the program's name, version and supported systems, and links to
// the maker's web site and mail address. Created hidden at program entry and shown
// modally by "&About" as often as chosen.
#pragma once

#include <functional>
#include <string>

#include "ui/controls.h"
#include "ui/form.h"

namespace veltrano {

inline constexpr char kMakerWebSite[] = "https://www.quarnsoft.example/";
inline constexpr char kMakerMailAddress[] = "mailto:support@quarnsoft.example";

// How a link reaches the shell; a test puts recorders in its place.
struct LinkShell {
  // Opens the address with its handler (verb "Open"); false when the shell cannot.
  std::function<bool(const std::string& address)> open;
  // Starts the system's open-with dialog instead.
  std::function<void()> openWith;
};

LinkShell SystemLinkShell();

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

  LinkShell shell = SystemLinkShell();

  void WebSiteLinkClick();
  void MailLinkClick();

 private:
  // A link opened takes the visited colour; one the shell cannot open keeps its colour
  // and the open-with dialog is offered instead.
  void OpenLink(ui::LinkLabel& link, const std::string& address);
};

}  // namespace veltrano
