#include "app/uninstall.h"

#include "ui/application.h"

namespace veltrano {

void EnterUninstallMode() {
  // Restoring the defaults and handing over to the installer's uninstaller come with
  // the Windows-defaults run; until then uninstall mode ends the program at once.
  ui::Application().Halt(0);
}

}  // namespace veltrano
