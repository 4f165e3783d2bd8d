// Runs this test program again as a child that performs one platform check in a
// process of its own (a second instance, an emulated Windows version).
#pragma once

#include <string>

namespace platform_child {

// The environment variable that tells a child which check to make.
inline constexpr char kVariable[] = "VELTRANO_PLATFORM_CHILD";

// Starts the running test program with only the child tests `filter` selected and
// `task` in the environment; gives its exit code (0 when the check held), or the
// harness's codes.
int RunChild(const std::string& task, unsigned timeoutMs = 60000,
             const std::string& filter = "PlatformChildProcess.*");

// The task of this process when it runs as a child, or "".
std::string ChildTask();

}  // namespace platform_child
