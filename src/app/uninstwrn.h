// The uninstall warning TForm7: tells the user that the Windows default settings (or the
// user's own settings from before Veltrano) are back before the installer's uninstaller
// starts. Created hidden at program entry and shown modally by uninstall mode only.
#pragma once

#include "ui/controls.h"
#include "ui/form.h"

namespace veltrano {

class TForm7 : public ui::Form {
 public:
  TForm7();

  // The red line then names the settings from before Veltrano instead of the defaults.
  void ShowOwnSettings();

  ui::Label RzLabel1;
  ui::Label RzLabel3;
  ui::Button RzButton1;  // "&Ok": closes the window with the modal result OK
};

}  // namespace veltrano
