#include "platform/shutdown.h"

#include "platform/os_version.h"

namespace veltrano {

TabfShutdown::TabfShutdown() : TabfShutdown(SystemShutdown()) {}

bool TabfShutdown::Execute() {
  // Only the NT family guards the restart behind a privilege.
  if (api_.PlatformId() == kPlatformWin32Nt && !api_.EnableShutdownPrivilege()) return false;
  const std::uint32_t flags = kEwxReboot | (Force ? kEwxForce : 0);
  return api_.ExitWindows(flags);
}

}  // namespace veltrano
