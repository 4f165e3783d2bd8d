#include "platform/os_version.h"

namespace veltrano {
namespace {

// Index 0 is the answer for every version the program does not know.
constexpr int kOsCodes[8] = {-1, 0, 1, 2, 3, 4, 5, 6};

int IndexFor9x(const OsVersionInfo& info) {
  if (info.major != 4) return 0;
  switch (info.minor) {
    case 0:
      return 1;  // Windows 95
    case 10:
      // Windows 98 SE reports " A " as its service text.
      return (info.csdVersion.size() > 1 && info.csdVersion[1] == 'A') ? 3 : 2;
    case 90:
      return 4;  // Windows Me
    default:
      return 0;
  }
}

int IndexForNt(const OsVersionInfo& info) {
  if (info.major <= 4) return 5;                     // NT 4 and earlier
  if (info.major == 5 && info.minor == 0) return 6;  // 2000
  // XP, and every NT after it (Server 2003, Vista, 7, 8, 10, 11 ...): the NT layout of
  // the registry holds for all of them, and the 9x one would be applied to nothing.
  return 7;
}

}  // namespace

int DetectOsCode(const OsVersionInfo& info) {
  int index = 0;
  if (info.ok && info.platformId == kPlatformWin32Windows) index = IndexFor9x(info);
  if (info.ok && info.platformId == kPlatformWin32Nt) index = IndexForNt(info);
  return kOsCodes[index];
}

OsIdentity IdentityForOsCode(int osCode) {
  if (osCode >= 4) return OsIdentity{osCode, OsFamily::kNT, "SOFTWARE", "SYSTEM", "2k"};
  return OsIdentity{osCode, OsFamily::k9x, "Software", "System", ""};
}

}  // namespace veltrano
