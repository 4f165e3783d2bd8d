#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/os_version.h"
#include "platform/single_instance.h"
#include "support/wine_harness.h"
#include "windows/platform_child_process.h"

namespace platform_child {
namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

}  // namespace

std::string ChildTask() {
  char value[512];
  const DWORD length = GetEnvironmentVariableA(kVariable, value, sizeof value);
  return (length > 0 && length < sizeof value) ? std::string(value, length) : std::string();
}

int RunChild(const std::string& task, unsigned timeoutMs, const std::string& filter) {
  SetEnvironmentVariableA(kVariable, task.c_str());
  const int code = wine_harness::RunProgram(
      veltrano::ExecutablePath(), "--gtest_filter=" + filter + " --gtest_brief=1", timeoutMs);
  SetEnvironmentVariableA(kVariable, nullptr);
  return code;
}

// Skipped in a normal run; the parent selects it in a child with a task to perform.
TEST(PlatformChildProcess, PerformsTheTaskOfItsParent) {
  const std::string task = ChildTask();
  if (task.empty()) GTEST_SKIP() << "only run as a child";
  if (StartsWith(task, "acquire-refused:")) {
    veltrano::TabfOneInstance guard;
    EXPECT_FALSE(guard.Acquire(task.substr(16)));
  } else if (StartsWith(task, "acquire-granted:")) {
    veltrano::TabfOneInstance guard;
    EXPECT_TRUE(guard.Acquire(task.substr(16)));
  } else if (StartsWith(task, "version:")) {
    const veltrano::OsVersionInfo info = veltrano::QueryOsVersion();
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(std::to_string(info.platformId) + "." + std::to_string(info.major) + "." +
                  std::to_string(info.minor),
              task.substr(8));
  } else if (task == "hang") {
    Sleep(INFINITE);
  } else {
    FAIL() << "unknown task " << task;
  }
}

}  // namespace platform_child
