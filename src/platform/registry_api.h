// The narrow seam under the registry store: the six registry functions the program
// uses, with Win32 status codes as results. The Win32 backend calls the real API; the
// in-memory stand-in behaves like Windows for native tests.
#pragma once

#include <cstdint>
#include <string>

namespace veltrano {

// An open key. The predefined roots carry their documented 32-bit values; other keys
// are whatever the backend hands out.
using RegKey = std::uint64_t;

inline constexpr RegKey kHkeyClassesRoot = 0x80000000u;
inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;
inline constexpr RegKey kHkeyUsers = 0x80000003u;

inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;

inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorBadPathname = 161;  // a sub key that starts with "\"
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorKeyDeleted = 1018;  // the key behind an open handle was removed

inline bool IsPredefinedRoot(RegKey key) {
  return key >= 0x80000000u && key <= 0x80000006u;
}

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  // RegOpenKeyExA: an empty sub key opens a new handle to parent itself (a predefined
  // root comes back as itself). A sub key must not start with "\".
  virtual long OpenKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                       RegKey* result) = 0;
  // RegCreateKeyExA with options 0, no class and no security attributes.
  virtual long CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                         RegKey* result) = 0;
  virtual long SetValue(RegKey key, const std::string& name, std::uint32_t type,
                        const std::uint8_t* data, std::uint32_t size) = 0;
  // RegQueryValueExA: data may be null to ask for the size; *size is in and out.
  virtual long QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                          std::uint8_t* data, std::uint32_t* size) = 0;
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;
  virtual long CloseKey(RegKey key) = 0;
};

// The registry of the system the program runs on: the Win32 backend on Windows.
// Natively there is none; tests hand stores an in-memory registry instead.
RegistryApi& SystemRegistry();

}  // namespace veltrano
