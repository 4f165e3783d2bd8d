#include "platform/system_root.h"

#include <exception>

#include "platform/os_version.h"
#include "platform/registry.h"

namespace veltrano {
namespace {

constexpr char kReadFailure[] = "Registry: Failed read access";

void Report(const FailureReporter& report, const std::string& text) {
  if (report) report(text);
}

}  // namespace

std::string LookupSystemRoot(RegistryApi& api, std::uint32_t platformId,
                             const FailureReporter& report,
                             const LastErrorTextSource& lastErrorText) {
  TRegistry store(api, kKeyRead);
  store.SelectRoot(kHkeyLocalMachine);
  const char* path = platformId == kPlatformWin32Nt
                         ? "Software\\Microsoft\\Windows NT\\CurrentVersion"
                         : "Software\\Microsoft\\Windows\\CurrentVersion";
  if (!store.OpenPath(path, false)) {
    Report(report, kReadFailure);
    return std::string();
  }
  try {
    return store.ReadText("SystemRoot");
  } catch (const std::exception& error) {
    const std::string systemText = lastErrorText ? lastErrorText() : std::string();
    Report(report, std::string(kReadFailure) + "\r\n\r\n" + error.what() + "\r\n" + systemText);
    return std::string();
  }
}

std::string LookupSystemRoot(RegistryApi& api, std::uint32_t platformId,
                             const FailureReporter& report, const std::string& lastErrorText) {
  return LookupSystemRoot(api, platformId, report,
                          LastErrorTextSource([lastErrorText] { return lastErrorText; }));
}

}  // namespace veltrano
