#include <windows.h>

#include "platform/os_version.h"
#include "platform/shutdown.h"  // after <windows.h>: it drops the ExitWindows macro
#include "platform/win32_handle.h"

namespace veltrano {
namespace {

class Win32Shutdown : public ShutdownApi {
 public:
  std::uint32_t PlatformId() override { return QueryOsVersion().platformId; }

  bool EnableShutdownPrivilege() override {
    UniqueHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, GetCurrentProcessId()));
    if (!process) return false;
    UniqueHandle token;
    if (!OpenProcessToken(process.Get(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive())) {
      return false;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
      return false;
    }
    // Whether the privilege was in fact granted is not examined: the call's own result is.
    return AdjustTokenPrivileges(token.Get(), FALSE, &privileges, sizeof privileges, nullptr,
                                 nullptr) != FALSE;
  }

  bool ExitWindows(std::uint32_t flags) override { return ExitWindowsEx(flags, 0) != FALSE; }
};

}  // namespace

ShutdownApi& SystemShutdown() {
  static Win32Shutdown shutdown;
  return shutdown;
}

}  // namespace veltrano
