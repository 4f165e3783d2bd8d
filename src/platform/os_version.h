// What GetVersionExA reports, and the OS detection that turns it into OsCode.
#pragma once

#include <cstdint>
#include <string>

namespace veltrano {

inline constexpr std::uint32_t kPlatformWin32Windows = 1;
inline constexpr std::uint32_t kPlatformWin32Nt = 2;

struct OsVersionInfo {
  bool ok = false;  // false when GetVersionExA failed
  std::uint32_t platformId = 0;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::string csdVersion;
};

enum class OsFamily { k9x, kNT };

// The values start-up derives from OsCode.
struct OsIdentity {
  int osCode = -1;
  OsFamily family = OsFamily::k9x;
  std::string softwareKeyName;  // "Software" / "SOFTWARE"
  std::string systemKeyName;    // "System" / "SYSTEM"
  std::string osSuffix;         // "" / "2k"
};

// OsCode -1..6 by platform, major, minor and the CSD letter of Windows 98 SE.
int DetectOsCode(const OsVersionInfo& info);
OsIdentity IdentityForOsCode(int osCode);

// GetVersionExA with a 148-byte OSVERSIONINFOA (Windows only).
OsVersionInfo QueryOsVersion();

}  // namespace veltrano
