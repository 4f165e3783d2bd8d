#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os_version.h"
#include "platform/shutdown.h"

namespace veltrano {
namespace {

class FakeShutdown : public ShutdownApi {
 public:
  std::uint32_t platform = kPlatformWin32Nt;
  bool privilegeGranted = true;
  bool exitAccepted = true;
  std::vector<std::string> calls;

  std::uint32_t PlatformId() override { return platform; }
  bool EnableShutdownPrivilege() override {
    calls.push_back("privilege");
    return privilegeGranted;
  }
  bool ExitWindows(std::uint32_t flags) override {
    calls.push_back("exit " + std::to_string(flags));
    return exitAccepted;
  }
};

TEST(Shutdown, AsksForThePrivilegeOnlyOnNtAndRebootsWithTheFlagsOfForce) {
  using Calls = std::vector<std::string>;
  const struct {
    const char* label;
    std::uint32_t platform;
    bool privilegeGranted;
    bool exitAccepted;
    bool force;
    bool result;
    Calls calls;
  } cases[] = {
      {"NT, plain reboot", kPlatformWin32Nt, true, true, false, true, {"privilege", "exit 2"}},
      {"NT, forced reboot", kPlatformWin32Nt, true, true, true, true, {"privilege", "exit 6"}},
      {"NT, privilege refused", kPlatformWin32Nt, false, true, true, false, {"privilege"}},
      {"NT, exit refused", kPlatformWin32Nt, true, false, false, false, {"privilege", "exit 2"}},
      {"9x, plain reboot", kPlatformWin32Windows, false, true, false, true, {"exit 2"}},
      {"9x, forced reboot", kPlatformWin32Windows, false, true, true, true, {"exit 6"}},
      {"9x, exit refused", kPlatformWin32Windows, true, false, true, false, {"exit 6"}},
      {"unknown platform", 0, false, true, false, true, {"exit 2"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    FakeShutdown api;
    api.platform = c.platform;
    api.privilegeGranted = c.privilegeGranted;
    api.exitAccepted = c.exitAccepted;
    TabfShutdown shutdown(api);
    shutdown.Force = c.force;
    EXPECT_EQ(shutdown.ActionType, TShutdownAction::aatReboot);
    EXPECT_EQ(shutdown.Execute(), c.result);
    EXPECT_EQ(api.calls, c.calls);
  }
}

}  // namespace
}  // namespace veltrano
