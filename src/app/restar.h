// The restart prompt Trestart, opened once settings have been applied: "Restart
// Computer" asks for a reboot that is not forced and leaves the prompt open whatever the
// answer; "Exit" ends the program. It shows itself on creation and is not modal.
#pragma once

// First, so that platform/shutdown.h can take back the ExitWindows macro for good.
#include <windows.h>

#include "platform/shutdown.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/picture.h"

namespace veltrano {

class Trestart : public ui::Form {
 public:
  explicit Trestart(ShutdownApi& shutdown = SystemShutdown());

  ui::Picture Image1;
  ui::Label Label1;
  ui::Button RzButton1;  // "Restart Computer"
  ui::Button RzButton2;  // "Exit"
  TabfShutdown Shutdown1;

  void RzButton1Click();
  void RzButton2Click();

 protected:
  void OnClose() override { RzButton2Click(); }  // as "Exit"
};

}  // namespace veltrano
