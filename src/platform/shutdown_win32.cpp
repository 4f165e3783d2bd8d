#include <windows.h>

#include "platform/os_version.h"
#include "platform/shutdown.h"  // after <windows.h>: it drops the ExitWindows macro
#include "platform/system_root.h"
#include "platform/win32_handle.h"

namespace veltrano {
namespace {

class Win32Shutdown : public ShutdownApi {
 public:
  std::uint32_t PlatformId() override { return QueryOsVersion().platformId; }

  bool EnableShutdownPrivilege() override {
    UniqueHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, GetCurrentProcessId()));
    if (!process) return Failed();
    UniqueHandle token;
    if (!OpenProcessToken(process.Get(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive())) {
      return Failed();
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
      return Failed();
    }
    // Whether the privilege was in fact granted is not examined: the call's own result
    // is. Without it, the restart itself is refused and says so.
    if (!AdjustTokenPrivileges(token.Get(), FALSE, &privileges, sizeof privileges, nullptr,
                               nullptr)) {
      return Failed();
    }
    return true;
  }

  bool ExitWindows(std::uint32_t flags) override {
    return ExitWindowsEx(flags, 0) != FALSE || Failed();
  }

  std::string FailureText() override { return failure_; }

 private:
  // Keeps the system's text at once: closing the handles may change the last error.
  bool Failed() {
    failure_ = SystemLastErrorText();
    return false;
  }

  std::string failure_;
};

}  // namespace

ShutdownApi& SystemShutdown() {
  static Win32Shutdown shutdown;
  return shutdown;
}

}  // namespace veltrano
