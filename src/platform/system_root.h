// The Windows system root (WindowsDir) from the registry value "SystemRoot".
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/registry_api.h"

namespace veltrano {

// Shows a message box owned by the desktop with an error icon and no caption.
using FailureReporter = std::function<void(const std::string& text)>;

// Opens "Software\Microsoft\Windows NT\CurrentVersion" when platformId is NT (2),
// "Software\Microsoft\Windows\CurrentVersion" otherwise, with KEY_READ, and reads
// "SystemRoot". Failures are reported through `report` and give "".
std::string LookupSystemRoot(RegistryApi& api, std::uint32_t platformId,
                             const FailureReporter& report,
                             const std::string& lastErrorText = std::string());

// The system's text for the last error code, asked for only when a read fails, so that
// it describes that failure.
using LastErrorTextSource = std::function<std::string()>;
std::string LookupSystemRoot(RegistryApi& api, std::uint32_t platformId,
                             const FailureReporter& report,
                             const LastErrorTextSource& lastErrorText);

// FormatMessageA for GetLastError() on Windows; "" elsewhere.
std::string SystemLastErrorText();

}  // namespace veltrano
