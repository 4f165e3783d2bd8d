// The restart service: a reboot request, forced only when Force is set.
#pragma once

#include <cstdint>
#include <string>

// <windows.h> defines ExitWindows as a macro of two arguments, which would break the
// member of that name below wherever both are included.
#ifdef ExitWindows
#undef ExitWindows
#endif

namespace veltrano {

inline constexpr std::uint32_t kEwxReboot = 2;
inline constexpr std::uint32_t kEwxForce = 4;

// Seam over the calls of a restart request.
class ShutdownApi {
 public:
  virtual ~ShutdownApi() = default;
  virtual std::uint32_t PlatformId() = 0;
  // Opens the own process and its token and enables "SeShutdownPrivilege".
  // False when any of those calls fails.
  virtual bool EnableShutdownPrivilege() = 0;
  virtual bool ExitWindows(std::uint32_t flags) = 0;
  // The system's text for the failure of the last call above that failed.
  virtual std::string FailureText() { return {}; }
};

ShutdownApi& SystemShutdown();  // Win32 on Windows

enum class TShutdownAction { aatReboot };

class TabfShutdown {
 public:
  explicit TabfShutdown(ShutdownApi& api) : api_(api) {}
  TabfShutdown();  // uses SystemShutdown()
  TShutdownAction ActionType = TShutdownAction::aatReboot;
  bool Force = false;
  // True when the system accepts the request.
  bool Execute();
  // Execute, with a refusal raised as ERestartRefused ("Veltrano could not restart
  // Windows: " and the system's text) for the error box.
  void Restart();

 private:
  ShutdownApi& api_;
};

}  // namespace veltrano
