#include "platform/shutdown.h"

#include "platform/errors.h"
#include "platform/os_version.h"

namespace veltrano {

TabfShutdown::TabfShutdown() : TabfShutdown(SystemShutdown()) {}

bool TabfShutdown::Execute() {
  // Only the NT family guards the restart behind a privilege.
  if (api_.PlatformId() == kPlatformWin32Nt && !api_.EnableShutdownPrivilege()) return false;
  const std::uint32_t flags = kEwxReboot | (Force ? kEwxForce : 0);
  return api_.ExitWindows(flags);
}

void TabfShutdown::Restart() {
  if (Execute()) return;
  const std::string reason = api_.FailureText();
  throw ERestartRefused("Veltrano could not restart Windows: " +
                        (reason.empty() ? std::string("the system refused it") : reason));
}

}  // namespace veltrano
