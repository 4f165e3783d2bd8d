#include <windows.h>

#include "platform/os_version.h"

namespace veltrano {

OsVersionInfo QueryOsVersion() {
  OSVERSIONINFOA raw{};
  static_assert(sizeof raw == 148, "GetVersionExA is asked with the 148-byte record");
  raw.dwOSVersionInfoSize = sizeof raw;
  OsVersionInfo info;
  if (!GetVersionExA(&raw)) return info;
  info.ok = true;
  info.platformId = raw.dwPlatformId;
  info.major = raw.dwMajorVersion;
  info.minor = raw.dwMinorVersion;
  info.csdVersion =
      std::string(raw.szCSDVersion, strnlen(raw.szCSDVersion, sizeof raw.szCSDVersion));
  return info;
}

}  // namespace veltrano
