// The restart prompt Trestart, opened once settings have been applied or restored:
// "Restart Computer" asks for a reboot that is not forced and leaves the prompt open
// whatever the answer; "Exit" ends the program. It shows itself on creation, is not
// modal, and has a button on the taskbar, as it is often the only window left.
#pragma once

// First, so that platform/shutdown.h can take back the ExitWindows macro for good.
#include <windows.h>

#include "platform/shutdown.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/picture.h"

namespace veltrano {

// What the prompt says was done: its first line.
enum class RestartCause {
  kOptimized,  // "Veltrano is now optimized your system."
  kRestored,   // "Your network settings are restored."
};

class Trestart : public ui::Form {
 public:
  explicit Trestart(ShutdownApi& shutdown = SystemShutdown())
      : Trestart(RestartCause::kOptimized, shutdown) {}
  explicit Trestart(RestartCause cause, ShutdownApi& shutdown = SystemShutdown());

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
