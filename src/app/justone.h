// The first-run notice TFirstrun: what wizard mode and advanced mode are, shown once on
// top of the wizard after installation. It shows itself on creation, is not modal, and
// its OK frees it.
#pragma once

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/picture.h"

namespace veltrano {

class TFirstrun : public ui::Form {
 public:
  TFirstrun();

  ui::Picture Image1;
  ui::Label Label1;  // the two modes
  ui::Bevel Bevel1;
  ui::Label Label2;  // "Wizard Mode"
  ui::Label Label3;
  ui::Bevel Bevel2;
  ui::Label Label4;  // "Advanced Mode"
  ui::Label Label5;
  ui::Bevel Bevel3;
  ui::Label Label6;  // the red last line
  ui::Bevel Bevel4;
  ui::Button Button1;  // "&OK"

  void Button1Click();

 protected:
  void OnClose() override { Button1Click(); }  // as OK
};

}  // namespace veltrano
