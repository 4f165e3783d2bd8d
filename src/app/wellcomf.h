// The wizard's welcome page: its text, the "&Program Options" menu button, "&Next >"
// and "&Exit". The main window handles the buttons.
#pragma once

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/menu.h"

namespace veltrano {

class Twellcom : public ui::Frame {
 public:
  // `options` is the main window's program options menu, which the menu button drops.
  Twellcom(ui::Widget& parent, ui::PopupMenu& options);

  ui::Label Label1;
  ui::MenuButton RzMenuButton1;  // "&Program Options"
  ui::Button Button1;            // "&Next >", the default button
  ui::Button Button2;            // "&Exit"
};

}  // namespace veltrano
